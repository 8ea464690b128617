// Files of one kind dropped on a window, as from a file manager. The window's edits and memo would
// take a dropped file as text and type its name into themselves; a file of the kind goes to the
// window instead, and anything else is theirs as before.
#pragma once

#include <QObject>
#include <QString>

class QMimeData;
class QWidget;

namespace toolkit {

class FileDrops : public QObject {
    Q_OBJECT
public:
    // One local file whose name ends in `suffix` (in any case, e.g. ".ZMR"), dropped anywhere on
    // `window` once its controls are built.
    FileDrops(QWidget& window, const QString& suffix);

signals:
    // Told once the drop has ended, so that whatever opening the file asks does not keep the
    // program the file came from waiting.
    void Dropped(const QString& fileName);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The one file of the kind that `data` carries, or an empty name.
    QString FileOf(const QMimeData* data) const;

    QString suffix_;
};

} // namespace toolkit

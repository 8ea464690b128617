// Files of one kind dropped on a window, as from a file manager. The window's edits and memo would
// take a dropped file as text and type its name into themselves; a file of the kind goes to the
// window instead, and anything else is theirs as before.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QMimeData;
class QWidget;

namespace toolkit {

class FileDrops : public QObject {
    Q_OBJECT
public:
    enum Count { One, Many };
    // One local file whose name ends in `suffix` (in any case, e.g. ".ZMR"), dropped anywhere on
    // `window` once its controls are built.
    FileDrops(QWidget& window, const QString& suffix);
    // With `Many`, one or more local files, each ending in one of `suffixes`.
    FileDrops(QWidget& window, const QStringList& suffixes, Count count);

signals:
    // Told once the drop has ended, so that whatever opening the file asks does not keep the
    // program the file came from waiting: Dropped for One, DroppedFiles for Many.
    void Dropped(const QString& fileName);
    void DroppedFiles(const QStringList& fileNames);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The files of the kind that `data` carries (one, unless Many), or none.
    QStringList FilesOf(const QMimeData* data) const;

    QStringList suffixes_;
    Count count_ = One;
};

} // namespace toolkit

// The files opened or saved last, newest first, for a list in a menu. Kept in the user's
// settings (QSettings, in the desktop's configuration folder) once the program has asked for it,
// so that the list outlasts the run; until then a list lasts as long as its owner.
#pragma once

#include <QObject>
#include <QStringList>

namespace toolkit {

class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int Capacity = 8;

    // From now on every list is read from and written to the settings of the application, by its
    // name (kivelo: ~/.config/kivelo/kivelo.conf, or the same under $XDG_CONFIG_HOME).
    static void KeepInSettings();

    explicit RecentFiles(QObject* parent = nullptr);

    // `fileName` goes to the front, as an absolute name; a name already listed moves there, and
    // the oldest beyond the capacity is dropped.
    void Add(const QString& fileName);
    void Remove(const QString& fileName);
    // Takes up what another running program has kept meanwhile.
    void Reload();
    const QStringList& Files() const { return files_; }

signals:
    void Changed();

private:
    void Keep(const QStringList& files);  // in the settings, if kept, and here
    void Take(const QStringList& files);  // here, telling of a change

    QStringList files_;
};

} // namespace toolkit

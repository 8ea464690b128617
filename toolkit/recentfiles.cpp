#include "toolkit/recentfiles.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

namespace toolkit {

namespace {

bool kept = false;
const QString FilesKey = QStringLiteral("RecentFiles");

// The application's own settings file, APPLICATION/APPLICATION.conf under the desktop's
// configuration folder.
QString Application() { return QCoreApplication::applicationName(); }

QStringList KeptFiles()
{
    QStringList files = QSettings(Application(), Application()).value(FilesKey).toStringList();
    files.removeAll(QString());
    files.removeDuplicates();
    return files.mid(0, RecentFiles::Capacity);
}

} // namespace

void RecentFiles::KeepInSettings() { kept = true; }

RecentFiles::RecentFiles(QObject* parent)
    : QObject(parent)
{
    if (kept)
        files_ = KeptFiles();
}

void RecentFiles::Add(const QString& fileName)
{
    // Another running program may have kept names since this list was read; they stay.
    QStringList files = kept ? KeptFiles() : files_;
    QString absolute = QFileInfo(fileName).absoluteFilePath();
    files.removeAll(absolute);
    files.prepend(absolute);
    Keep(files.mid(0, Capacity));
}

void RecentFiles::Remove(const QString& fileName)
{
    QStringList files = kept ? KeptFiles() : files_;
    files.removeAll(QFileInfo(fileName).absoluteFilePath());
    Keep(files);
}

void RecentFiles::Reload()
{
    if (kept)
        Take(KeptFiles());
}

void RecentFiles::Keep(const QStringList& files)
{
    if (kept)
        QSettings(Application(), Application()).setValue(FilesKey, files);
    Take(files);
}

void RecentFiles::Take(const QStringList& files)
{
    if (files == files_)
        return;
    files_ = files;
    emit Changed();
}

} // namespace toolkit

#include "toolkit/desktop.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

namespace toolkit {

namespace {

// The icon that installing puts beside the program, PREFIX/share/icons/hicolor/scalable/apps/, where
// the desktop finds the menu entry's icon; else, for a program run from its build folder, the same
// picture built in. The icon theme is not searched: that alone would take longer under X than
// everything else this file does at start.
QString IconFile(const QString& name)
{
    QString installed = QCoreApplication::applicationDirPath()
        + QStringLiteral("/../share/icons/hicolor/scalable/apps/%1.svg").arg(name);
    return QFileInfo::exists(installed) ? installed : QStringLiteral(":/%1.svg").arg(name);
}

} // namespace

void JoinDesktop()
{
    const QString name = QCoreApplication::applicationName();
    QGuiApplication::setDesktopFileName(name);
    QApplication::setWindowIcon(QIcon(IconFile(name)));
}

bool LoadQtTextsInJapanese()
{
    static bool installed = false;
    if (installed)
        return true;
    auto* translator = new QTranslator(QCoreApplication::instance());
    installed = translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (installed)
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
    return installed;
}

} // namespace toolkit

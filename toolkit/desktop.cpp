#include "toolkit/desktop.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

namespace toolkit {

void JoinDesktop()
{
    const QString name = QCoreApplication::applicationName();
    QGuiApplication::setDesktopFileName(name);
    // The desktop finds the menu entry's icon by this name in the icon theme, where installing
    // puts kivelo.svg; a program run from its build folder has the same picture built in.
    QApplication::setWindowIcon(QIcon::fromTheme(name, QIcon(QStringLiteral(":/%1.svg").arg(name))));
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

// Program start: the command line, the application object and its place on the desktop, then the
// windows in their order, then the event loop.
#include "app/commandline.h"
#include "app/form1.h"
#include "app/zoom.h"
#include "toolkit/controls.h"
#include "toolkit/desktop.h"
#include "toolkit/recentfiles.h"

#include <QApplication>

int main(int argc, char** argv)
{
    CommandLine commandLine(argc, argv);  // --help and --version are answered here
    zoom::ScaleThisRun();                 // 表示 > 拡大, which Qt takes only here
    QApplication application(argc, argv);
    zoom::GiveBackEnvironment();
    toolkit::RegisterFontSubstitutes();
    toolkit::JoinDesktop();
    toolkit::LoadQtTextsInJapanese();
    toolkit::RecentFiles::KeepInSettings();
    StartProgram(commandLine.Ledger());
    return application.exec();
}

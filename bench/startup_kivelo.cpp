// Kivelo's start, exactly as the program does it, ending once its three windows are shown.
#include "app/commandline.h"
#include "app/form1.h"
#include "startup_shown.h"
#include "toolkit/controls.h"
#include "toolkit/desktop.h"
#include "toolkit/recentfiles.h"

int main(int argc, char** argv)
{
    CommandLine commandLine(argc, argv);
    QApplication application(argc, argv);
    toolkit::RegisterFontSubstitutes();
    toolkit::JoinDesktop();
    toolkit::LoadQtTextsInJapanese();
    toolkit::RecentFiles::KeepInSettings();
    StartProgram(commandLine.Ledger());
    ExitWhenShown(3);
    return application.exec();
}

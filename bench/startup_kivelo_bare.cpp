// Kivelo's start without Qt's texts in Japanese and without the recent list from the settings:
// what startup_kivelo takes longer than this is what those two cost.
#include "app/commandline.h"
#include "app/form1.h"
#include "startup_shown.h"
#include "toolkit/controls.h"
#include "toolkit/desktop.h"

int main(int argc, char** argv)
{
    CommandLine commandLine(argc, argv);
    QApplication application(argc, argv);
    toolkit::RegisterFontSubstitutes();
    toolkit::JoinDesktop();
    StartProgram(commandLine.Ledger());
    ExitWhenShown(3);
    return application.exec();
}

// Kivelo's start, exactly as the program does it, ending once its three windows are shown.
#include "app/form1.h"
#include "startup_shown.h"
#include "toolkit/controls.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    toolkit::RegisterFontSubstitutes();
    StartProgram();
    ExitWhenShown(3);
    return application.exec();
}

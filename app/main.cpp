// Program start: the application object, then the windows in their order, then the event loop.
// The program reads no command line.
#include "app/form1.h"
#include "toolkit/controls.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    toolkit::RegisterFontSubstitutes();
    StartProgram();
    return application.exec();
}

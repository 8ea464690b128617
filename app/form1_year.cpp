// The year at a glance: several ledgers chosen together and shown side by side in a window of
// their own, which reads the files apart from the tables and the controls of this window.
#include "app/form1.h"

#include "year/yearwindow.h"

#include <QFileInfo>

void TForm1::YearView1Click()
{
    // The dialog starts in the folder of the ledger opened or saved last.
    QString folder = LedgerFileName.isEmpty() ? QString() : QFileInfo(LedgerFileName).absolutePath();
    toolkit::FilesDialog dialog(this, OpenDialog1.QtFilter(), folder);
    if (!dialog.Execute())                                             // 1. a cancel shows nothing
        return;
    new YearWindow(this, dialog.FileNames());                          // 2. shows itself, freed when closed
}

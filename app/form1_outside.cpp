// Ledgers that come from outside the Open dialog: the file named on the command line, a file
// dropped on the window from a file manager. Each is opened as ファイルを開く opens the file chosen
// in its dialog: the same question first, the same steps and error boxes, and the same name
// handling (SaveDialog1 is never named by an Open).
#include "app/form1.h"

#include "toolkit/filedrops.h"

void TForm1::OpenLedgerFromOutside(const QString& fileName)
{
    if (!SettleChanges())                                              // the ledger on screen first
        return;
    OpenDialog1.Offer(fileName);                                       // its next run starts here
    if (!MayOpenLedger(fileName))                                      // another Kivelo holds it
        return;
    ReadLedgerFile(fileName);                                          // 2. to 4.
    RecalcTotalsAfterOpen();                                           // 5.
    OfferRecoveries(fileName);                                         // what a Kivelo that died left of it
}

void TForm1::AcceptLedgerDrops()
{
    auto* drops = new toolkit::FileDrops(*this, QStringLiteral(".ZMR"));
    connect(drops, &toolkit::FileDrops::Dropped, this,
        toolkit::Handler(this, &TForm1::OpenLedgerFromOutside, toolkit::Shows));
}

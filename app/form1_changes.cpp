// What the user has changed since the ledger was last opened or saved, and the question before
// those changes would be lost: closing the window, opening another ledger, a new month.
#include "app/form1.h"

#include "app/recoverykeeper.h"
#include <QCloseEvent>
#include <QCoreApplication>

void TForm1::Memo1Change() { LedgerChanged = true; }

void TForm1::Edit1Change() { LedgerChanged = true; }

void TForm1::Edit2Change() { LedgerChanged = true; }

bool TForm1::SettleChanges()
{
    ConfirmOpenList();  // a list typed and not confirmed is part of the changes
    if (!LedgerChanged)
        return true;
    switch (toolkit::AskToSaveChanges(this)) {
    case toolkit::SaveChangesAnswer::Save:
        filesaveclick();        // through Save As while the ledger has no name
        return !LedgerChanged;  // a cancelled Save As keeps the changes, and the user with them
    case toolkit::SaveChangesAnswer::Discard:
        return true;
    case toolkit::SaveChangesAnswer::Cancel:
        break;
    }
    return false;
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the program once its changes are saved or given up; a failed
    // save shows its error and keeps the window.
    if (endingOnRequest_) {  // the month is kept for the next start
        event->accept();
        return;
    }
    bool goOn = false;
    toolkit::Guard(toolkit::Shows, [&] { goOn = SettleChanges(); });
    if (!goOn) {
        event->ignore();
        return;
    }
    LetGoOfLedger();
    Keeper->Forget();  // saved or given up: nothing is left to recover
    event->accept();
    QCoreApplication::quit();
}

// The month kept against a death of the program (recoverykeeper.h keeps it, ledger/recovery.h
// writes it): what is kept of the window, the month given back from a kept one, and the offer, at
// start and when a ledger is opened, of each month that a Kivelo no longer running has left.
#include "app/form1.h"

#include "app/month.h"
#include "app/recoverykeeper.h"
#include "ledger/record.h"
#include "ledger/recovery.h"
#include "toolkit/dialogs.h"
#include "toolkit/termination.h"
#include "toolkit/text.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int ListColumns = 2;
constexpr int ListRows = 19;

} // namespace

void TForm1::WatchForRecovery()
{
    Keeper = new RecoveryKeeper(*this);
}

void TForm1::EndOnRequest()
{
    // Nobody may be there to answer a question: the month is kept for the next start instead.
    Keeper->KeepNow();
    endingOnRequest_ = true;
    QCoreApplication::exit(0);
}

Recovery TForm1::CaptureRecovery()
{
    Recovery kept;
    AssembleRecord();
    kept.Record.assign(reinterpret_cast<const char*>(LedgerRecord), RecordSize);
    if (OpenList) {
        kept.ListCol = OpenList->Col;
        kept.ListRow = OpenList->Row;
        for (int col = 0; col < ListColumns; ++col)
            for (int row = 0; row < ListRows; ++row)
                kept.ListCells.push_back(StringGrid5->Cell(col, row));
    }
    kept.Ledger = QFile::encodeName(LedgerFileName).toStdString();
    kept.LedgerIdentity = ledgerIdentity_;
    kept.Changed = std::time(nullptr);
    return kept;
}

void TForm1::RestoreRecovery(const Recovery& kept)
{
    std::memcpy(LedgerRecord, kept.Record.data(), RecordSize);
    DistributeRecord();
    RecalcTotalsAfterOpen();
    if (kept.ListCol >= 0 && kept.ListCells.size() == size_t(ListColumns * ListRows)) {
        for (int col = 0; col < ListColumns; ++col)
            for (int row = 0; row < ListRows; ++row)
                StringGrid5->SetCell(col, row, kept.ListCells[size_t(col * ListRows + row)]);
        OpenList = GridCell { kept.ListCol, kept.ListRow };
    }
    // Its name, which 上書き保存 writes to once it has checked that nobody changed the file since.
    LetGoOfLedger();
    LedgerFileName = QFile::decodeName(QByteArray::fromStdString(kept.Ledger));
    SaveDialog1.KeepNames({ LedgerFileName, LedgerFileName });
    if (!LedgerFileName.isEmpty()) {
        ledgerLock_.Take(kept.Ledger);
        ledgerIdentity_ = kept.LedgerIdentity;
    }
    LedgerChanged = true;
    History->Steps().Restart();
}

void TForm1::OfferRecoveries(const QString& ledger)
{
    std::string only = QFile::encodeName(ledger).toStdString();
    for (const LeftRecovery& left : LeftRecoveries()) {
        if (!ledger.isEmpty() && left.Kept.Ledger != only)
            continue;
        QString name = left.Kept.Ledger.empty()
            ? QStringLiteral("無題")
            : QFileInfo(QFile::decodeName(QByteArray::fromStdString(left.Kept.Ledger))).fileName();
        std::string month(SlotText(reinterpret_cast<const unsigned char*>(left.Kept.Record.data()), PeriodMonthArea, 0, 0));
        QString text = QStringLiteral("保存されていない変更が残っています\n\n%1%2\n最後の変更: %3")
                           .arg(name, month.empty() ? QString() : QStringLiteral("（%1月）").arg(toolkit::FromSjis(month)),
                               QDateTime::fromSecsSinceEpoch(left.Kept.Changed).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        const QString restore = QStringLiteral("復元");
        const QString discard = QStringLiteral("破棄");
        const QString later = QStringLiteral("あとで");
        QString answer = toolkit::Ask(this, text, { restore, discard, later }, restore, later);
        if (answer == later)
            continue;
        if (answer == restore && SettleChanges())
            RestoreRecovery(left.Kept);
        else if (answer == restore)
            continue;
        ::unlink(left.Path.c_str());
        if (answer == restore)
            return;  // one month on screen; the others wait for the next start
    }
}

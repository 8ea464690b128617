// Another writer of the ledger on screen: the lock beside the ledger while the window holds it, the
// question before opening a ledger that another Kivelo holds, and the check before a save replaces
// a file that another program has changed or replaced since the window opened or saved it.
#include "app/form1.h"

#include "ledger/record.h"
#include <QDateTime>
#include <QFile>

namespace {

std::string Native(const QString& fileName) { return QFile::encodeName(fileName).toStdString(); }

} // namespace

bool TForm1::MayOpenLedger(const QString& fileName)
{
    std::optional<LockHolder> holder = OtherLockHolder(Native(fileName));
    if (!holder)
        return true;
    QString text = QStringLiteral("このファイルは別の家計簿で開かれています\n\n%1 (%2)\n%3 から")
                       .arg(QString::fromStdString(holder->User), QString::fromStdString(holder->Host),
                           QDateTime::fromSecsSinceEpoch(holder->Since).toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    const QString open = QStringLiteral("開く");
    const QString cancel = QStringLiteral("キャンセル");
    return toolkit::Ask(this, text, { open, cancel }, cancel, cancel) == open;
}

bool TForm1::MayReplaceLedger(const QString& fileName)
{
    // Another file than the one on screen is replaced as the user chose it.
    if (fileName != LedgerFileName || !ledgerIdentity_)
        return true;
    if (StillTheSame(*ledgerIdentity_, Native(fileName)))
        return true;
    const QString overwrite = QStringLiteral("上書き保存");
    const QString saveAs = QStringLiteral("名前をつけて保存");
    const QString cancel = QStringLiteral("キャンセル");
    QString answer = toolkit::Ask(this, QStringLiteral("このファイルは開いた後に他のプログラムによって変更されています。"),
        { overwrite, saveAs, cancel }, cancel, cancel);
    if (answer == saveAs)
        SaveAs1Click();
    // Overwritten, the other program's file is kept as an earlier version, as any replaced file is.
    return answer == overwrite;
}

void TForm1::HoldLedger(const QString& fileName)
{
    ledgerLock_.Take(Native(fileName));
    // The record just read or written is the file's content when the file is one record.
    ledgerIdentity_ = IdentityOf(Native(fileName), std::string_view(reinterpret_cast<const char*>(LedgerRecord), RecordSize));
}

void TForm1::LetGoOfLedger()
{
    ledgerLock_.Release();
    ledgerIdentity_.reset();
}

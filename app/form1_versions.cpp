// The earlier versions of the ledger on screen (ledger/versions.h): ファイル > 以前の版… lists them,
// and the one chosen opens as a month without a name, as ファイルを開く would open a file, the
// question about unsaved changes first. Saving it under the ledger's own name restores it; the file
// it replaces is kept as a version in turn.
#include "app/form1.h"

#include "app/versionsdialog.h"

#include <QFile>

void TForm1::Versions1Click()
{
    std::string ledger = QFile::encodeName(LedgerFileName).toStdString();
    std::vector<VersionSummary> versions = ledger.empty() ? std::vector<VersionSummary>() : SummariesOfVersions(ledger);
    std::optional<LedgerVersion> chosen = ChooseVersion(this, versions);     // 1. a cancel opens nothing
    if (!chosen || !SettleChanges())                                          // 2. the ledger on screen first
        return;
    QString original = LedgerFileName;
    ReadLedgerRecords(QFile::decodeName(QByteArray::fromStdString(chosen->Path)));  // 3. no name of its own
    LedgerFileName.clear();
    LetGoOfLedger();
    SaveDialog1.Offer(original);                                              // Save As offers the ledger's name
    RecalcTotalsAfterOpen();                                                  // 4.
}

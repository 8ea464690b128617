// versions: the earlier versions Kivelo keeps of a ledger, as its window ファイル > 以前の版… lists
// them.
#include "ledgertool/commands.h"

#include "ledger/versions.h"
#include "toolkit/text.h"

void ListVersions(const std::string& file, std::string& out)
{
    for (const VersionSummary& summary : SummariesOfVersions(file))
        out += VersionTimeText(summary.Version.Saved) + "  支出計 " + toolkit::Utf8FromSjis(summary.Spending)
            + "  計算残高 " + toolkit::Utf8FromSjis(summary.Balance) + "  " + summary.Version.Path + "\n";
}

// Earlier versions of a ledger, kept beside it in the folder `.kivelo-versions` as
// NAME.YYYYMMDD-HHMMSS.ZMR, named after the time the version was saved (a second save within the
// same second adds "-2", "-3", ...). A save keeps the file it replaces as a version, without a copy
// where the file system allows it (a second name for the same file), else as a complete copy; once
// the save has succeeded the versions are thinned: every version of the last 7 days (at most 100),
// then the last of each day for 3 months, then the last of each month. File-system work only;
// knows nothing of windows.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

constexpr const char* VersionsFolderName = ".kivelo-versions";

struct LedgerVersion {
    std::string Path;  // in the file system's encoding
    // When this version was saved, in local time as its name gives it: YYYYMMDDHHMMSS as a number,
    // which orders the versions as time does.
    long long Saved;
};

// The versions kept of the ledger `path`, newest first; none when there are none or the folder
// cannot be read.
std::vector<LedgerVersion> VersionsOf(const std::string& path);

// A version as the lists show it, so that the user recognises the month: when it was saved, the
// month's spending (支出計) and its calculated balance (計算残高), Shift-JIS as the record holds
// them; both empty when the version cannot be read.
struct VersionSummary {
    LedgerVersion Version;
    std::string Spending;
    std::string Balance;
};
std::vector<VersionSummary> SummariesOfVersions(const std::string& path);

// "2026-12-09 16:15:00".
std::string VersionTimeText(long long saved);

// Keeps the file `target` (no symbolic link) as a version, when there is such a file. Returns 0, or
// the errno of the step that failed: the version is then not kept, and nothing of it is left
// behind.
int KeepVersion(const std::string& target);

// Removes the versions of the ledger `path` that the rule does not keep, as of the clock's now.
void ThinVersions(const std::string& path);

// Which of the versions (newest first) the rule keeps at `now`: for each, whether it stays.
std::vector<bool> VersionsToKeep(const std::vector<LedgerVersion>& versions, std::time_t now);

// The clock of thinning; a test moves it.
std::time_t VersionClock();
void SetVersionClockForTest(std::function<std::time_t()> clock);

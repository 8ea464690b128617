// What is kept of a month not yet saved, so that a death of the program (a kill, a crash, the end of
// the X session, a power cut) loses nothing typed: one recovery file per running Kivelo under
// $XDG_STATE_HOME/kivelo/ (~/.local/state/kivelo/ by default), written whole and flushed to disk,
// with the record as Save would write it, the lines of the list on screen not yet confirmed, the
// ledger's name and what its file was, and who wrote it when. File-system work only.
#pragma once

#include "ledger/host.h"
#include "ledger/identity.h"

#include <ctime>
#include <optional>
#include <string>
#include <vector>

struct Recovery {
    std::string Record;  // RecordSize bytes, as Save would write them
    // The list on screen, when one is open: the day-table cell it belongs to and its 2 x 19 cells,
    // a column's cells one after another.
    int ListCol = -1;
    int ListRow = -1;
    std::vector<std::string> ListCells;
    std::string Ledger;  // the ledger's file, in the file system's encoding; empty for a month without a name
    std::optional<FileIdentity> LedgerIdentity;
    std::time_t Changed = 0;  // the time of the last change kept
    ProcessName Process;      // the Kivelo that kept it
    std::string Host;
    std::string Boot;
};

// The folder of the recovery files, and the file of this process in it.
std::string RecoveryFolder();
std::string OwnRecoveryFile();

// Writes `recovery` into `path`, whole or not at all, and flushed to disk, as this process's unless
// it names another; the folder is made when it is missing. Throws the runtime's I/O failure.
void WriteRecovery(const std::string& path, Recovery recovery);
std::optional<Recovery> ReadRecovery(const std::string& path);

// The recovery files that Kivelos no longer running have left, oldest change first.
struct LeftRecovery {
    std::string Path;
    Recovery Kept;
};
std::vector<LeftRecovery> LeftRecoveries();

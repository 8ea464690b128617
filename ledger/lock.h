// The lock a window holds on the ledger it has open: a file `.~lock.NAME#` beside the ledger that
// says who holds it (user, host, process, since when, and the host's boot), so that a second
// Kivelo opening the ledger can say so. A lock of this host whose process has gone (since its boot
// or before it) is stale: it is no one's, and is taken over without a word. A folder that takes no lock
// leaves the ledger without one. File-system work only.
#pragma once

#include "ledger/host.h"

#include <ctime>
#include <optional>
#include <string>

struct LockHolder {
    std::string User;
    std::string Host;
    ProcessName Process;
    std::time_t Since = 0;
};

// Who else holds the lock of the ledger `path`; none when no live process but this one does.
std::optional<LockHolder> OtherLockHolder(const std::string& path);

class LedgerLock {
public:
    LedgerLock() = default;
    ~LedgerLock() { Release(); }
    LedgerLock(const LedgerLock&) = delete;
    LedgerLock& operator=(const LedgerLock&) = delete;

    // Holds the lock of `path` from now on, unless another live process holds it; gives up the lock
    // held before.
    void Take(const std::string& path);
    // Gives up the lock held, when this process still holds it.
    void Release();
    const std::string& LockFile() const { return lockFile_; }

private:
    std::string lockFile_;  // empty while none is held
};

// ".~lock.2024-12.ZMR#" beside the ledger, links followed.
std::string LockFileOf(const std::string& path);

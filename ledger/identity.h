// What a ledger file is when the window opens or saves it, to tell at the next save whether another
// program has changed or replaced it since: its device and inode, size, modification time to the
// nanosecond and a hash of its bytes. A file only touched (a new time, the same bytes) is the same
// file. File-system work only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct FileIdentity {
    uint64_t Device = 0;
    uint64_t Inode = 0;
    uint64_t Size = 0;
    int64_t ModifiedNanoseconds = 0;
    uint64_t Hash = 0;
};

// The identity of the file `path` names (links followed); none when there is no such file or it
// cannot be read. `bytes`, when given, are the file's whole content as the caller has just read or
// written it, which spares reading it again.
std::optional<FileIdentity> IdentityOf(const std::string& path, std::string_view bytes = {});

// The file `path` names is still the one `before` was: the same file (device and inode), the same
// size, and either the same modification time or, when only the time moved, the same bytes.
bool StillTheSame(const FileIdentity& before, const std::string& path);

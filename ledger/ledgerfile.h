// The ledger file: a typed file of whole 336,780-byte records, read into and written from
// LedgerRecord in one operation each. Every failing step throws the runtime's I/O failure.
#pragma once

#include <string>

class LedgerFile {
public:
    LedgerFile() = default;
    ~LedgerFile();
    LedgerFile(const LedgerFile&) = delete;
    LedgerFile& operator=(const LedgerFile&) = delete;

    // Opens for reading only, so a read-only ledger opens; anything but a regular file is refused
    // with "ﾌｧｲﾙへのｱｸｾｽが拒否されました", without waiting. `path` is in the file system's encoding.
    // Each whole record wholly replaces the one before it, so reading starts at the last whole
    // record: reading on to the end then has the outcome of reading every record in turn, at the
    // cost of one, whatever the file's size.
    void OpenForReading(const std::string& path);
    bool AtEnd();
    // Reads one record into LedgerRecord; a short read fails with "ﾌｧｲﾙの末尾以降を読み込みました".
    void ReadRecord();
    void Close();

private:
    int descriptor_ = -1;
};

// Writes LedgerRecord as the whole file `path`, as ReplaceFileContent (ledger/fileaccess.h) does:
// through a symbolic link to the file it names, refusing a file the user may not write, and so
// that a failed or killed save leaves the previous file as it was and nothing beside it. The file
// it replaces is kept as an earlier version first, and the versions are thinned once the save has
// succeeded (ledger/versions.h). Returns 0, or the errno that kept the earlier version from being
// kept, in which case the save went ahead all the same.
int WriteLedgerFile(const std::string& path);

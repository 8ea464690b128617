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

    // Opens for reading only, so a read-only ledger opens. `path` is in the file system's encoding.
    void OpenForReading(const std::string& path);
    bool AtEnd();
    // Reads one record into LedgerRecord; a short read fails with "ﾌｧｲﾙの末尾以降を読み込みました".
    void ReadRecord();
    void Close();

private:
    int descriptor_ = -1;
};

// Writes LedgerRecord as the whole file `path`: into a temporary file beside it, flushed to disk,
// then renamed over it, so that a failed save leaves the previous file as it was.
void WriteLedgerFile(const std::string& path);

// A ledger file read without touching the program's tables: its size, how many whole records it
// holds, the bytes after them, and a copy of the last whole record, which is the one the program
// ends up showing. Reading never changes LedgerRecord, so several files can be held at once; the
// command-line companion and the year view read ledgers this way.
#pragma once

#include "ledger/record.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct LedgerImage {
    LedgerImage();

    uint64_t Size = 0;
    uint64_t Records = 0;
    uint64_t TrailingBytes = 0;
    std::unique_ptr<unsigned char[]> Record; // RecordSize bytes, valid when Records > 0

    bool HasRecord() const { return Records > 0; }
    std::string_view Text(const RecordArea& area, int column, int row) const
    {
        return SlotText(Record.get(), area, column, row);
    }
    // The length byte as stored, which may be above the slot's capacity.
    unsigned LengthByte(const RecordArea& area, int column, int row) const
    {
        return Record[area.SlotOffset(column, row)];
    }
};

// Reads `path` into `image`, reusing its buffer. On failure returns the reason, in the C
// library's words ("No such file or directory").
std::optional<std::string> ReadLedgerImage(const std::string& path, LedgerImage& image);

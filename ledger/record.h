// The layout of the 336,780-byte ledger record: one table of areas, each a grid of
// length-prefixed Shift-JIS slots, and the one module-level buffer the record is assembled in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// An area of Columns x Rows slots of SlotSize bytes; slot (c, r) is at
// Offset + (c * Rows + r) * SlotSize. A slot is a length byte and up to SlotSize - 1 bytes.
struct RecordArea {
    const char* Name;
    size_t Offset;
    int Columns;
    int Rows;
    size_t SlotSize;

    constexpr size_t SlotOffset(int column, int row) const { return Offset + (size_t(column) * Rows + row) * SlotSize; }
    constexpr size_t Capacity() const { return SlotSize - 1; }
    constexpr size_t Size() const { return size_t(Columns) * Rows * SlotSize; }
};

constexpr size_t CellSlot = 13;

constexpr RecordArea IncomeArea { "income budget", 0, 2, 31, CellSlot };
constexpr RecordArea ExpenseArea { "expense budget", 806, 2, 31, CellSlot };
constexpr RecordArea StatusArea { "current status", 1612, 2, 5, CellSlot };
constexpr RecordArea DailyArea { "daily table", 1742, 33, 20, CellSlot };
// The 33 x 20 lists of 2 x 19 slots, as 1320 columns of 19: list (c, r), list column k is
// area column (c * 20 + r) * 2 + k.
constexpr RecordArea DetailArea { "detail lists", 10322, 33 * 20 * 2, 19, CellSlot };
constexpr RecordArea PeriodMonthArea { "period month", 336362, 1, 1, 3 };
constexpr RecordArea PeriodDayArea { "period start day", 336365, 1, 1, 3 };
constexpr RecordArea OnHandArea { "money on hand", 336368, 2, 6, CellSlot };
constexpr RecordArea MemoArea { "memo", 336524, 1, 1, 256 };

constexpr RecordArea RecordAreas[] = { IncomeArea, ExpenseArea, StatusArea, DailyArea, DetailArea, PeriodMonthArea,
    PeriodDayArea, OnHandArea, MemoArea };

constexpr size_t RecordSize = 336780;

// The areas follow one another without a gap and fill the record exactly.
constexpr bool AreasFillRecord()
{
    size_t next = 0;
    for (const RecordArea& area : RecordAreas) {
        if (area.Offset != next)
            return false;
        next += area.Size();
    }
    return next == RecordSize;
}
static_assert(AreasFillRecord(), "the record areas must tile the 336,780-byte record");

constexpr int DetailColumn(int dayColumn, int dayRow, int listColumn) { return (dayColumn * 20 + dayRow) * 2 + listColumn; }

// The record being assembled or just read; it lives for the whole run.
extern unsigned char LedgerRecord[RecordSize];

// The text of a slot of `record`. A length byte above the slot's capacity is read as the
// capacity, so no read leaves its slot.
std::string_view SlotText(const unsigned char* record, const RecordArea& area, int column, int row);
size_t SlotLength(const unsigned char* record, const RecordArea& area, int column, int row);
inline std::string_view SlotText(const RecordArea& area, int column, int row)
{
    return SlotText(LedgerRecord, area, column, row);
}

// Writes a slot of LedgerRecord: the text cut to the slot's capacity by bytes, the bytes after
// it zero.
void PutSlot(const RecordArea& area, int column, int row, std::string_view text);
// The same in a record of its own.
void PutSlot(unsigned char* record, const RecordArea& area, int column, int row, std::string_view text);

// The table areas in the order the record holds them, between LedgerRecord and the tables.
void PutBudgetAreas();   // IncomeBudget, ExpenseBudget (slots 20..30 of each column empty)
void PutDetailArea();    // DetailLists
void TakeBudgetAreas();  // into IncomeBudget, ExpenseBudget (slots 20..30 ignored)
void TakeDetailArea();   // into DetailLists

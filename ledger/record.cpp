#include "ledger/record.h"

#include "ledger/tables.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

unsigned char LedgerRecord[RecordSize];

size_t SlotLength(const unsigned char* record, const RecordArea& area, int column, int row)
{
    return std::min<size_t>(record[area.SlotOffset(column, row)], area.Capacity());
}

std::string_view SlotText(const unsigned char* record, const RecordArea& area, int column, int row)
{
    size_t offset = area.SlotOffset(column, row);
    return std::string_view(reinterpret_cast<const char*>(record + offset + 1), SlotLength(record, area, column, row));
}

void PutSlot(const RecordArea& area, int column, int row, std::string_view text)
{
    PutSlot(LedgerRecord, area, column, row, text);
}

void PutSlot(unsigned char* record, const RecordArea& area, int column, int row, std::string_view text)
{
    unsigned char* slot = record + area.SlotOffset(column, row);
    size_t length = std::min(text.size(), area.Capacity());
    slot[0] = static_cast<unsigned char>(length);
    if (length > 0) // an empty view may have no data at all
        std::memcpy(slot + 1, text.data(), length);
    std::memset(slot + 1 + length, 0, area.Capacity() - length);
}

namespace {

void PutCell(const RecordArea& area, int column, int row, const CellText& cell)
{
    PutSlot(area, column, row, cell.View());
}

void TakeCell(const RecordArea& area, int column, int row, CellText& cell)
{
    cell.Assign(SlotText(area, column, row));
}

} // namespace

void PutBudgetAreas()
{
    for (int column = 0; column < 2; ++column)
        for (int row = 0; row < 31; ++row)
            PutCell(IncomeArea, column, row, IncomeBudget[column][row]);
    for (int column = 0; column < 2; ++column)
        for (int row = 0; row < 31; ++row)
            PutSlot(ExpenseArea, column, row, row < 20 ? ExpenseBudget[column][row].View() : std::string_view());
}

// The detail area holds DetailLists exactly as the table lies in memory: 13-byte cells, list
// rows within list columns within day rows within day columns. So the area moves in one copy.
// A length byte above 12 is taken as it is, since every read of a CellText cuts it to 12, and
// it is written as 12; the bytes after each text are written as zero.
static_assert(sizeof(CellText) == CellSlot && offsetof(CellText, Length) == 0 && offsetof(CellText, Bytes) == 1,
    "a CellText is its slot");
static_assert(sizeof(DetailLists) == DetailArea.Size(), "DetailLists is the detail area");

void PutDetailArea()
{
    unsigned char* area = LedgerRecord + DetailArea.Offset;
    std::memcpy(area, DetailLists, DetailArea.Size());
    for (size_t slot = 0; slot < DetailArea.Size(); slot += CellSlot) {
        size_t length = std::min<size_t>(area[slot], CellText::Capacity);
        area[slot] = static_cast<unsigned char>(length);
        std::memset(area + slot + 1 + length, 0, CellText::Capacity - length);
    }
}

void TakeBudgetAreas()
{
    for (int column = 0; column < 2; ++column)
        for (int row = 0; row < 31; ++row)
            TakeCell(IncomeArea, column, row, IncomeBudget[column][row]);
    for (int column = 0; column < 2; ++column)
        for (int row = 0; row < 20; ++row)
            TakeCell(ExpenseArea, column, row, ExpenseBudget[column][row]);
}

void TakeDetailArea()
{
    std::memcpy(DetailLists, LedgerRecord + DetailArea.Offset, DetailArea.Size());
}

#include "ledger/record.h"

#include "ledger/tables.h"

#include <algorithm>
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
    unsigned char* slot = LedgerRecord + area.SlotOffset(column, row);
    size_t length = std::min(text.size(), area.Capacity());
    slot[0] = static_cast<unsigned char>(length);
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

void PutDetailArea()
{
    for (int dayColumn = 0; dayColumn < 33; ++dayColumn)
        for (int dayRow = 0; dayRow < 20; ++dayRow)
            for (int listColumn = 0; listColumn < 2; ++listColumn)
                for (int listRow = 0; listRow < 19; ++listRow)
                    PutCell(DetailArea, DetailColumn(dayColumn, dayRow, listColumn), listRow,
                        DetailLists[dayColumn][dayRow][listColumn][listRow]);
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
    for (int dayColumn = 0; dayColumn < 33; ++dayColumn)
        for (int dayRow = 0; dayRow < 20; ++dayRow)
            for (int listColumn = 0; listColumn < 2; ++listColumn)
                for (int listRow = 0; listRow < 19; ++listRow)
                    TakeCell(DetailArea, DetailColumn(dayColumn, dayRow, listColumn), listRow,
                        DetailLists[dayColumn][dayRow][listColumn][listRow]);
}

// The ledger tables of one month and the few values derived from them: plain module-level data,
// zero-filled at start, living for the whole run. Knows nothing about windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A short Shift-JIS text in a 13-byte slot: a length byte and up to 12 bytes. Storing a longer
// text keeps its first 12 bytes, cut by bytes, so a double-byte character can lose its second
// byte; saved files depend on that.
//
// A cell taken from a file keeps its length byte as it was, so a corrupt length above 12 can sit
// in Length; every read goes through Size(), which reads such a length as 12.
struct CellText {
    static constexpr int Capacity = 12;

    unsigned char Length;
    char Bytes[Capacity];

    void Assign(std::string_view text);
    size_t Size() const { return Length < Capacity ? Length : Capacity; }
    std::string_view View() const { return std::string_view(Bytes, Size()); }
    std::string Str() const { return std::string(Bytes, Size()); }
    bool Empty() const { return Length == 0; }
};
static_assert(sizeof(CellText) == 13, "a CellText is its 13-byte file slot");

// Indexed [column][row]; a column's cells are contiguous, as in the ledger file.
extern CellText IncomeBudget[2][31];
extern CellText ExpenseBudget[2][20];
extern CellText DailyTable[33][20];
extern CellText DetailLists[33][20][2][19];  // [day column][day row][list column][list row]

// Derived values handed between windows.
extern int32_t IncomeTotal;
extern int32_t ProjectedSpending;
extern int32_t DaySpend[33];  // entries 2..32: the day totals when the graph button was pressed
extern std::string PeriodStartText;

// Writes the default detail lists: for day columns 2..32 and category rows 1..17, the list's
// header and, for rows 1 to 5, the sample item names.
void InitDefaultDetailLists();

// Empties every table and zeroes the derived values, as at program start.
void ResetTables();

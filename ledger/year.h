// The year at a glance: the main figures of several ledgers side by side, one column per ledger
// in the order of their months, and the totals over all of them. The files are read with
// ReadLedgerImage only, so neither the tables nor LedgerRecord change and a ledger open in the
// main window stays as it is. Knows nothing about windows or output formats.
//
// Amounts are converted as the program converts them (32-bit, the exact integer syntax); an
// empty amount counts 0, as Open counts it. An amount that does not convert is not 0: its cell,
// and every cell computed from it, is marked, the marked cells stay out of their row's total,
// and one warning line names the file, the figure and the text. The figures are held in 64 bits:
// the remaining amounts and the totals are shown, never stored, so they need not fit a cell's
// 32 bits, and 64 bits hold the sums of any number of 32-bit amounts a year view will meet.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr int YearCategories = 17;

// What a row shows. The rows come in this order, SpentOn and RemainingOf once per category.
enum class YearFigure {
    IncomePlan, // income budget (1, 12), the income total
    SpendingPlan, // expense budget (1, 18), the budget total
    Spent, // daily table (1, 18), the month's spending
    SpentOn, // daily table (1, r), the month's spending in category r
    RemainingOf, // expense budget (1, r) minus daily table (1, r)
    Savings, // income plan minus spent
};

// A whole number of yen, or marked when an amount it is computed from is not an integer.
struct YearCell {
    int64_t Value = 0;
    bool Marked = false;
};

struct YearRow {
    YearFigure Figure;
    int Category = 0; // 1 to 17 for SpentOn and RemainingOf, 0 otherwise
    std::vector<YearCell> Cells; // one per column
    int64_t Total = 0; // over the cells that are not marked
};

struct YearColumn {
    std::string File; // the name as given
    std::string Month; // the period month field as stored, Shift-JIS
    // The month as a number, when the field holds one; columns without come last.
    std::optional<int32_t> MonthNumber;
};

struct Year {
    std::vector<YearColumn> Columns; // in month order; ties and columns without a month by file name
    // The category captions, index 0 for row 1: of each row, the first label found in column
    // order in the daily table's column 0 (the caption the main window shows) or, for a row
    // without one (row 17 has none), in the expense budget's column 0 (the name the user gave
    // it in the expense editor). Shift-JIS; empty when no ledger names the row.
    std::array<std::string, YearCategories> Categories;
    std::vector<YearRow> Rows; // 3 + 17 + 17 + 1 rows, in YearFigure order
    // One line each, UTF-8: "FILE: No such file or directory" for a file that gave no column,
    // "FILE: spent, daily table (1, 18): "３千" is not an integer" for a marked amount.
    std::vector<std::string> Failures;
    std::vector<std::string> Warnings;
};

// Reads the files one after the other and sets them side by side.
Year ReadYear(const std::vector<std::string>& files);

// "income plan", "spending plan", "spent", "spent", "remaining", "savings".
const char* FigureName(YearFigure figure);

// A cell as it is shown: the number in decimal, or "??" when it is marked.
std::string YearCellText(const YearCell& cell);

// The name of a column's file without its folder, for headings.
std::string BaseName(const std::string& file);

// The caption of category row `category` (1 to 17) in UTF-8; "category 17" when no ledger names it.
std::string CategoryName(const Year& year, int category);

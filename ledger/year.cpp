#include "ledger/year.h"

#include "ledger/ledgerimage.h"
#include "ledger/textout.h"
#include "toolkit/convert.h"
#include "toolkit/text.h"

#include <algorithm>
#include <tuple>

namespace {

// An amount cell that did not convert, with the figure it belongs to.
struct BadAmount {
    const char* What; // "income plan", or with the category: "spent on", "budget of"
    int Category; // 0, or the category row
    const RecordArea* Area;
    int Row; // in column 1 of the area
    std::string Text;
};

// One ledger's figures before the columns are put in order.
struct LedgerFigures {
    YearColumn Column;
    std::vector<YearCell> Cells; // one per row of the year
    std::array<std::string, YearCategories> DailyLabels;
    std::array<std::string, YearCategories> BudgetNames;
    std::vector<BadAmount> BadAmounts;
};

// The rows of the year in the order they are shown; the figures of a ledger follow it.
std::vector<YearRow> RowsOfTheYear()
{
    std::vector<YearRow> rows { { YearFigure::IncomePlan }, { YearFigure::SpendingPlan }, { YearFigure::Spent } };
    for (int category = 1; category <= YearCategories; ++category)
        rows.push_back({ YearFigure::SpentOn, category });
    for (int category = 1; category <= YearCategories; ++category)
        rows.push_back({ YearFigure::RemainingOf, category });
    rows.push_back({ YearFigure::Savings });
    return rows;
}

// The amount in column 1, row `row` of `area`: an empty cell is 0, a text the program's
// conversion refuses is marked and kept for the warning.
YearCell ReadAmount(
    const LedgerImage& image, const RecordArea& area, int row, const char* what, int category, LedgerFigures& ledger)
{
    std::string_view text = image.Text(area, 1, row);
    if (text.empty())
        return {};
    if (std::optional<int32_t> value = toolkit::TryIntFromText(text))
        return { *value, false };
    ledger.BadAmounts.push_back({ what, category, &area, row, std::string(text) });
    return { 0, true };
}

YearCell Difference(YearCell minuend, YearCell subtrahend)
{
    if (minuend.Marked || subtrahend.Marked)
        return { 0, true };
    return { minuend.Value - subtrahend.Value, false };
}

LedgerFigures FiguresOf(const std::string& file, const LedgerImage& image)
{
    LedgerFigures ledger;
    std::string_view month = image.Text(PeriodMonthArea, 0, 0);
    ledger.Column = { file, std::string(month), toolkit::TryIntFromText(month) };
    YearCell income = ReadAmount(image, IncomeArea, 12, "income plan", 0, ledger);
    YearCell plan = ReadAmount(image, ExpenseArea, 18, "spending plan", 0, ledger);
    YearCell spent = ReadAmount(image, DailyArea, 18, "spent", 0, ledger);
    std::array<YearCell, YearCategories> spentOn;
    std::array<YearCell, YearCategories> budgetOf;
    for (int category = 1; category <= YearCategories; ++category) {
        spentOn[category - 1] = ReadAmount(image, DailyArea, category, "spent on", category, ledger);
        budgetOf[category - 1] = ReadAmount(image, ExpenseArea, category, "budget of", category, ledger);
        ledger.DailyLabels[category - 1] = image.Text(DailyArea, 0, category);
        ledger.BudgetNames[category - 1] = image.Text(ExpenseArea, 0, category);
    }
    ledger.Cells = { income, plan, spent };
    ledger.Cells.insert(ledger.Cells.end(), spentOn.begin(), spentOn.end());
    for (int category = 0; category < YearCategories; ++category)
        ledger.Cells.push_back(Difference(budgetOf[category], spentOn[category]));
    ledger.Cells.push_back(Difference(income, spent));
    return ledger;
}

// Month order: the numbered months by number, then the others; ties by file name.
bool ComesBefore(const LedgerFigures& a, const LedgerFigures& b)
{
    const YearColumn& x = a.Column;
    const YearColumn& y = b.Column;
    return std::make_tuple(!x.MonthNumber, x.MonthNumber.value_or(0), x.File)
        < std::make_tuple(!y.MonthNumber, y.MonthNumber.value_or(0), y.File);
}

std::string FirstNonEmpty(const std::vector<LedgerFigures>& ledgers, int category)
{
    using Labels = std::array<std::string, YearCategories> LedgerFigures::*;
    for (Labels labels : { &LedgerFigures::DailyLabels, &LedgerFigures::BudgetNames })
        for (const LedgerFigures& ledger : ledgers)
            if (!(ledger.*labels)[category - 1].empty())
                return (ledger.*labels)[category - 1];
    return {};
}

std::string WarningLine(const Year& year, const std::string& file, const BadAmount& bad)
{
    std::string what = bad.What;
    if (bad.Category > 0)
        what += " " + CategoryName(year, bad.Category);
    return file + ": " + what + ", " + SlotPlace(*bad.Area, 1, bad.Row) + ": " + QuotedText(bad.Text)
        + " is not an integer";
}

} // namespace

Year ReadYear(const std::vector<std::string>& files)
{
    Year year;
    std::vector<LedgerFigures> ledgers;
    LedgerImage image;
    for (const std::string& file : files) {
        if (std::optional<std::string> reason = ReadLedgerImage(file, image))
            year.Failures.push_back(file + ": " + *reason);
        else if (!image.HasRecord())
            year.Failures.push_back(file + ": holds no whole record (" + std::to_string(image.Size) + " bytes)");
        else
            ledgers.push_back(FiguresOf(file, image));
    }
    std::stable_sort(ledgers.begin(), ledgers.end(), ComesBefore);

    for (int category = 1; category <= YearCategories; ++category)
        year.Categories[category - 1] = FirstNonEmpty(ledgers, category);
    year.Rows = RowsOfTheYear();
    for (const LedgerFigures& ledger : ledgers) {
        year.Columns.push_back(ledger.Column);
        for (size_t row = 0; row < year.Rows.size(); ++row) {
            const YearCell& cell = ledger.Cells[row];
            year.Rows[row].Cells.push_back(cell);
            if (!cell.Marked)
                year.Rows[row].Total += cell.Value;
        }
        for (const BadAmount& bad : ledger.BadAmounts)
            year.Warnings.push_back(WarningLine(year, ledger.Column.File, bad));
    }
    return year;
}

const char* FigureName(YearFigure figure)
{
    switch (figure) {
    case YearFigure::IncomePlan:
        return "income plan";
    case YearFigure::SpendingPlan:
        return "spending plan";
    case YearFigure::Spent:
    case YearFigure::SpentOn:
        return "spent";
    case YearFigure::RemainingOf:
        return "remaining";
    case YearFigure::Savings:
        return "savings";
    }
    return "";
}

std::string CategoryName(const Year& year, int category)
{
    const std::string& caption = year.Categories[category - 1];
    if (caption.empty())
        return "category " + std::to_string(category);
    return toolkit::Utf8FromSjis(caption);
}

std::string YearCellText(const YearCell& cell)
{
    return cell.Marked ? "??" : std::to_string(cell.Value);
}

std::string BaseName(const std::string& file)
{
    std::string::size_type slash = file.find_last_of('/');
    return slash == std::string::npos ? file : file.substr(slash + 1);
}

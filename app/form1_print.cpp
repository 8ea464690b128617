// Print: the month through the print dialog, to a printer or a PDF file. Page 1 is drawn from the
// main window's grids; page 2 from an analysis window built for the print with the data of this
// moment, hidden, and with everything its build writes put back.
#include "app/form1.h"

#include "chert/form5.h"
#include "ledger/tables.h"
#include "printout/printout.h"
#include "toolkit/printdialog.h"

#include <QPrinter>
#include <algorithm>
#include <iterator>

namespace {

// What handing the month to an analysis window writes: the day totals of StringGrid4 (an empty
// one becomes "0"), DaySpend, PeriodStartText and the empty value cells of ExpenseBudget and
// DailyTable. Kept when made and put back when destroyed, also when the build fails part-way, so
// that a print leaves every table, grid and value as it found them.
class KeptAnalysisInputs {
public:
    explicit KeptAnalysisInputs(toolkit::StringGrid& dailyGrid)
        : dailyGrid_(dailyGrid)
        , periodStart_(PeriodStartText)
    {
        std::copy(&ExpenseBudget[0][0], &ExpenseBudget[0][0] + std::size(expenseBudget_), expenseBudget_);
        std::copy(&DailyTable[0][0], &DailyTable[0][0] + std::size(dailyTable_), dailyTable_);
        std::copy(std::begin(DaySpend), std::end(DaySpend), daySpend_);
        for (int col = 0; col < DayColumns; ++col)
            dayTotals_[col] = dailyGrid.Cell(col, TotalRow);
    }

    ~KeptAnalysisInputs()
    {
        std::copy(std::begin(expenseBudget_), std::end(expenseBudget_), &ExpenseBudget[0][0]);
        std::copy(std::begin(dailyTable_), std::end(dailyTable_), &DailyTable[0][0]);
        std::copy(std::begin(daySpend_), std::end(daySpend_), DaySpend);
        PeriodStartText = periodStart_;
        for (int col = 0; col < DayColumns; ++col)
            dailyGrid_.SetCell(col, TotalRow, dayTotals_[col]);
    }

    KeptAnalysisInputs(const KeptAnalysisInputs&) = delete;
    KeptAnalysisInputs& operator=(const KeptAnalysisInputs&) = delete;

private:
    static constexpr int DayColumns = 33;
    static constexpr int TotalRow = 18;

    toolkit::StringGrid& dailyGrid_;
    std::string periodStart_;
    CellText expenseBudget_[sizeof(ExpenseBudget) / sizeof(CellText)];
    CellText dailyTable_[sizeof(DailyTable) / sizeof(CellText)];
    int32_t daySpend_[std::size(DaySpend)];
    std::string dayTotals_[DayColumns];
};

} // namespace

void TForm1::Print1Click()
{
    QPrinter printer(QPrinter::ScreenResolution);
    printout::SetUpPage(printer);
    if (!toolkit::RunPrintDialog(printer, this))  // 1. a printer or a PDF file; cancel prints nothing
        return;
    std::unique_ptr<TForm5> analysis = AnalysisForPrint();  // 2. page 2's charts, as the graph button would show them
    printout::PrintMonth(printer, *this, *analysis);  // 3.
}

// The analysis window the graph button would open now, built hidden; the tables, the grid and
// the values its build changes are back as they were when it returns, or when its build fails.
std::unique_ptr<TForm5> TForm1::AnalysisForPrint()
{
    KeptAnalysisInputs kept(*StringGrid4);
    HandOverDaySpend();
    return std::make_unique<TForm5>(this, TForm5::Display::Hidden);
}

// The period, the money on hand, the current status and the budget-and-progress grid.
#include "app/form1.h"

#include "ledger/tables.h"
#include "sisyutp/form3.h"
#include "syunyup/form2.h"
#include "toolkit/convert.h"
#include "toolkit/text.h"

using toolkit::IntFromText;
using toolkit::TextFromInt;

namespace {

const std::string MonthMark = toolkit::Sjis("月");
const std::string DayMark = toolkit::Sjis("日");

} // namespace

std::vector<std::string> PeriodDayLabels(const std::string& monthText, const std::string& dayText)
{
    // Wider than the typed values so that no start day or month can make the count wrap.
    int64_t month = IntFromText(monthText);                  // 2.
    int64_t day = int64_t(IntFromText(dayText)) - 1;
    std::vector<std::string> labels;
    for (int col = 2; col <= 32; ++col) {                    // 3.
        // Every month has 31 days here, and only the value 32 wraps: a start day of 40 runs
        // on to 70, and month 13 turns into 14.
        day += 1;                                            // a.
        if (day == 32) {
            day = 1;
            month += 1;
            if (month == 13)
                month = 1;
        }
        labels.push_back(TextFromInt(month) + MonthMark + TextFromInt(day) + DayMark);
    }
    return labels;
}

void TForm1::Button2Click()
{
    if (Edit1->Text().empty() || Edit2->Text().empty())     // 1.
        return;
    std::vector<std::string> labels = PeriodDayLabels(Edit1->Text(), Edit2->Text());  // 2., 3a.
    for (int col = 2; col <= 32; ++col)                      // 3b.
        StringGrid4->SetCell(col, 0, labels[col - 2]);
}

void TForm1::FormActivate()
{
    StringGrid1->SetCell(1, 1, IncomeBudget[1][12].Str());                          // 1.
    StringGrid1->SetCell(1, 2, ExpenseBudget[1][18].Str());                         // 2.
    IncomeTotal = IncomeBudget[1][12].Empty() ? 0 : IntFromText(IncomeBudget[1][12].View());  // 3.
    StringGrid1->SetCell(1, 3, TextFromInt(toolkit::SubtractAmounts(IncomeTotal, ProjectedSpending)));  // 4.
}

void TForm1::StringGrid1dbClick()
{
    // Each editor shows itself and frees itself when it closes.
    if (StatusCell.Row == 1)                            // 1.
        new TForm2(*this);
    if (StatusCell.Row == 2)                            // 2.
        new TForm3(*this);
}

void TForm1::StringGrid1Exit() { UpdateDifference(); }

int32_t TForm1::OnHandTotal() const
{
    int32_t total = 0;
    for (int row = 1; row <= 3; ++row)
        if (!StringGrid3->Cell(1, row).empty())
            total = toolkit::AddAmounts(total, IntFromText(StringGrid3->Cell(1, row)));
    return total;
}

void TForm1::StringGrid3Exit()
{
    int32_t total = OnHandTotal();                      // 1.
    StringGrid3->SetCell(1, 4, TextFromInt(total));     // 2.
    StringGrid2->SetCell(1, 2, StringGrid3->Cell(1, 4)); // 3.
    UpdateDifference();                                 // 4.
}

void TForm1::UpdateDifference()
{
    if (StringGrid2->Cell(1, 2).empty() || StringGrid2->Cell(1, 1).empty())  // 1.
        return;
    int32_t real = IntFromText(StringGrid2->Cell(1, 2)); // 2.
    int32_t calculated = IntFromText(StringGrid2->Cell(1, 1));
    StringGrid2->SetCell(1, 3, TextFromInt(toolkit::SubtractAmounts(real, calculated)));
}

void TForm1::RefreshCalculatedBalance(const std::string& income)
{
    // The income minus the month's spending total, when both are there.
    const std::string& spending = StringGrid4->Cell(1, 18);
    if (income.empty() || spending.empty())
        return;
    int32_t incomeValue = IntFromText(income);
    int32_t spendingValue = IntFromText(spending);
    StringGrid2->SetCell(1, 1, TextFromInt(toolkit::SubtractAmounts(incomeValue, spendingValue)));
}

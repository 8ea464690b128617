// The next month, started from the one on screen as if the user had typed it: the next period,
// the same budgets and money on hand, the detail lists as at program start with this month's
// automatic bank payments waiting to be booked again, empty day cells and totals, the memo as at
// start, and a ledger that has no name yet.
#include "app/form1.h"

#include "ledger/tables.h"
#include "toolkit/convert.h"
#include "toolkit/text.h"

#include <QDir>
#include <QFileInfo>
#include <cstring>

using toolkit::IntFromText;
using toolkit::TextFromInt;

namespace {

constexpr int FirstDayCol = 2;
constexpr int LastDayCol = 32;
constexpr int FirstTableRow = 1;
constexpr int LastTableRow = 19;
constexpr int FirstItemRow = 1;
constexpr int LastItemRow = 18;  // the spare row too: OK books a payment there as well

const std::string& UnbookedMark()
{
    static const std::string mark = toolkit::Sjis("Ａ");
    return mark;
}

// The name after the bank mark of a payment, booked ("A") or not ("Ａ"); none for other items.
std::optional<std::string_view> PaymentName(std::string_view name)
{
    if (name.substr(0, UnbookedMark().size()) == UnbookedMark())
        return name.substr(UnbookedMark().size());
    if (!name.empty() && name[0] == 'A')
        return name.substr(1);
    return std::nullopt;
}

// The amounts of rows first..last of a table column, an empty amount counting 0, as the budget
// editors' OK adds them.
template <size_t Rows>
int32_t SumOfAmounts(const CellText (&column)[Rows], int first, int last)
{
    int32_t sum = 0;
    for (int row = first; row <= last; ++row)
        if (!column[row].Empty())
            sum = toolkit::AddAmounts(sum, IntFromText(column[row].View()));
    return sum;
}

// A payment goes into the first item row of its list that has neither name nor amount.
void PlacePayment(const BankPayment& payment)
{
    auto& list = DetailLists[payment.Col][payment.Row];
    for (int row = FirstItemRow; row <= LastItemRow; ++row)
        if (list[0][row].Empty() && list[1][row].Empty()) {
            list[0][row].Assign(payment.Name);
            list[1][row].Assign(payment.Amount);
            return;
        }
}

} // namespace

void TForm1::NewMonth1Click()
{
    if (!SettleChanges())                                                          // 1. this month first
        return;
    NextMonth next = PlanNextMonth();                                              // 2. a failure changes nothing
    if (!next.Payments.empty() && !ChoosePaymentsToCarry(this, next.Payments))    // 3.
        return;
    StartMonth(next);                                                              // 4.
}

// Everything the new month takes from this one that can fail to convert, before anything changes.
TForm1::NextMonth TForm1::PlanNextMonth()
{
    NextMonth next;
    if (!Edit1->Text().empty()) {
        int64_t month = int64_t(IntFromText(Edit1->Text())) + 1;  // 12 becomes 1, as the day labels count
        next.Month = TextFromInt(month == 13 ? 1 : month);
        if (!Edit2->Text().empty())
            next.Labels = PeriodDayLabels(next.Month, Edit2->Text());
    }
    next.IncomeTotal = TextFromInt(SumOfAmounts(IncomeBudget[1], 1, 11));
    next.BudgetTotal = TextFromInt(SumOfAmounts(ExpenseBudget[1], 1, 17));
    OnHandTotal();  // the money on hand converts, for the real balance the month starts with
    for (int col = FirstDayCol; col <= LastDayCol; ++col)
        for (int row = FirstTableRow; row <= LastTableRow; ++row)
            for (int item = FirstItemRow; item <= LastItemRow; ++item) {
                const auto& list = DetailLists[col][row];
                std::optional<std::string_view> name = PaymentName(list[0][item].View());
                if (!name)
                    continue;
                CellText unbooked;
                unbooked.Assign(UnbookedMark() + std::string(*name));
                std::string day = next.Labels.empty() ? TextFromInt(col - 1) + toolkit::Sjis("日目")
                                                      : next.Labels[col - FirstDayCol];
                next.Payments.push_back({ col, row, unbooked.Str(), list[1][item].Str(), StringGrid4->Cell(0, row), day });
            }
    return next;
}

void TForm1::StartMonth(const NextMonth& next)
{
    Edit1->SetText(next.Month);                                        // the period
    for (int col = 1; col <= LastDayCol; ++col)                        // day cells, totals and labels
        for (int row = col == 1 ? 1 : 0; row <= LastTableRow; ++row)
            StringGrid4->SetCell(col, row, {});
    for (size_t day = 0; day < next.Labels.size(); ++day)
        StringGrid4->SetCell(FirstDayCol + int(day), 0, next.Labels[day]);
    IncomeBudget[1][12].Assign(next.IncomeTotal);                      // the budgets, with their totals
    ExpenseBudget[1][18].Assign(next.BudgetTotal);
    std::memset(DetailLists, 0, sizeof DetailLists);                   // the lists as at program start
    InitDefaultDetailLists();
    for (const BankPayment& payment : next.Payments)                   // and the payments to book again
        PlacePayment(payment);
    EmptyListGrid();
    CopyGridToDailyTable();
    Memo1->SetText(toolkit::Sjis("メモ"));
    StringGrid2->SetCell(1, 1, {});                                    // nothing spent: no calculated
    StringGrid2->SetCell(1, 3, {});                                    // balance and no difference yet
    StringGrid3Exit();                                                 // the money on hand, totalled
    RecalcTotalsAfterOpen();                                           // budget and progress, forecast
    // No name yet: the first save asks, in this ledger's folder, offering the month's name.
    QString proposed = next.Month.empty() ? QString() : toolkit::FromSjis(next.Month + toolkit::Sjis("月.ZMR"));
    if (!proposed.isEmpty() && !LedgerFileName.isEmpty())
        proposed = QFileInfo(LedgerFileName).absoluteDir().filePath(proposed);
    SaveDialog1.Offer(proposed);
    LedgerChanged = true;
}

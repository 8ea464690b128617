#include "chert/form5.h"

#include "ledger/tables.h"
#include "toolkit/convert.h"
#include "toolkit/coveredwindow.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <QPushButton>
#include <algorithm>
#include <vector>

using toolkit::Sjis;

namespace {

const QColor red(255, 0, 0);
const QColor green(0, 128, 0);
const QColor paleYellow(255, 255, 128);

// The labels are read by their texts, the date and the day line; a name would hide the texts.
constexpr toolkit::AccessibleName AccessibleNames[] = { { "Button1", "分析を閉じる" },
    { "Chart4", "計画と使用実績のグラフ" }, { "Chart1", "使用状況（金額）のグラフ" },
    { "Chart2", "使用状況（％）のグラフ" }, { "Chart3", "現状分析（残金／残日数）のグラフ" } };

// The one step of the build that changes the tables: an empty value cell becomes "0".
void ZeroWhenEmpty(CellText& cell)
{
    if (cell.Empty())
        cell.Assign("0");
}

} // namespace

std::string DayOfMonthLine(const std::string& periodStart)
{
    std::string line = periodStart;
    if (periodStart.empty())
        return line;
    int64_t start = toolkit::IntFromText(periodStart);
    // Only days of a month are listed: a start day far outside 1 to 31 would otherwise run the
    // line into billions of numbers.
    auto appendDays = [&line](int64_t from, int64_t to) {
        for (int64_t day = std::max<int64_t>(from, 1); day <= std::min<int64_t>(to, 31); ++day)
            line += (day < 10 ? "  " : " ") + toolkit::TextFromInt(day);
    };
    appendDays(start + 1, 31);
    if (start != 1)
        appendDays(1, start - 1);
    return line;
}

int32_t LastDayOfPeriod(const std::string& periodStart)
{
    if (periodStart == "1")
        return 31;
    return toolkit::SubtractAmounts(toolkit::IntFromText(periodStart), 1);
}

int32_t RemainingDays(int32_t lastDay, int32_t today)
{
    int32_t days = toolkit::SubtractAmounts(lastDay, today);
    if (days < 0)
        days = toolkit::AddAmounts(days, 30);
    // On the last day the money left is for today; dividing by 0 days would fail every build
    // made on that day, the one at program start included.
    if (days == 0)
        days = 1;
    return days;
}

int32_t DailyBudget()
{
    const CellText& total = ExpenseBudget[1][18];
    if (total.Empty())
        return 0;
    return toolkit::DivideInt(toolkit::IntFromText(total.View()), 31);
}

double UsedPercentage(std::string_view used, std::string_view budget)
{
    if (used == "0")
        return 0;
    if (budget == "0")
        return 100;
    double usedValue = toolkit::FloatFromText(used);
    double budgetValue = toolkit::FloatFromText(budget);
    // A zero budget written otherwise ("00", "-0") counts like "0" instead of failing the division.
    if (budgetValue == 0)
        return 100;
    return toolkit::DivideFloat(usedValue, budgetValue) * 100;
}

int32_t RemainderPerDay(std::string_view budget, std::string_view used, int32_t remainingDays)
{
    int32_t left = toolkit::SubtractAmounts(toolkit::IntFromText(budget), toolkit::IntFromText(used));
    return toolkit::DivideInt(left, remainingDays);
}

TForm5::TForm5(QWidget* owner, Display display)
    : QWidget(owner, Qt::Window)
{
    // Made behind the main window, the window draws nothing until it is first seen: its charts
    // are built and its labels measured then, from what they were told now.
    const bool behind = display == Display::Behind;
    BuildLayout(behind ? toolkit::Chart::Building::WhenShown : toolkit::Chart::Building::Now);
    const std::vector<QWidget*> drawnWhenSeen { Label1, Chart4, Label2, Chart1, Chart2, Chart3 };
    if (behind)  // hidden before their texts are set, the labels measure them only when shown
        for (QWidget* control : drawnWhenSeen)
            control->hide();
    BuildCharts();
    connect(Button1, &QPushButton::clicked, this, toolkit::Handler(this, &TForm5::Button1Click, toolkit::Shows));
    toolkit::Guard([this] { FormCreate(); });  // on failure the window keeps what was built
    if (display == Display::Maximised)
        showMaximized();
    else if (display == Display::Behind)
        toolkit::ShowMaximizedBehind(*this, drawnWhenSeen);
}

void TForm5::BuildLayout(toolkit::Chart::Building building)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("使用状況の分析"));
    setFont(toolkit::LayoutFont("ＭＳ Ｐゴシック", 12));
    Label1 = new toolkit::Label(this, "Label1");
    Label1->move(128, 8);
    Label1->setFont(toolkit::LayoutFont("ＭＳ Ｐゴシック", 27));
    Label1->SetText(Sjis("現　在"));
    Button1 = new QPushButton(QStringLiteral("閉じる"), this);
    toolkit::NameControl(Button1, "Button1");
    Button1->setGeometry(416, 8, 265, 33);
    Button1->setFont(toolkit::LayoutFont("ＭＳ Ｐゴシック", 24));
    Chart4 = new toolkit::Chart(this, "Chart4", toolkit::Chart::Kind::Area, building);
    Chart4->setGeometry(8, 48, 785, 121);
    Label2 = new toolkit::Label(this, "Label2");
    Label2->move(96, 176);
    Label2->setFont(toolkit::LayoutFont("ＭＳ ゴシック", 12));
    Chart1 = new toolkit::Chart(this, "Chart1", toolkit::Chart::Kind::HorizontalBars, building);
    Chart1->setGeometry(8, 200, 273, 345);
    Chart2 = new toolkit::Chart(this, "Chart2", toolkit::Chart::Kind::HorizontalBars, building);
    Chart2->setGeometry(288, 200, 249, 345);
    Chart3 = new toolkit::Chart(this, "Chart3", toolkit::Chart::Kind::HorizontalBars, building);
    Chart3->setGeometry(544, 200, 249, 345);
    toolkit::SetAccessibleNames(*this, AccessibleNames);
}

void TForm5::BuildCharts()
{
    const QFont mincho13 = toolkit::LayoutFont("ＭＳ Ｐ明朝", 13);
    const QFont mincho15 = toolkit::LayoutFont("ＭＳ Ｐ明朝", 15);
    const QFont mincho16 = toolkit::LayoutFont("ＭＳ Ｐ明朝", 16);
    const QFont mincho11 = toolkit::LayoutFont("ＭＳ Ｐ明朝", 11);
    for (toolkit::Chart* chart : { Chart4, Chart1, Chart2, Chart3 })
        chart->SetWallColor(paleYellow);

    Chart4->SetTitle({ Sjis("計画と使用実績") });
    Chart4->SetTitleFont(mincho13, Qt::blue);
    Chart4->SetPositionAxisRange(0, 31);
    Chart4->HidePositionAxis();
    Chart4->SetValueAxisTitle(Sjis("金額［円］"));
    Chart4->SetValueAxisLabelsFont(mincho15, Qt::black);
    Chart4->SetLegend(Qt::AlignRight);
    Chart4->SetLegendFont(mincho16, Qt::black);
    Series4 = Chart4->AddSeries("Series4", Sjis("計画"), red);
    Series5 = Chart4->AddSeries("Series5", Sjis("実績"), green);

    Chart1->SetTitle({ Sjis("使用状況（金額）－予算") });
    Chart1->SetValueAxisTitle(Sjis("円"));
    Chart1->SetPositionAxisLabelsFont(mincho11, Qt::black);
    Chart1->SetLegend(Qt::AlignTop);
    Series1 = Chart1->AddSeries("Series1", Sjis("計画"), red);
    Series6 = Chart1->AddSeries("Series6", Sjis("実績"), green);

    Chart2->SetTitle({ Sjis("使用状況（％）－予算") });
    Chart2->SetValueAxisRange(0, 150);
    Chart2->SetValueAxisTitle(Sjis("％"));
    Chart2->HideLegend();
    Series3 = Chart2->AddSeries("Series3", "", green);

    Chart3->SetTitle({ Sjis("現状分析"), Sjis("［残金／残日数］") });
    Chart3->HideLegend();
    Series2 = Chart3->AddSeries("Series2", "", red);
}

void TForm5::FormCreate()
{
    Label2->SetText(Sjis("日") + DayOfMonthLine(PeriodStartText));  // 1.
    std::string today = toolkit::TodayText();                           // yy/mm/dd
    Label1->SetText(today + Sjis("現在"));                              // 2.
    int32_t day = toolkit::IntFromText(today.substr(6, 2));            // 3.
    if (PeriodStartText.empty())                                        // 4.
        PeriodStartText = "1";
    int32_t lastDay = LastDayOfPeriod(PeriodStartText);                 // 5.
    int32_t remainingDays = RemainingDays(lastDay, day);                // 6.
    int32_t dailyBudget = DailyBudget();                                // 7. before step 10 fills the total
    AddPlanCurve(dailyBudget);                                          // 8.
    AddActualCurve();                                                   // 9.
    AddBudgetBars();                                                    // 10.
    AddUsedBars();                                                      // 11.
    AddPercentageBars();                                                // 12.
    AddRemainderBars(remainingDays);                                    // 13.
}

void TForm5::AddPlanCurve(int32_t dailyBudget)
{
    int32_t planned = 0;
    for (int day = 1; day <= 31; ++day) {
        planned = toolkit::AddAmounts(planned, dailyBudget);
        Series4->Add(planned, toolkit::TextFromInt(day), red);
    }
}

void TForm5::AddActualCurve()
{
    // A day without spending drops to zero; the days after it go on with the running sum.
    int32_t spent = 0;
    for (int day = 1; day <= 31; ++day) {
        int32_t daySpend = DaySpend[day + 1];
        spent = toolkit::AddAmounts(spent, daySpend);
        Series5->Add(daySpend == 0 ? 0 : spent, toolkit::TextFromInt(day), green);
    }
}

// The budget bars go to Series6 in red and the used bars to Series1 in green, so that on screen
// the red bars are the budget and the green ones the amounts used, as the legend's "計画" (red)
// and "実績" (green) say.
void TForm5::AddBudgetBars()
{
    for (int row = 1; row <= 18; ++row) {
        ZeroWhenEmpty(ExpenseBudget[1][row]);
        Series6->Add(toolkit::IntFromText(ExpenseBudget[1][row].View()), ExpenseBudget[0][row].Str(), red);
    }
}

void TForm5::AddUsedBars()
{
    for (int row = 1; row <= 18; ++row) {
        ZeroWhenEmpty(DailyTable[1][row]);
        Series1->Add(toolkit::IntFromText(DailyTable[1][row].View()), DailyTable[0][row].Str(), green);
    }
}

void TForm5::AddPercentageBars()
{
    for (int row = 1; row <= 18; ++row) {
        double percentage = UsedPercentage(DailyTable[1][row].View(), ExpenseBudget[1][row].View());
        Series3->Add(percentage, DailyTable[0][row].Str(), green);
    }
}

void TForm5::AddRemainderBars(int32_t remainingDays)
{
    for (int row = 1; row <= 18; ++row) {
        int32_t perDay = RemainderPerDay(ExpenseBudget[1][row].View(), DailyTable[1][row].View(), remainingDays);
        Series2->Add(perDay, DailyTable[0][row].Str(), red);
    }
}

void TForm5::Button1Click() { close(); }

// TForm5, the usage analysis window: builds itself once from the ledger tables, DaySpend and
// PeriodStartText when created, shows itself maximised, and hides when closed. It draws the
// month's spending against the plan in four charts and is never refreshed; on the way it writes
// "0" into the empty value cells of rows 1 to 18 of ExpenseBudget and DailyTable.
#pragma once

#include "toolkit/chart.h"
#include "toolkit/controls.h"

#include <QWidget>
#include <cstdint>
#include <string>
#include <string_view>

class QPushButton;

// The text after "日" in the day-of-month line for a period start text: the start text itself,
// then the days of the period from the day after the start to 31 and from 1 to the day before
// the start, each right-aligned in three characters. Fails when the start is not an integer.
std::string DayOfMonthLine(const std::string& periodStart);

// The last day L of the period that starts on `periodStart` (not empty): 31 for exactly "1",
// otherwise the start day minus 1.
int32_t LastDayOfPeriod(const std::string& periodStart);

// The days R left from `today` to `lastDay`, 30 added once when that is negative. On the last
// day itself R is 1: the money left is for today.
int32_t RemainingDays(int32_t lastDay, int32_t today);

// The daily budget b: the budget total (ExpenseBudget row 18) divided by 31, or 0 while the
// total is empty.
int32_t DailyBudget();

// The percentage of a budget used. A used text of exactly "0" gives 0, a budget of value zero
// gives 100, anything else used ÷ budget × 100 unrounded.
double UsedPercentage(std::string_view used, std::string_view budget);

// The money left per remaining day: (budget − used) ÷ R, truncated toward zero.
int32_t RemainderPerDay(std::string_view budget, std::string_view used, int32_t remainingDays);

class TForm5 : public QWidget {
    Q_OBJECT
public:
    // Behind: maximised without taking the activation, as the window made at start. Hidden:
    // built to be printed, never shown.
    enum class Display { Maximised, Behind, Hidden };

    explicit TForm5(QWidget* owner, Display display = Display::Maximised);

    toolkit::Label* Label1;
    QPushButton* Button1;
    toolkit::Chart* Chart4;
    toolkit::Label* Label2;
    toolkit::Chart* Chart1;
    toolkit::Chart* Chart2;
    toolkit::Chart* Chart3;
    toolkit::ChartSeries* Series4;  // Chart4: the plan curve
    toolkit::ChartSeries* Series5;  // Chart4: the actual curve
    toolkit::ChartSeries* Series1;  // Chart1: the used bars
    toolkit::ChartSeries* Series6;  // Chart1: the budget bars
    toolkit::ChartSeries* Series3;  // Chart2: the percentage bars
    toolkit::ChartSeries* Series2;  // Chart3: the remainder-per-day bars

    void FormCreate();
    void Button1Click();

private:
    void BuildLayout(toolkit::Chart::Building building);
    void BuildCharts();
    void AddPlanCurve(int32_t dailyBudget);
    void AddActualCurve();
    void AddBudgetBars();
    void AddUsedBars();
    void AddPercentageBars();
    void AddRemainderBars(int32_t remainingDays);
};

// Building and showing one usage analysis window for a realistic month, against building and
// showing four empty Qt charts of the same kinds and sizes in the same run.
//   bench_chert [benchmark options]   the two benchmarks, offscreen unless QT_QPA_PLATFORM says
//   bench_chert --show-month          shows the month's analysis window until it is closed
//                                     (scripts/render-analysis.sh takes its picture)
#include "chert/form5.h"
#include "ledger/tables.h"
#include "toolkit/controls.h"
#include "toolkit/convert.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <QApplication>
#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChartView>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QValueAxis>
#include <benchmark/benchmark.h>
#include <cstring>

namespace {

struct Category {
    const char* Name;
    int32_t Budget;
    int32_t Typical;  // a typical day's spending when there is some
    int Every;        // spent on every n-th day
};

// The sixteen named categories with a household's budget; row 17 has no name.
const Category month[16] = {
    { "食　費", 60000, 1900, 1 }, { "水道･光熱費", 18000, 5200, 7 }, { "交通通信費", 15000, 1800, 4 },
    { "車関連費", 12000, 4300, 6 }, { "被服費", 10000, 6800, 9 }, { "養育･教育費", 20000, 9500, 10 },
    { "医療･衛生費", 5000, 2100, 8 }, { "年　金", 15000, 15000, 31 }, { "　父", 10000, 10000, 31 },
    { "保険料", 12000, 12000, 31 }, { "税　金", 8000, 8000, 31 }, { "日用品", 8000, 900, 3 },
    { "住居･備品", 5000, 3200, 11 }, { "交際費･贈答", 10000, 5400, 5 }, { "教養･娯楽費", 10000, 2600, 4 },
    { "雑　費", 5000, 700, 3 },
};

// A month starting on the 25th, with spending booked on its first `daysSpent` days, as the main
// window hands it to the analysis window.
void FillMonth(int daysSpent)
{
    ResetTables();
    int32_t budgetTotal = 0;
    int32_t usedTotal = 0;
    for (int row = 1; row <= 16; ++row) {
        const Category& category = month[row - 1];
        int32_t used = 0;
        for (int day = 1; day <= daysSpent; ++day) {
            if ((day + row) % category.Every != 0)
                continue;
            // Some spread around the typical amount, the same on every run.
            int32_t amount = category.Typical + (category.Typical / 5) * ((day * 7 + row * 3) % 5 - 2);
            used += amount;
            DaySpend[day + 1] += amount;
        }
        ExpenseBudget[0][row].Assign(toolkit::Sjis(category.Name));
        ExpenseBudget[1][row].Assign(toolkit::TextFromInt(category.Budget));
        DailyTable[0][row].Assign(toolkit::Sjis(category.Name));
        DailyTable[1][row].Assign(toolkit::TextFromInt(used));
        budgetTotal += category.Budget;
        usedTotal += used;
    }
    ExpenseBudget[0][18].Assign(toolkit::Sjis("合　計"));
    ExpenseBudget[1][18].Assign(toolkit::TextFromInt(budgetTotal));
    DailyTable[0][18].Assign(toolkit::Sjis("支出計"));
    DailyTable[1][18].Assign(toolkit::TextFromInt(usedTotal));
    PeriodStartText = "25";
    toolkit::SetTodayForTest(QDate(2024, 6, 12));  // day 19 of the period from 25 May
}

// Shown, laid out and drawn: the pending events handled, then every chart rendered.
void Present(QWidget& window)
{
    QApplication::processEvents();
    benchmark::DoNotOptimize(window.grab());
}

void AnalysisWindow(benchmark::State& state)
{
    FillMonth(31);
    int failures = 0;
    toolkit::SetErrorSinkForTest([&failures](const std::string&) { ++failures; });
    for (auto _ : state) {
        auto* window = new TForm5(nullptr);
        Present(*window);
        state.PauseTiming();
        delete window;
        state.ResumeTiming();
    }
    toolkit::SetErrorSinkForTest(nullptr);
    if (failures > 0)
        state.SkipWithError("the build showed an error");
}

QChartView* EmptyChart(QWidget* window, QRect geometry, bool area)
{
    auto* view = new QChartView(window);
    view->setGeometry(geometry);
    auto* values = new QValueAxis;
    if (area) {
        auto* days = new QValueAxis;
        view->chart()->addAxis(days, Qt::AlignBottom);
        view->chart()->addAxis(values, Qt::AlignLeft);
        for (int i = 0; i < 2; ++i) {
            auto* series = new QAreaSeries(new QLineSeries);
            view->chart()->addSeries(series);
            series->attachAxis(days);
            series->attachAxis(values);
        }
    } else {
        auto* categories = new QBarCategoryAxis;
        view->chart()->addAxis(values, Qt::AlignBottom);
        view->chart()->addAxis(categories, Qt::AlignLeft);
        auto* bars = new QHorizontalBarSeries;
        bars->append(new QBarSet(QString()));
        view->chart()->addSeries(bars);
        bars->attachAxis(categories);
        bars->attachAxis(values);
    }
    return view;
}

void FourEmptyCharts(benchmark::State& state)
{
    for (auto _ : state) {
        auto* window = new QWidget(nullptr, Qt::Window);
        EmptyChart(window, { 8, 48, 785, 121 }, true);
        EmptyChart(window, { 8, 200, 273, 345 }, false);
        EmptyChart(window, { 288, 200, 249, 345 }, false);
        EmptyChart(window, { 544, 200, 249, 345 }, false);
        window->showMaximized();
        Present(*window);
        state.PauseTiming();
        delete window;
        state.ResumeTiming();
    }
}

BENCHMARK(AnalysisWindow)->Unit(benchmark::kMillisecond)->Iterations(15)->Repetitions(7);
BENCHMARK(FourEmptyCharts)->Unit(benchmark::kMillisecond)->Iterations(15)->Repetitions(7);

} // namespace

int main(int argc, char** argv)
{
    bool showMonth = argc > 1 && std::strcmp(argv[1], "--show-month") == 0;
    if (!showMonth && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    toolkit::RegisterFontSubstitutes();
    if (showMonth) {
        FillMonth(19);  // booked up to today
        new TForm5(nullptr);
        return application.exec();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

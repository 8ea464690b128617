// The detail list's OK on a full month: every day cell of rows 1 to 19 holds an amount and the
// open list has 17 items. Measured against the bare arithmetic of the same totals (the same texts
// converted and added, without the grids), and the ratio of the two printed at the end.
#include "app/form1.h"
#include "bench/timing.h"
#include "ledger/tables.h"
#include "toolkit/convert.h"
#include "toolkit/failure.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

constexpr int OpenCol = 9;
constexpr int OpenRow = 4;

std::unique_ptr<TForm1> form;
std::string lastError;

std::string AmountFor(int col, int row)
{
    return toolkit::TextFromInt((col * 37 + row * 101) % 5000 + 1);
}

void FillMonth()
{
    ResetTables();
    form = std::make_unique<TForm1>();
    form->show();
    for (int col = 2; col <= 32; ++col)
        for (int row = 1; row <= 19; ++row)
            form->StringGrid4->SetCell(col, row, AmountFor(col, row));
    for (int item = 1; item <= 17; ++item)
        DetailLists[OpenCol][OpenRow][1][item].Assign(AmountFor(item, 40));
    form->StringGrid1->SetCell(1, 1, "900000");
    form->DayCell = { OpenCol, OpenRow };
    toolkit::SetErrorSinkForTest([](const std::string& text) { lastError = text; });
}

void OpenTheList()
{
    toolkit::Guard([] { form->StringGrid4DblClick(); });
}

void PressOk()
{
    toolkit::Guard([] { form->Button1Click(); });
}

void BM_Ok(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        OpenTheList();
        state.ResumeTiming();
        PressOk();
    }
    if (!lastError.empty())
        state.SkipWithError("OK failed");
}

// The same OK followed by the repaint that it causes.
void BM_OkAndRepaint(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        OpenTheList();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        PressOk();
        QCoreApplication::processEvents();
    }
    if (!lastError.empty())
        state.SkipWithError("OK failed");
}

// The totals of one OK over plain texts: the detail sum, the day totals, the row totals and the
// calculated balance, with the same conversions and checked additions.
void BM_BareArithmetic(benchmark::State& state)
{
    std::string cells[33][20];
    for (int col = 2; col <= 32; ++col)
        for (int row = 1; row <= 19; ++row)
            cells[col][row] = AmountFor(col, row);
    std::string items[18];
    for (int item = 1; item <= 17; ++item)
        items[item] = AmountFor(item, 40);
    int32_t values[33][20] = {};
    for (auto _ : state) {
        int32_t sum = 0;
        for (int item = 1; item <= 17; ++item)
            sum = toolkit::AddAmounts(sum, toolkit::IntFromText(items[item]));
        values[OpenCol][OpenRow] = sum;
        for (int col = 2; col <= 32; ++col) {
            int32_t day = 0;
            for (int row = 1; row <= 17; ++row)
                day = toolkit::AddAmounts(
                    day, row == OpenRow && col == OpenCol ? sum : toolkit::IntFromText(cells[col][row]));
            values[col][18] = day;
        }
        for (int row = 1; row <= 19; ++row) {
            int32_t total = 0;
            for (int col = 2; col <= 32; ++col)
                total = toolkit::AddAmounts(total,
                    row == 18 || (row == OpenRow && col == OpenCol) ? values[col][row]
                                                                    : toolkit::IntFromText(cells[col][row]));
            values[1][row] = total;
        }
        values[1][0] = toolkit::SubtractAmounts(toolkit::IntFromText("900000"), values[1][18]);
        benchmark::DoNotOptimize(values);
    }
}

BENCHMARK(BM_Ok)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OkAndRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareArithmetic)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    FillMonth();
    benchmark::Initialize(&argc, argv);
    KeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double ok = reporter.Seconds("BM_Ok");
    double bare = reporter.Seconds("BM_BareArithmetic");
    if (ok > 0 && bare > 0)
        std::printf(
            "OK: %.1f us per press, %.1f times the bare arithmetic (%.2f us)\n", ok * 1e6, ok / bare, bare * 1e6);
    form.reset();
    benchmark::Shutdown();
    return 0;
}

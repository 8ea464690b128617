// The next month from a full ledger: every day cell holds an amount and every list has 17 items,
// one in five of them an automatic bank payment. Timed from the first step to the new month on
// screen, without the user's time in the carry dialog; the repaint that follows is timed apart.
#include "app/carrydialog.h"
#include "app/form1.h"
#include "ledger/tables.h"
#include "toolkit/convert.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

std::unique_ptr<TForm1> form;
std::string lastError;

void FillMonth()
{
    form->Edit1->SetText("12");
    form->Edit2->SetText("25");
    form->Button2Click();
    for (int row = 1; row <= 17; ++row)
        ExpenseBudget[1][row].Assign(toolkit::TextFromInt(row * 1000));
    IncomeBudget[1][1].Assign("300000");
    form->StringGrid3->SetCell(1, 2, "500000");
    const std::string payment = toolkit::Sjis("Ａ引落し");
    for (int col = 2; col <= 32; ++col)
        for (int row = 1; row <= 19; ++row) {
            form->StringGrid4->SetCell(col, row, toolkit::TextFromInt(col * row));
            for (int item = 1; item <= 17; ++item) {
                DetailLists[col][row][0][item].Assign(item % 5 == 0 ? payment : "item");
                DetailLists[col][row][1][item].Assign(toolkit::TextFromInt(item * 10));
            }
        }
}

void BM_NewMonth(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        FillMonth();
        state.ResumeTiming();
        toolkit::Guard([] { form->StartMonth(form->PlanNextMonth()); });
    }
    if (!lastError.empty())
        state.SkipWithError("the new month failed");
}

void BM_NewMonthAndRepaint(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        FillMonth();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        toolkit::Guard([] { form->StartMonth(form->PlanNextMonth()); });
        QCoreApplication::processEvents();
    }
}

BENCHMARK(BM_NewMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewMonthAndRepaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    toolkit::SetErrorSinkForTest([](const std::string& text) { lastError = text; });
    form = std::make_unique<TForm1>();
    form->showMaximized();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    form.reset();
    benchmark::Shutdown();
    return 0;
}

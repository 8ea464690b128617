// The undo history on a full month (every day cell, every list of 17 items, the budgets and the
// memo filled): what recording a step adds to an action, an undo and a redo of one step with the
// repaint they cause, the list's OK with and without the history, what watching the month adds to
// the window's creation, and the memory that 10,000 steps of one cell each take. Summed up at the
// end.
#include "app/form1.h"
#include "app/month.h"
#include "bench/timing.h"
#include "ledger/tables.h"
#include "toolkit/convert.h"
#include "toolkit/failure.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <malloc.h>
#include <memory>

namespace {

std::unique_ptr<TForm1> form;

undo::History& Steps() { return form->History->Steps(); }

std::string AmountFor(int col, int row) { return toolkit::TextFromInt((col * 37 + row * 101) % 5000 + 1); }

void FillMonth()
{
    ResetTables();
    form = std::make_unique<TForm1>();
    form->show();
    for (int col = 2; col <= 32; ++col)
        for (int row = 1; row <= 19; ++row) {
            form->StringGrid4->SetCell(col, row, AmountFor(col, row));
            for (int item = 1; item <= 17; ++item) {
                DetailLists[col][row][0][item].Assign("item" + std::to_string(item));
                DetailLists[col][row][1][item].Assign(AmountFor(item, row));
            }
        }
    for (int row = 1; row <= 17; ++row)
        ExpenseBudget[1][row].Assign(AmountFor(row, 1));
    form->StringGrid1->SetCell(1, 1, "900000");
    form->Memo1->SetText("kaimono");
    toolkit::SetErrorSinkForTest([](const std::string&) {});
    Steps().Restart();
}

// A command that writes one cell, as a handler of the guard runs it: a step of its own each time.
void OneCellCommand(int i)
{
    toolkit::Guard(
        toolkit::Changes("one cell"), [i] { form->StringGrid4->SetCell(2 + i % 31, 1 + i % 17, AmountFor(i, 7)); });
}

void BM_OneCellCommand(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state)
        OneCellCommand(i++);
}

void BM_OneCellCommandUnwatched(benchmark::State& state)
{
    toolkit::RemoveActionWatcher(&Steps());
    int i = 0;
    for (auto _ : state)
        OneCellCommand(i++);
    toolkit::AddActionWatcher(&Steps());
}

// A key typed into a day cell, through the grid's signal as the keyboard delivers it.
void BM_TypedKey(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        if (i % 8 == 0) {
            state.PauseTiming();
            emit form->StringGrid4->SelectCell(2 + i % 31, 1 + i % 17);
            state.ResumeTiming();
        }
        emit form->StringGrid4->KeyPress(char('0' + i++ % 10));
    }
}

// One step taken back and done again, each followed by the repaint it causes.
void BM_UndoAndRedoWithRepaint(benchmark::State& state)
{
    OneCellCommand(5);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        toolkit::Guard(toolkit::Shows, [] { Steps().Undo(); });
        QCoreApplication::processEvents();
        toolkit::Guard(toolkit::Shows, [] { Steps().Redo(); });
        QCoreApplication::processEvents();
    }
}

// What the history adds to the main window's creation: the month's pieces watched, a copy of the
// tables taken.
void BM_WatchMonth(benchmark::State& state)
{
    for (auto _ : state)
        MonthHistory watching(*form);
}

void OkOnAFullList(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        form->DayCell = { 9, 4 };
        toolkit::Guard(toolkit::Shows, [] { form->StringGrid4DblClick(); });
        form->StringGrid5->SetCell(1, 1, AmountFor(state.iterations(), 3));
        state.ResumeTiming();
        toolkit::Guard(toolkit::Changes(), [] { form->Button1Click(); });
    }
}

void BM_ListOk(benchmark::State& state) { OkOnAFullList(state); }

void BM_ListOkUnwatched(benchmark::State& state)
{
    toolkit::RemoveActionWatcher(&Steps());
    OkOnAFullList(state);
    toolkit::AddActionWatcher(&Steps());
}

BENCHMARK(BM_OneCellCommand)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneCellCommandUnwatched)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypedKey)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoAndRedoWithRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WatchMonth)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ListOk)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ListOkUnwatched)->Unit(benchmark::kMicrosecond);

// 10,000 steps of one cell each, as the user makes them: a day cell picked, an amount typed.
// The heap is the allocator's count of the bytes in use.
void MeasureMemoryOfSteps()
{
    Steps().Restart();
    size_t heapBefore = mallinfo2().uordblks;
    for (int i = 0; i < 10000; ++i) {
        toolkit::Guard(toolkit::Shows, [i] { form->StringGrid4SelectCell(2 + i % 31, 1 + (i / 31) % 17); });
        for (char key : std::to_string(1000 + i))
            toolkit::Guard(toolkit::Types, [key] { form->StringGrid4KeyPress(key); });
    }
    size_t heapAfter = mallinfo2().uordblks;
    std::printf("10,000 one-cell steps (%d kept): %.2f MB by the history's count, %.2f MB more heap\n",
        Steps().UndoCount(), Steps().Memory() / 1048576.0, (heapAfter - heapBefore) / 1048576.0);
}

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
    auto ms = [&reporter](const char* function) { return reporter.Seconds(function) * 1e3; };
    if (ms("BM_OneCellCommand") > 0 && ms("BM_OneCellCommandUnwatched") > 0)
        std::printf("recording a step on a full month: %.3f ms (a one-cell command %.3f ms, unwatched %.3f ms)\n",
            ms("BM_OneCellCommand") - ms("BM_OneCellCommandUnwatched"), ms("BM_OneCellCommand"),
            ms("BM_OneCellCommandUnwatched"));
    if (ms("BM_UndoAndRedoWithRepaint") > 0)
        std::printf("an undo or a redo of one step with its repaint: %.3f ms\n", ms("BM_UndoAndRedoWithRepaint") / 2);
    if (ms("BM_ListOk") > 0 && ms("BM_ListOkUnwatched") > 0)
        std::printf("the list's OK: %.3f ms with the history, %.3f ms without (%.2fx)\n", ms("BM_ListOk"),
            ms("BM_ListOkUnwatched"), ms("BM_ListOk") / ms("BM_ListOkUnwatched"));
    MeasureMemoryOfSteps();
    form.reset();
    benchmark::Shutdown();
    return 0;
}

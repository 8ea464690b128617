// The recovery file on a full month: what taking the month costs the interface thread (the record
// as Save would write it, the list on screen, the names), and what writing it costs the thread of
// its own (336,780 bytes and more, written and flushed to disk, put in place whole).
#include "app/form1.h"
#include "ledger/recovery.h"
#include "ledger/tables.h"
#include "toolkit/convert.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

std::unique_ptr<TForm1> form;

void FillMonth()
{
    ResetTables();
    form = std::make_unique<TForm1>();
    form->show();
    for (int col = 2; col <= 32; ++col)
        for (int row = 1; row <= 19; ++row) {
            form->StringGrid4->SetCell(col, row, toolkit::TextFromInt(col * 100 + row));
            for (int item = 1; item <= 17; ++item) {
                DetailLists[col][row][0][item].Assign("item" + std::to_string(item));
                DetailLists[col][row][1][item].Assign(toolkit::TextFromInt(item * 10));
            }
        }
    form->OpenList = GridCell { 9, 4 };
}

void BM_CaptureOnTheInterfaceThread(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(form->CaptureRecovery());
}

void BM_WriteOnItsOwnThread(benchmark::State& state)
{
    Recovery kept = form->CaptureRecovery();
    std::string path = OwnRecoveryFile();
    for (auto _ : state)
        WriteRecovery(path, kept);
}

BENCHMARK(BM_CaptureOnTheInterfaceThread)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteOnItsOwnThread)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    QApplication application(argc, argv);
    FillMonth();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    form.reset();
    benchmark::Shutdown();
    return 0;
}

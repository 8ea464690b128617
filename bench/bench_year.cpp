// The year window over twelve ledgers of a household's year, built, shown and drawn, against
// reading the figures of the same twelve files alone, in the same run.
//   bench_year [benchmark options]   the benchmarks, offscreen unless QT_QPA_PLATFORM says
//   bench_year --write-year FOLDER   writes the twelve ledgers (2024-01.ZMR ... 2024-12.ZMR) into
//                                    FOLDER (scripts/render-year.sh shows them in Kivelo)
#include "ledger/ledgerfile.h"
#include "ledger/record.h"
#include "ledger/tables.h"
#include "ledger/year.h"
#include "toolkit/controls.h"
#include "toolkit/text.h"
#include "year/yearwindow.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>

namespace {

struct Category {
    const char* Name;
    int32_t Budget;
    int32_t Usual; // spent in an ordinary month
    int32_t Season[12]; // added in each month, January first
};

// The sixteen named categories of the daily table; row 17 has no name and no spending.
const Category categories[16] = {
    { "食　費", 60000, 56000, { 0, -2000, 0, 1000, 0, 0, 2000, 3000, 0, 0, 1000, 9000 } },
    { "水道･光熱費", 18000, 14000, { 7000, 7500, 4000, 0, -2000, -1000, 3000, 4500, 1000, -1500, 2000, 5500 } },
    { "交通通信費", 15000, 14200, { 0, 0, 2500, 0, 3000, 0, 0, 6000, 0, 0, 0, 3500 } },
    { "車関連費", 12000, 9000, { 0, 0, 0, 0, 38000, 0, 0, 4000, 0, 0, 0, 0 } },
    { "被服費", 10000, 5000, { 9000, 0, 6000, 8000, 0, 0, 5000, 0, 0, 7000, 9000, 2000 } },
    { "養育･教育費", 20000, 18000, { 0, 0, 32000, 15000, 0, 0, 0, 6000, 0, 0, 0, 0 } },
    { "医療･衛生費", 5000, 3000, { 4000, 2000, 3500, 0, 0, 0, 0, 0, 1000, 0, 2500, 3000 } },
    { "年　金", 15000, 15000, {} },
    { "　父", 10000, 10000, {} },
    { "保険料", 12000, 12000, {} },
    { "税　金", 8000, 6000, { 0, 0, 0, 34500, 0, 21000, 0, 0, 0, 0, 0, 0 } },
    { "日用品", 8000, 7200, { 0, 0, 800, 0, 0, 0, 0, 0, 0, 0, 0, 1500 } },
    { "住居･備品", 5000, 2500, { 0, 0, 0, 15000, 0, 0, 0, 0, 0, 0, 0, 22000 } },
    { "交際費･贈答", 10000, 8000, { 12000, 3000, 0, 0, 0, 0, 9000, 0, 0, 0, 0, 24000 } },
    { "教養･娯楽費", 10000, 9500, { 0, 0, 0, 0, 12000, 0, 0, 18000, 0, 0, 0, 0 } },
    { "雑　費", 5000, 4100, { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2000 } },
};

// One month of the year as the program saves it: the budgets with their totals, the month's
// spending per category and in all in the daily table's total column, its captions, the period.
void WriteMonth(int month, const std::string& path)
{
    ResetTables();
    InitDefaultDetailLists();
    std::memset(LedgerRecord, 0, RecordSize);
    IncomeBudget[0][1].Assign(toolkit::Sjis("給　与"));
    IncomeBudget[1][1].Assign(month == 6 || month == 12 ? "620000" : "310000"); // with the bonus
    IncomeBudget[0][12].Assign(toolkit::Sjis("合　計"));
    IncomeBudget[1][12].Assign(month == 6 || month == 12 ? "620000" : "310000");
    int32_t budgetTotal = 0;
    int32_t spentTotal = 0;
    for (int row = 1; row <= 16; ++row) {
        const Category& category = categories[row - 1];
        int32_t spent = category.Usual + category.Season[month - 1];
        ExpenseBudget[0][row].Assign(toolkit::Sjis(category.Name));
        ExpenseBudget[1][row].Assign(std::to_string(category.Budget));
        PutSlot(DailyArea, 0, row, toolkit::Sjis(category.Name));
        PutSlot(DailyArea, 1, row, std::to_string(spent));
        budgetTotal += category.Budget;
        spentTotal += spent;
    }
    ExpenseBudget[0][18].Assign(toolkit::Sjis("合　計"));
    ExpenseBudget[1][18].Assign(std::to_string(budgetTotal));
    PutSlot(DailyArea, 0, 0, toolkit::Sjis("項　目"));
    PutSlot(DailyArea, 1, 0, toolkit::Sjis("合　計"));
    PutSlot(DailyArea, 0, 18, toolkit::Sjis("支出計"));
    PutSlot(DailyArea, 1, 18, std::to_string(spentTotal));
    PutSlot(PeriodMonthArea, 0, 0, std::to_string(month));
    PutSlot(PeriodDayArea, 0, 0, "1");
    PutSlot(MemoArea, 0, 0, toolkit::Sjis("メモ"));
    PutBudgetAreas();
    PutDetailArea();
    WriteLedgerFile(path);
}

QStringList WriteYear(const QString& folder)
{
    QStringList files;
    for (int month = 1; month <= 12; ++month) {
        files << QDir(folder).filePath(QString::asprintf("2024-%02d.ZMR", month));
        WriteMonth(month, files.back().toStdString());
    }
    return files;
}

QStringList files;

std::vector<std::string> FileNames()
{
    std::vector<std::string> names;
    for (const QString& file : files)
        names.push_back(file.toStdString());
    return names;
}

void YearWindowOfTwelve(benchmark::State& state)
{
    for (auto _ : state) {
        auto* window = new YearWindow(nullptr, files);
        QApplication::processEvents();
        benchmark::DoNotOptimize(window->grab()); // laid out and drawn, the chart included
        state.PauseTiming();
        delete window;
        state.ResumeTiming();
    }
}

void FiguresOfTwelve(benchmark::State& state)
{
    std::vector<std::string> names = FileNames();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadYear(names).Rows.size());
}

BENCHMARK(YearWindowOfTwelve)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);
BENCHMARK(FiguresOfTwelve)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--write-year") == 0) {
        for (const QString& file : WriteYear(QString::fromLocal8Bit(argv[2])))
            std::printf("%s\n", qPrintable(file));
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    toolkit::RegisterFontSubstitutes();
    QTemporaryDir temporary;
    files = WriteYear(temporary.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

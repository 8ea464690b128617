// kivelo-ledger against plain reading: the commands run in-process on one file, on 1,000 files
// and, for year, on the twelve months of a year, the same files read with the ledger library's
// LedgerFile, and the executable started as a user starts it. The ratios of checking and of the
// year to reading are the ones to watch.
#include "ledger/ledgerfile.h"
#include "ledger/record.h"
#include "ledger/tables.h"
#include "ledgertool/commands.h"
#include "toolkit/text.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int FileCount = 1000;

// A month of the usual kind: the default lists, an item or two on most days with their day
// cells and totals, the period and a memo. File i differs from the others in its memo.
void AssembleMonth()
{
    ResetTables();
    InitDefaultDetailLists();
    std::memset(LedgerRecord, 0, RecordSize);
    int monthTotal = 0;
    for (int column = 2; column <= 32; ++column) {
        int amount = 100 * column;
        DetailLists[column][1][1][1].Assign(std::to_string(amount));
        DetailLists[column][1][1][2].Assign("250");
        PutSlot(DailyArea, column, 1, std::to_string(amount + 250));
        PutSlot(DailyArea, column, 18, std::to_string(amount + 250));
        PutSlot(DailyArea, column, 0, std::to_string(column - 1) + toolkit::Sjis("月") + "1" + toolkit::Sjis("日"));
        monthTotal += amount + 250;
    }
    PutSlot(DailyArea, 1, 1, std::to_string(monthTotal));
    PutSlot(DailyArea, 1, 18, std::to_string(monthTotal));
    PutSlot(DailyArea, 0, 1, toolkit::Sjis("食　費"));
    PutBudgetAreas();
    PutDetailArea();
    PutSlot(PeriodMonthArea, 0, 0, "4");
    PutSlot(PeriodDayArea, 0, 0, "1");
}

// `count` months, each with its own memo; with `months`, the period months go 1 to 12.
class Files {
public:
    Files(int count, bool months)
    {
        char pattern[] = "/tmp/kivelo-ledger-bench-XXXXXX";
        folder_ = ::mkdtemp(pattern);
        AssembleMonth();
        for (int i = 0; i < count; ++i) {
            PutSlot(MemoArea, 0, 0, toolkit::Sjis("メモ ") + std::to_string(i));
            if (months)
                PutSlot(PeriodMonthArea, 0, 0, std::to_string(i % 12 + 1));
            paths_.push_back(folder_ + "/month" + std::to_string(i) + ".ZMR");
            std::FILE* file = std::fopen(paths_.back().c_str(), "wb");
            std::fwrite(LedgerRecord, 1, RecordSize, file);
            std::fclose(file);
        }
    }
    ~Files() { std::filesystem::remove_all(folder_); }

    const std::string& Folder() const { return folder_; }
    const std::vector<std::string>& Paths() const { return paths_; }

private:
    std::string folder_;
    std::vector<std::string> paths_;
};

const Files& TheFiles()
{
    static Files files(FileCount, false);
    return files;
}

const Files& TheYear()
{
    static Files files(12, true);
    return files;
}

void ReadWithLedgerFile(const std::string& path)
{
    LedgerFile file;
    file.OpenForReading(path);
    while (!file.AtEnd())
        file.ReadRecord();
    file.Close();
    benchmark::DoNotOptimize(LedgerRecord[MemoArea.Offset]);
}

void RunInProcess(benchmark::State& state, std::vector<std::string> arguments)
{
    for (auto _ : state) {
        CommandOutput output;
        int status = RunLedgerTool(arguments, output);
        if (status != ExitSuccess)
            state.SkipWithError(("kivelo-ledger failed: " + output.Err + output.Out.substr(0, 300)).c_str());
        benchmark::DoNotOptimize(output.Out.data());
    }
}

// Starts the executable with its output going to /dev/null and waits for it.
void RunProcess(benchmark::State& state, std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), KIVELO_LEDGER_PATH);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t child = 0;
        int status = 0;
        if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0
            || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("kivelo-ledger did not run or did not succeed");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
}

std::vector<std::string> CheckOfAll()
{
    std::vector<std::string> arguments { "check" };
    arguments.insert(arguments.end(), TheFiles().Paths().begin(), TheFiles().Paths().end());
    return arguments;
}

// The files are written before the first timed loop, not in it.
void ReadOneFile(benchmark::State& state)
{
    const std::string& path = TheFiles().Paths()[0];
    for (auto _ : state)
        ReadWithLedgerFile(path);
}

void DumpOneFile(benchmark::State& state)
{
    RunInProcess(state, { "dump", TheFiles().Paths()[0] });
}
void CheckOneFile(benchmark::State& state)
{
    RunInProcess(state, { "check", TheFiles().Paths()[0] });
}

void Read1000Files(benchmark::State& state)
{
    const std::vector<std::string>& paths = TheFiles().Paths();
    for (auto _ : state)
        for (const std::string& path : paths)
            ReadWithLedgerFile(path);
}

void Check1000Files(benchmark::State& state)
{
    RunInProcess(state, CheckOfAll());
}

void Read12Files(benchmark::State& state)
{
    const std::vector<std::string>& paths = TheYear().Paths();
    for (auto _ : state)
        for (const std::string& path : paths)
            ReadWithLedgerFile(path);
}

void YearOf12Files(benchmark::State& state)
{
    RunInProcess(state, { "year", TheYear().Folder() });
}

void ProcessHelp(benchmark::State& state)
{
    RunProcess(state, { "--help" });
}
void ProcessDumpOneFile(benchmark::State& state)
{
    RunProcess(state, { "dump", TheFiles().Paths()[0] });
}
void ProcessCheckOneFile(benchmark::State& state)
{
    RunProcess(state, { "check", TheFiles().Paths()[0] });
}
void ProcessCheck1000Files(benchmark::State& state)
{
    RunProcess(state, CheckOfAll());
}
void ProcessYearOf12Files(benchmark::State& state)
{
    RunProcess(state, { "year", TheYear().Folder() });
}

} // namespace

BENCHMARK(ReadOneFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(DumpOneFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(CheckOneFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(Read1000Files)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Check1000Files)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Read12Files)->Unit(benchmark::kMicrosecond);
BENCHMARK(YearOf12Files)->Unit(benchmark::kMicrosecond);
BENCHMARK(ProcessHelp)->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(ProcessDumpOneFile)->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(ProcessCheckOneFile)->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(ProcessCheck1000Files)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(ProcessYearOf12Files)->Unit(benchmark::kMillisecond)->Iterations(100);

BENCHMARK_MAIN();

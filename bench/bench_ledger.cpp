// Open of a full ledger (every slot at its capacity) into the tables and grids, and Save, each
// measured against the plain file operation it is built on, in the same run: a read of the
// 336,780 bytes, respectively a write, flush to disk and rename of them with a flush of the
// folder. The ratios are printed at the end.
#include "app/form1.h"
#include "ledger/fileaccess.h"
#include "ledger/ledgerfile.h"
#include "ledger/record.h"
#include "ledger/tables.h"
#include "toolkit/controls.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr int RecordBytes = 336780;

struct Fixture {
    QTemporaryDir dir;
    QString full[2]; // two ledgers with every slot filled to its capacity, differing in each
    QString saved; // where Save writes
    std::string plain; // the plain operations' file
    std::unique_ptr<TForm1> form;
    QByteArray record;
};
Fixture* fixture = nullptr;

void Put(QByteArray& record, int offset, const QByteArray& text)
{
    record[offset] = char(text.size());
    record.replace(offset + 1, text.size(), text);
}

// Every cell slot holds 12 bytes, the period fields 2 and the memo 255. The amount cells that
// the totals after Open convert hold 12-digit numbers, so that Open runs to its end.
QByteArray FullLedger(int which)
{
    QByteArray record(RecordBytes, '\0');
    QByteArray twelve = QByteArray::fromStdString(toolkit::Sjis(which == 0 ? "食費食費食費" : "雑費雑費雑費"));
    auto cells = [&](int offset, int count) {
        for (int slot = 0; slot < count; ++slot)
            Put(record, offset + slot * 13, twelve);
    };
    cells(0, 62);
    cells(806, 62);
    cells(1612, 10);
    cells(1742, 660);
    cells(10322, 25080);
    cells(336368, 12);
    Put(record, 336362, "12");
    Put(record, 336365, "25");
    QByteArray memo;
    while (memo.size() < 255)
        memo += QByteArray::fromStdString(toolkit::Sjis(which == 0 ? "メモの行です\r\n" : "二つ目のメモ\r\n"));
    Put(record, 336524, memo.left(255));
    QByteArray digit(1, char('1' + which));
    Put(record, (31 + 12) * 13, "00000090000" + digit); // income total
    for (int row = 1; row <= 18; ++row) {
        Put(record, 806 + (31 + row) * 13, "00000000300" + digit); // budget
        Put(record, 1742 + (20 + row) * 13, "00000000100" + digit); // used, and row 18 the month
    }
    return record;
}

bool PlainRead()
{
    static char buffer[RecordBytes];
    int descriptor = ::open(fixture->plain.c_str(), O_RDONLY | O_CLOEXEC);
    ssize_t read = ::read(descriptor, buffer, RecordBytes);
    ::close(descriptor);
    benchmark::DoNotOptimize(buffer);
    return read == RecordBytes;
}

// The rename is only lasting once the folder is flushed too, so both sides count that flush.
bool PlainWriteFlushRename()
{
    static const std::string temporary = fixture->plain + ".tmp";
    int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ssize_t written = ::write(descriptor, fixture->record.constData(), RecordBytes);
    bool flushed = ::fsync(descriptor) == 0;
    ::close(descriptor);
    if (written != RecordBytes || !flushed || ::rename(temporary.c_str(), fixture->plain.c_str()) != 0)
        return false;
    int folder = ::open(QFile::encodeName(fixture->dir.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    bool folderFlushed = ::fsync(folder) == 0;
    ::close(folder);
    return folderFlushed;
}

using Clock = std::chrono::steady_clock;

// The window paints what a command changed, outside the measured time.
void PaintUntimed(benchmark::State& state)
{
    state.PauseTiming();
    QCoreApplication::processEvents();
    state.ResumeTiming();
}

// Each iteration runs the plain operation and then the command, so that both meet the same load
// on the machine; the benchmark's time is the command's, and the counters give the plain
// operation's time and the ratio of the two. Between iterations, untimed, the window paints what
// the command changed, as it does after a command in the program, so that every command starts
// on a painted window.
template <class Plain, class Command> void AgainstPlain(benchmark::State& state, Plain plain, Command command)
{
    double plainSeconds = 0;
    double commandSeconds = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        if (!plain())
            state.SkipWithError("the plain operation failed");
        Clock::time_point between = Clock::now();
        command();
        Clock::time_point end = Clock::now();
        plainSeconds += std::chrono::duration<double>(between - start).count();
        commandSeconds += std::chrono::duration<double>(end - between).count();
        state.SetIterationTime(std::chrono::duration<double>(end - between).count());
        PaintUntimed(state);
    }
    if (state.iterations() > 0) {
        state.counters["plain_us"] = plainSeconds * 1e6 / double(state.iterations());
        state.counters["ratio"] = commandSeconds / plainSeconds;
    }
}

// Each Open replaces every cell with a different text, as opening another month does.
void OpenFullLedger(benchmark::State& state)
{
    int next = 0;
    toolkit::SetFileDialogAnswerForTest([&next](toolkit::FileDialog::Kind, const QString&) {
        next = 1 - next;
        return fixture->full[next];
    });
    AgainstPlain(state, PlainRead, [] { fixture->form->SpeedButton1->click(); });
    toolkit::SetFileDialogAnswerForTest(nullptr);
}

void SaveFullLedger(benchmark::State& state)
{
    AgainstPlain(state, PlainWriteFlushRename, [] { fixture->form->SpeedButton2->click(); });
}

// The ledger's save as it keeps the file it replaces as an earlier version (a second name for it,
// the versions' folder flushed, then the versions thinned), against the same save without a
// version, of the same file in turn.
void SaveKeepingAVersion(benchmark::State& state)
{
    std::memcpy(LedgerRecord, fixture->record.constData(), RecordSize);
    const std::string path = QFile::encodeName(fixture->dir.filePath("versioned.ZMR")).toStdString();
    AgainstPlain(
        state,
        [&] {
            ReplaceFileContent(path, LedgerRecord, RecordSize);
            return true;
        },
        [&] { WriteLedgerFile(path); });
}

// Two parts of Open on their own, to show where its time goes: the memo's text, and the 660
// cells of the daily grid, each alternating between the two ledgers' texts, with the window
// painted between them, untimed.
void OpenPartMemo(benchmark::State& state)
{
    std::string memo[2];
    for (int which = 0; which < 2; ++which) {
        QByteArray record = FullLedger(which);
        memo[which] = record.mid(336524 + 1, static_cast<unsigned char>(record.at(336524))).toStdString();
    }
    int next = 0;
    for (auto _ : state) {
        next = 1 - next;
        fixture->form->Memo1->SetText(memo[next]);
        PaintUntimed(state);
    }
}

void OpenPartDailyGrid(benchmark::State& state)
{
    const std::string texts[2] = { toolkit::Sjis("食費食費食費"), toolkit::Sjis("雑費雑費雑費") };
    int next = 0;
    for (auto _ : state) {
        next = 1 - next;
        for (int col = 0; col < 33; ++col)
            for (int row = 0; row < 20; ++row)
                fixture->form->StringGrid4->SetCell(col, row, texts[next]);
        PaintUntimed(state);
    }
}

BENCHMARK(OpenFullLedger)->Unit(benchmark::kMicrosecond)->UseManualTime()->MinTime(1.0);
BENCHMARK(SaveFullLedger)->Unit(benchmark::kMicrosecond)->UseManualTime()->MinTime(2.0);
BENCHMARK(SaveKeepingAVersion)->Unit(benchmark::kMicrosecond)->UseManualTime()->MinTime(2.0);
BENCHMARK(OpenPartMemo)->Unit(benchmark::kMicrosecond)->MinTime(0.2);
BENCHMARK(OpenPartDailyGrid)->Unit(benchmark::kMicrosecond)->MinTime(0.2);

// Keeps each benchmark's ratio for the summary.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ratios;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            auto found = run.counters.find("ratio");
            if (found != run.counters.end())
                ratios[run.benchmark_name().substr(0, run.benchmark_name().find('/'))] = found->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    toolkit::RegisterFontSubstitutes();
    benchmark::Initialize(&argc, argv);

    Fixture state;
    fixture = &state;
    state.full[0] = state.dir.filePath("full0.ZMR");
    state.full[1] = state.dir.filePath("full1.ZMR");
    state.saved = state.dir.filePath("saved.ZMR");
    state.plain = QFile::encodeName(state.dir.filePath("plain.ZMR")).toStdString();
    state.record = FullLedger(0);
    for (int which = 0; which < 3; ++which) {
        QFile file(which < 2 ? state.full[which] : QFile::decodeName(state.plain.c_str()));
        if (!file.open(QIODevice::WriteOnly) || file.write(FullLedger(which % 2)) != RecordBytes)
            return 1;
    }
    std::string firstError;
    toolkit::SetErrorSinkForTest([&](const std::string& text) {
        if (firstError.empty())
            firstError = text;
    });
    // The window is on screen, as the program's is when a command runs.
    state.form = std::make_unique<TForm1>();
    state.form->showMaximized();
    QCoreApplication::processEvents();
    // Open once and name the save file through Save As, so that Save writes without a dialog.
    toolkit::SetFileDialogAnswerForTest([&](toolkit::FileDialog::Kind kind, const QString&) {
        return kind == toolkit::FileDialog::Kind::Open ? state.full[0] : state.saved;
    });
    state.form->SpeedButton1->click();
    state.form->SaveAs1->trigger();
    toolkit::SetFileDialogAnswerForTest(nullptr);
    if (!firstError.empty()) {
        std::fprintf(stderr, "the full ledger did not open and save cleanly: %s\n",
            toolkit::FromSjis(firstError).toLocal8Bit().constData());
        return 1;
    }

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("Open / plain read of 336,780 bytes: %.2f (target 5)\n", reporter.ratios["OpenFullLedger"]);
    std::printf("Save / plain write, flush, rename and folder flush of 336,780 bytes: %.2f (target 1.5)\n",
        reporter.ratios["SaveFullLedger"]);
    std::printf("Save keeping the replaced file as a version / the same save without it: %.2f (target 1.3)\n",
        reporter.ratios["SaveKeepingAVersion"]);
    if (!firstError.empty())
        std::printf("error during the runs: %s\n", toolkit::FromSjis(firstError).toLocal8Bit().constData());
    state.form.reset();
    benchmark::Shutdown();
    return 0;
}

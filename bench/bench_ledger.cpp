// Open of a full ledger (every slot at its capacity) into the tables and grids, and Save, each
// measured against the plain file operation it is built on, in the same run: a read of the
// 336,780 bytes, respectively a write, flush to disk and rename of them. The ratios are printed
// at the end.
#include "app/form1.h"
#include "ledger/tables.h"
#include "toolkit/controls.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr int RecordBytes = 336780;

struct Fixture {
    QTemporaryDir dir;
    QString full[2];     // two ledgers with every slot filled to its capacity, differing in each
    QString saved;       // where Save writes
    std::string plain;   // the plain operations' file
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
    Put(record, (31 + 12) * 13, "00000090000" + digit);          // income total
    for (int row = 1; row <= 18; ++row) {
        Put(record, 806 + (31 + row) * 13, "00000000300" + digit); // budget
        Put(record, 1742 + (20 + row) * 13, "00000000100" + digit); // used, and row 18 the month
    }
    return record;
}

void PlainRead(benchmark::State& state)
{
    static char buffer[RecordBytes];
    for (auto _ : state) {
        int descriptor = ::open(fixture->plain.c_str(), O_RDONLY | O_CLOEXEC);
        ssize_t read = ::read(descriptor, buffer, RecordBytes);
        ::close(descriptor);
        if (read != RecordBytes)
            state.SkipWithError("short read");
        benchmark::DoNotOptimize(buffer);
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
    for (auto _ : state)
        fixture->form->SpeedButton1->click();
    toolkit::SetFileDialogAnswerForTest(nullptr);
}

void PlainWriteFlushRename(benchmark::State& state)
{
    std::string temporary = fixture->plain + ".tmp";
    for (auto _ : state) {
        int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        ssize_t written = ::write(descriptor, fixture->record.constData(), RecordBytes);
        ::fsync(descriptor);
        ::close(descriptor);
        ::rename(temporary.c_str(), fixture->plain.c_str());
        if (written != RecordBytes)
            state.SkipWithError("short write");
    }
}

void SaveFullLedger(benchmark::State& state)
{
    for (auto _ : state)
        fixture->form->SpeedButton2->click();
}

BENCHMARK(PlainRead)->Unit(benchmark::kMicrosecond)->MinTime(0.5);
BENCHMARK(OpenFullLedger)->Unit(benchmark::kMicrosecond)->MinTime(0.5);
BENCHMARK(PlainWriteFlushRename)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(SaveFullLedger)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

// Keeps each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> perIteration;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.iterations > 0)
                perIteration[run.benchmark_name()] = run.GetAdjustedRealTime();
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
    state.form = std::make_unique<TForm1>();
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
    auto timeOf = [&](const std::string& name) {
        for (const auto& [runName, time] : reporter.perIteration)
            if (runName.rfind(name, 0) == 0)
                return time;
        return 0.0;
    };
    auto ratio = [&](const char* measured, const char* plain) {
        double base = timeOf(plain);
        return base > 0 ? timeOf(measured) / base : 0.0;
    };
    std::printf("Open / plain read: %.2f (target 5)\n", ratio("OpenFullLedger", "PlainRead"));
    std::printf("Save / plain write, flush, rename: %.2f (target 1.5)\n",
        ratio("SaveFullLedger", "PlainWriteFlushRename"));
    if (!firstError.empty())
        std::printf("error during the runs: %s\n", toolkit::FromSjis(firstError).toLocal8Bit().constData());
    state.form.reset();
    benchmark::Shutdown();
    return 0;
}

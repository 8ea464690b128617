// What Kivelo's start spends on Qt's Japanese texts and on the recent list, measured in-process,
// where a millisecond is not lost in the noise of a whole process's start: the first load of the
// translation and the first read of the settings, timed once before the benchmarks since the
// program does each once; a translator
// loaded and installed again, each time; and the main window built with a recent list of eight
// ledgers read from the settings, against the same window with an empty list, in the same run.
#include "app/form1.h"
#include "ledger/tables.h"
#include "toolkit/controls.h"
#include "toolkit/desktop.h"
#include "toolkit/recentfiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTranslator>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

void KeepRecentLedgers(int count)
{
    QStringList files;
    for (int month = 12; month > 12 - count; --month)
        files << QStringLiteral("/home/user/ledgers/2024-%1.ZMR").arg(month, 2, 10, QLatin1Char('0'));
    QSettings(QStringLiteral("kivelo"), QStringLiteral("kivelo")).setValue(QStringLiteral("RecentFiles"), files);
}

// The main window as the program builds it at start, with `range(0)` ledgers in the recent list.
void BM_MainWindow(benchmark::State& state)
{
    KeepRecentLedgers(int(state.range(0)));
    for (auto _ : state) {
        ResetTables();
        TForm1 form;
        benchmark::DoNotOptimize(form.N1->actions().size());
    }
}
BENCHMARK(BM_MainWindow)->Arg(0)->Arg(8)->Unit(benchmark::kMillisecond);

// What LoadQtTextsInJapanese does once, done again: the catalogue found, loaded and installed.
void BM_QtTranslationAgain(benchmark::State& state)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (auto _ : state) {
        QTranslator translator;
        benchmark::DoNotOptimize(translator.load(QStringLiteral("qtbase_ja"), folder));
        QCoreApplication::installTranslator(&translator);
        QCoreApplication::removeTranslator(&translator);
    }
}
BENCHMARK(BM_QtTranslationAgain)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("kivelo"));  // the settings' name, as the program's
    QApplication application(argc, argv);
    toolkit::RegisterFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    toolkit::RecentFiles::KeepInSettings();
    // Written as a file, so that the first QSettings of the process reads it from the disk.
    QDir().mkpath(settings.filePath(QStringLiteral("kivelo")));
    QFile file(settings.filePath(QStringLiteral("kivelo/kivelo.conf")));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write("[General]\nRecentFiles=/home/user/ledgers/2024-12.ZMR, /home/user/ledgers/2024-11.ZMR, "
               "/home/user/ledgers/2024-10.ZMR, /home/user/ledgers/2024-09.ZMR, /home/user/ledgers/2024-08.ZMR, "
               "/home/user/ledgers/2024-07.ZMR, /home/user/ledgers/2024-06.ZMR, /home/user/ledgers/2024-05.ZMR\n");
    file.close();
    using Clock = std::chrono::steady_clock;
    using Milliseconds = std::chrono::duration<double, std::milli>;
    Clock::time_point start = Clock::now();
    bool loaded = toolkit::LoadQtTextsInJapanese();
    Milliseconds translation = Clock::now() - start;
    start = Clock::now();
    toolkit::RecentFiles firstList;  // the settings read for the first time in the process
    Milliseconds list = Clock::now() - start;
    std::printf("first load of Qt's Japanese texts: %.3f ms%s\n", translation.count(), loaded ? "" : " (not installed)");
    std::printf("first read of a recent list of %d: %.3f ms\n", int(firstList.Files().size()), list.count());
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

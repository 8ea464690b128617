// The names offered as a name is typed: reading the names of 24 ledgers of a folder (each with
// three items a day in every category), and offering the names for one more key among 5,000
// distinct names.
#include "ledger/folder.h"
#include "ledger/ledgerimage.h"
#include "ledger/record.h"
#include "statement/namebook.h"
#include "toolkit/text.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QTemporaryDir* folder;
statement::NameBook manyNames;

std::string NameOf(int index)
{
    static const char* stems[] = { "ｽｰﾊﾟｰ", "コンビニ", "薬局", "ガソリン", "書店", "カフェ", "パン屋", "八百屋" };
    return toolkit::Sjis(stems[index % 8] + std::to_string(index));
}

void MakeFolder()
{
    folder = new QTemporaryDir;
    for (int month = 0; month < 24; ++month) {
        std::vector<unsigned char> record(RecordSize, 0);
        for (int day = 2; day <= 32; ++day)
            for (int category = 1; category <= 17; ++category)
                for (int line = 1; line <= 3; ++line) {
                    int name = (day * 17 + category * 3 + line + month) % 300;
                    PutSlot(record.data(), DetailArea, DetailColumn(day, category, 0), line, NameOf(name));
                    PutSlot(record.data(), DetailArea, DetailColumn(day, category, 1), line, std::to_string(100 + name));
                }
        QFile file(folder->filePath(QStringLiteral("%1.ZMR").arg(month, 2, 10, QLatin1Char('0'))));
        file.open(QIODevice::WriteOnly);
        file.write(reinterpret_cast<const char*>(record.data()), qint64(record.size()));
    }
    for (int i = 0; i < 5000; ++i)
        manyNames.Add(NameOf(i), std::to_string(i), i % 24);
}

void BM_NamesOfTheFolder(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<std::string> files;
        LedgerFilesIn(folder->path().toStdString(), files);
        statement::NameBook book;
        LedgerImage image;
        for (size_t month = 0; month < files.size(); ++month)
            if (!ReadLedgerImage(files[month], image))
                book.AddRecord(image.Record.get(), int(month));
        benchmark::DoNotOptimize(book.Size());
    }
}

// The keys of "コンビニ1" one after another, as the list follows them.
void BM_OfferForEachKey(benchmark::State& state)
{
    std::string typed = toolkit::Sjis("コンビニ1");
    size_t key = 0;
    manyNames.Offer(typed);  // sorted once, as the first key of a run sorts it
    for (auto _ : state) {
        key = key % (typed.size() / 2 + 1) + 1;
        benchmark::DoNotOptimize(statement::NameBook::Offer({ &manyNames }, typed.substr(0, std::min(typed.size(), key * 2))));
    }
}

BENCHMARK(BM_NamesOfTheFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OfferForEachKey)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    MakeFolder();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    delete folder;
    benchmark::Shutdown();
    return 0;
}

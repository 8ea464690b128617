// A statement import as a household with two years of ledgers meets it: 24 ledgers in the folder,
// each with three items a day in every category drawn from 300 names, and a card statement of
// 1,000 purchases. What reading the folder for learning costs, and what the whole way from the
// file to the preview on screen costs: reading, categorising against the folder, planning, and
// the preview built and painted.
#include "app/importpreview.h"
#include "ledger/record.h"
#include "ledger/tables.h"
#include "statement/plan.h"
#include "toolkit/text.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QTemporaryDir* folder;
QString statementFile;
std::vector<unsigned char> month;

std::string NameOf(int index)
{
    static const char* stems[] = { "ｽｰﾊﾟｰ", "コンビニ", "薬局", "ガソリン", "書店", "カフェ", "パン屋", "八百屋" };
    return stems[index % 8] + std::to_string(index);
}

void PutCell(std::vector<unsigned char>& record, const RecordArea& area, int col, int row, const std::string& text)
{
    PutSlot(record.data(), area, col, row, text);
}

std::vector<unsigned char> Ledger(int monthNumber)
{
    std::vector<unsigned char> record(RecordSize, 0);
    for (int day = 1; day <= 31; ++day)
        PutCell(record, DailyArea, day + 1, 0, toolkit::Sjis(std::to_string(monthNumber) + "月" + std::to_string(day) + "日"));
    PutCell(record, OnHandArea, 1, 2, "500000");
    for (int day = 2; day <= 32; ++day)
        for (int category = 1; category <= 17; ++category)
            for (int line = 1; line <= 3; ++line) {
                int name = (day * 17 + category * 3 + line + monthNumber) % 300;
                PutCell(record, DetailArea, DetailColumn(day, category, 0), line, toolkit::Sjis(NameOf(name)));
                PutCell(record, DetailArea, DetailColumn(day, category, 1), line, std::to_string(100 + name));
            }
    return record;
}

void MakeFolder()
{
    folder = new QTemporaryDir;
    for (int i = 0; i < 24; ++i) {
        std::vector<unsigned char> record = Ledger(i % 12 + 1);
        QFile file(folder->filePath(QStringLiteral("%1-%2.ZMR").arg(2024 + i / 12).arg(i % 12 + 1, 2, 10, QLatin1Char('0'))));
        file.open(QIODevice::WriteOnly);
        file.write(reinterpret_cast<const char*>(record.data()), qint64(record.size()));
    }
    month = Ledger(12);
    QByteArray statement = "\xEF\xBB\xBF\"利用日\",\"利用店名・商品名\",\"利用者\",\"支払方法\",\"利用金額\",\"支払手数料\",\"支払総額\",\"1月支払金額\",\"2月繰越残高\",\"新規サイン\"\n";
    for (int i = 0; i < 1000; ++i)
        statement += QStringLiteral("\"2025/12/%1\",\"%2\",\"本人\",\"1回払い\",\"%3\",\"0\",\"\",\"\",\"\",\"\"\n")
                         .arg(i % 31 + 1)
                         .arg(QString::fromStdString(NameOf(i % 400)))
                         .arg(1000 + i)
                         .toUtf8();
    statementFile = folder->filePath(QStringLiteral("card.csv"));
    QFile file(statementFile);
    file.open(QIODevice::WriteOnly);
    file.write(statement);
}

const QStringList& Categories()
{
    static QStringList categories = [] {
        QStringList names;
        for (int row = 1; row <= 17; ++row)
            names << QString::number(row);
        return names;
    }();
    return categories;
}

void BM_LearnFromTheFolder(benchmark::State& state)
{
    for (auto _ : state) {
        statement::Categoriser categoriser;
        benchmark::DoNotOptimize(categoriser.LearnFromFolder(folder->path().toStdString()));
    }
}

void BM_StatementToPreviewOnScreen(benchmark::State& state)
{
    for (auto _ : state) {
        statement::Statements read = statement::ReadStatementFiles({ statementFile.toStdString() });
        statement::Categoriser categoriser;
        categoriser.LearnFrom(month.data());
        categoriser.LearnFromFolder(folder->path().toStdString());
        ImportPreview preview(nullptr, month.data(), std::move(read), categoriser, Categories());
        preview.show();
        QApplication::processEvents();
        state.PauseTiming();
        preview.hide();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_LearnFromTheFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatementToPreviewOnScreen)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    MakeFolder();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    delete folder;
    benchmark::Shutdown();
    return 0;
}

// Printing a full month to a PDF file through the menu (page 1 the main window's grids, page 2 a
// hidden analysis window's charts), against a PDF of two pages of one line each in the same run:
// what the PDF engine and the fonts cost whatever is drawn.
//   bench_printout [benchmark options]   the two benchmarks, offscreen unless QT_QPA_PLATFORM says
//   bench_printout --write-pdf FILE      prints the month into FILE (scripts/render-print.sh)
#include "app/form1.h"
#include "ledger/tables.h"
#include "toolkit/controls.h"
#include "toolkit/convert.h"
#include "toolkit/failure.h"
#include "toolkit/printdialog.h"
#include "toolkit/text.h"

#include <QApplication>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>
#include <memory>

namespace {

struct Category {
    int32_t Budget;
    int32_t Typical;  // a typical day's spending when there is some
    int Every;  // spent on every n-th day
};

// The sixteen named categories in their rows, with a household's budget.
const Category month[16] = { { 60000, 1900, 1 }, { 18000, 5200, 7 }, { 15000, 1800, 4 }, { 12000, 4300, 6 },
    { 10000, 6800, 9 }, { 20000, 9500, 10 }, { 5000, 2100, 8 }, { 15000, 15000, 31 }, { 10000, 10000, 31 },
    { 12000, 12000, 31 }, { 8000, 8000, 31 }, { 8000, 900, 3 }, { 5000, 3200, 11 }, { 10000, 5400, 5 },
    { 10000, 2600, 4 }, { 5000, 700, 3 } };

std::unique_ptr<TForm1> form;
int failures = 0;

// A month from 25 May seen on 12 June: the period set, the day cells typed, the budgets in,
// one detail list confirmed with OK (which sums the totals, refreshes DailyTable and the
// calculated balance), and the money on hand totalled.
void FillMonth()
{
    ResetTables();
    toolkit::SetTodayForTest(QDate(2024, 6, 12));
    toolkit::SetErrorSinkForTest([](const std::string&) { ++failures; });
    form = std::make_unique<TForm1>();
    form->show();
    form->Edit1->SetText("5");
    form->Edit2->SetText("25");
    form->Button2Click();
    int32_t budgetTotal = 0;
    for (int row = 1; row <= 16; ++row) {
        const Category& category = month[row - 1];
        for (int day = 1; day <= 19; ++day)
            if ((day + row) % category.Every == 0)
                form->StringGrid4->SetCell(day + 1, row,
                    toolkit::TextFromInt(category.Typical + (category.Typical / 5) * ((day * 7 + row * 3) % 5 - 2)));
        ExpenseBudget[0][row].Assign(form->StringGrid4->Cell(0, row));
        ExpenseBudget[1][row].Assign(toolkit::TextFromInt(category.Budget));
        budgetTotal += category.Budget;
    }
    ExpenseBudget[0][18].Assign(toolkit::Sjis("合　計"));
    ExpenseBudget[1][18].Assign(toolkit::TextFromInt(budgetTotal));
    IncomeBudget[1][12].Assign("320000");
    form->FormActivate();
    form->DayCell = { 2, 1 };
    form->StringGrid4DblClick();
    form->StringGrid5->SetCell(1, 1, "1200");
    form->StringGrid5->SetCell(1, 2, "640");
    form->Button1Click();
    form->StringGrid3->SetCell(1, 1, "23500");
    form->StringGrid3->SetCell(1, 2, "184000");
    form->StringGrid3Exit();
    PeriodStartText = "25";
}

void PrintInto(const QString& fileName)
{
    toolkit::SetPrintDialogAnswerForTest([fileName](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(fileName);
        return true;
    });
    form->Print1->trigger();
}

void PrintMonth(benchmark::State& state)
{
    FillMonth();
    QTemporaryDir folder;
    QString fileName = folder.filePath(QStringLiteral("month.pdf"));
    for (auto _ : state)
        PrintInto(fileName);
    if (failures > 0)
        state.SkipWithError("the print showed an error");
    form.reset();
}

void TwoLinePdf(benchmark::State& state)
{
    QTemporaryDir folder;
    QString fileName = folder.filePath(QStringLiteral("lines.pdf"));
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSize(8);
    for (auto _ : state) {
        QPrinter printer(QPrinter::ScreenResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(fileName);
        QPainter painter(&printer);
        painter.setFont(font);
        painter.drawText(100, 100, QStringLiteral("集計期間 5月 25日～1ヶ月間"));
        printer.newPage();
        painter.drawText(100, 100, QStringLiteral("使用状況の分析"));
    }
}

BENCHMARK(PrintMonth)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);
BENCHMARK(TwoLinePdf)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);

} // namespace

int main(int argc, char** argv)
{
    bool writePdf = argc > 2 && std::strcmp(argv[1], "--write-pdf") == 0;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    toolkit::RegisterFontSubstitutes();
    if (writePdf) {
        FillMonth();
        PrintInto(QString::fromLocal8Bit(argv[2]));
        form.reset();
        return failures > 0 ? 1 : 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

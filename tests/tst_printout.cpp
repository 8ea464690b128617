// Printing the month through the menu, with the print dialog answered by a PDF file: the pages'
// text as pdftotext reads it back, and the windows' state left as it was.
#include "app/form1.h"
#include "chert/form5.h"
#include "gui.h"
#include "ledger/tables.h"
#include "toolkit/controls.h"
#include "toolkit/convert.h"
#include "toolkit/failure.h"
#include "toolkit/printdialog.h"
#include "toolkit/text.h"

#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

using toolkit::Sjis;

namespace {

const char* const Categories[]
    = { "食　費", "水道･光熱費", "交通通信費", "車関連費", "被服費", "養育･教育費", "医療･衛生費", "年　金", "　父",
          "保険料", "税　金", "日用品", "住居･備品", "交際費･贈答", "教養･娯楽費", "雑　費", "支出計", "銀行払出し" };

// Everything a print could change: the tables, the derived values, the five grids and the
// windows on screen.
struct State {
    std::vector<char> Tables;
    std::vector<int32_t> DaySpendCopy;
    std::string PeriodStart;
    std::vector<std::string> Cells;
    QWidgetList Shown;

    static State Of(const TForm1& form)
    {
        State state;
        for (const auto& [table, size] : { std::pair<const void*, size_t> { IncomeBudget, sizeof IncomeBudget },
                 { ExpenseBudget, sizeof ExpenseBudget }, { DailyTable, sizeof DailyTable },
                 { DetailLists, sizeof DetailLists } })
            state.Tables.insert(
                state.Tables.end(), static_cast<const char*>(table), static_cast<const char*>(table) + size);
        state.DaySpendCopy.assign(std::begin(DaySpend), std::end(DaySpend));
        state.PeriodStart = PeriodStartText;
        for (const toolkit::StringGrid* grid :
            { form.StringGrid1, form.StringGrid2, form.StringGrid3, form.StringGrid4, form.StringGrid5 })
            for (int col = 0; col < grid->ColCount(); ++col)
                for (int row = 0; row < grid->RowCount(); ++row)
                    state.Cells.push_back(grid->Cell(col, row));
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible())
                state.Shown << window;
        return state;
    }

    bool operator==(const State& other) const
    {
        return Tables == other.Tables && DaySpendCopy == other.DaySpendCopy && PeriodStart == other.PeriodStart
            && Cells == other.Cells && Shown == other.Shown;
    }
};

// A text as pdftotext gives it back: the full-width space is a word gap like any other and
// comes back as a plain space, and the wave dash "～" shares its glyph with U+301C, which
// pdftotext reports.
QString Extracted(QString text)
{
    text.replace(QChar(0x3000), QLatin1Char(' ')).replace(QChar(0x301C), QChar(0xFF5E));
    return text.simplified();
}

// Counts the windows shown while it is installed.
class ShownWindows : public QObject {
public:
    int Count = 0;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Show && object->isWidgetType() && static_cast<QWidget*>(object)->isWindow())
            ++Count;
        return false;
    }
};

} // namespace

class TestPrintout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void printsTheMonthOnTwoPagesAsText();
    void printingChangesNothing();
    void aBadDayTotalPrintsNothingAndChangesNothing();

private:
    void FillMonth();
    QString Print();
    QStringList PagesOf(const QString& pdf);

    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
    QTemporaryDir folder;
};

void TestPrintout::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(),
        "pdftotext (poppler-utils, scripts/install-deps.sh) is needed");
    toolkit::RegisterFontSubstitutes();
    toolkit::SetTodayForTest(QDate(2024, 12, 30));
}

void TestPrintout::init()
{
    form = gui::StartMainWindow(errors);
    QVERIFY(form);
}

void TestPrintout::cleanup()
{
    toolkit::SetPrintDialogAnswerForTest({});
    gui::StopMainWindow(form);
}

// A period from 12月25日 with a few days booked, budgets for some categories only, and values
// left in DaySpend and PeriodStartText by an earlier analysis window.
void TestPrintout::FillMonth()
{
    form->Edit1->SetText("12");
    form->Edit2->SetText("25");
    form->Button2Click();
    const struct {
        int Col, Row;
        const char* Text;
    } cells[] = { { 2, 1, "4200" }, { 3, 1, "1800" }, { 4, 12, "980" }, { 2, 18, "4200" }, { 3, 18, "1800" },
        { 4, 18, "980" }, { 1, 1, "6000" }, { 1, 12, "980" }, { 1, 18, "6980" } };
    for (const auto& cell : cells)
        form->StringGrid4->SetCell(cell.Col, cell.Row, cell.Text);
    form->StringGrid1->SetCell(1, 1, "250000");
    form->StringGrid3->SetCell(1, 2, "80000");
    form->StringGrid2->SetCell(1, 1, "243020");
    // DailyTable as the last OK left it; a budget for food only.
    for (int col = 0; col <= 32; ++col)
        for (int row = 0; row <= 19; ++row)
            DailyTable[col][row].Assign(form->StringGrid4->Cell(col, row));
    ExpenseBudget[0][1].Assign(Sjis("食　費"));
    ExpenseBudget[1][1].Assign("60000");
    std::fill(std::begin(DaySpend), std::end(DaySpend), 7);
    PeriodStartText = "9";
}

// Prints through the menu into a PDF file; its name, or an empty text when none was written.
QString TestPrintout::Print()
{
    QString pdf = folder.filePath(QStringLiteral("month.pdf"));
    QFile::remove(pdf);
    toolkit::SetPrintDialogAnswerForTest([pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    form->Print1->trigger();
    return QFile::exists(pdf) ? pdf : QString();
}

// The text of each page, as pdftotext lays it out, in Extracted form.
QStringList TestPrintout::PagesOf(const QString& pdf)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
    if (!pdftotext.waitForFinished() || pdftotext.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    for (QString& page : pages)
        page = Extracted(page);
    return pages;
}

void TestPrintout::printsTheMonthOnTwoPagesAsText()
{
    FillMonth();
    QString pdf = Print();
    QVERIFY(!pdf.isEmpty());
    QCOMPARE(errors.size(), size_t(0));
    QStringList pages = PagesOf(pdf);
    QCOMPARE(pages.size(), 2);
    const QString sheet = pages[0];
    QVERIFY2(sheet.contains(QStringLiteral("集計期間 12月 25日～1ヶ月間")), qPrintable(sheet));

    // The categories down the daily table, in their order.
    qsizetype at = 0;
    for (const char* category : Categories) {
        qsizetype found = sheet.indexOf(Extracted(QString::fromUtf8(category)), at);
        QVERIFY2(found > at, category);
        at = found;
    }
    // The month's total after the caption 支出計, then the totals of the days.
    QVERIFY2(sheet.contains(QStringLiteral("支出計 6980 4200 1800 980")), qPrintable(sheet));

    // The 31 day labels of the period, in their order.
    at = 0;
    for (int col = 2; col <= 32; ++col) {
        QString label = toolkit::FromSjis(form->StringGrid4->Cell(col, 0));
        qsizetype found = sheet.indexOf(label, at);
        QVERIFY2(found >= at, qPrintable(label));
        at = found + label.size();
    }
    QVERIFY(sheet.contains(QStringLiteral("1月24日")));
    for (const char* text : { "予算と経過", "手持ち", "現　状", "収　入 250000", "銀　行 80000", "計算残高 243020" })
        QVERIFY2(sheet.contains(Extracted(QString::fromUtf8(text))), text);

    // Page 2: the analysis of this moment, its texts as text.
    const QString analysis = pages[1];
    for (const char* text : { "使用状況の分析", "24/12/30現在", "計画と使用実績", "使用状況（金額）－予算",
             "使用状況（％）－予算", "現状分析", "［残金／残日数］", "食　費", "日25 26 27 28 29 30 31 1 2 3" })
        QVERIFY2(analysis.contains(Extracted(QString::fromUtf8(text))), text);
}

void TestPrintout::printingChangesNothing()
{
    FillMonth();
    State before = State::Of(*form);
    ShownWindows shown;
    qApp->installEventFilter(&shown);
    QVERIFY(!Print().isEmpty());
    qApp->removeEventFilter(&shown);
    QCOMPARE(shown.Count, 0);
    QVERIFY(State::Of(*form) == before);
    QCOMPARE(form->findChildren<TForm5*>().size(), 0);
    QCOMPARE(errors.size(), size_t(0));
}

void TestPrintout::aBadDayTotalPrintsNothingAndChangesNothing()
{
    FillMonth();
    form->StringGrid4->SetCell(6, 18, "x");
    State before = State::Of(*form);
    QVERIFY(Print().isEmpty());
    QCOMPARE(errors, std::vector<std::string> { gui::NotAnInteger("x") });
    QVERIFY(State::Of(*form) == before);
}

QTEST_MAIN(TestPrintout)
#include "tst_printout.moc"

// The expense budget editor, opened from the main window by a double click: its layout, the
// amounts used and remaining and ProjectedSpending computed at opening, typing and OK, the savings
// forecast that follows, the failures, and the ways it closes and frees itself.
#include "app/form1.h"
#include "ledger/tables.h"
#include "sisyutp/form3.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"
#include "gui.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cstring>
#include <memory>

using toolkit::Sjis;
using toolkit::StringGrid;

namespace {

using namespace gui;

// "row=text" into column 1 of a table.
template <int Rows>
void FillColumn1(CellText (&table)[2][Rows], const QStringList& cells)
{
    for (const QString& cell : cells)
        table[1][cell.section('=', 0, 0).toInt()].Assign(cell.section('=', 1).toStdString());
}

void FillDailyColumn1(const QStringList& cells)
{
    for (const QString& cell : cells)
        DailyTable[1][cell.section('=', 0, 0).toInt()].Assign(cell.section('=', 1).toStdString());
}

} // namespace

class TestSisyutp : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layoutAsDesigned();
    void openingComputesUsedRemainingAndProjectedSpending_data();
    void openingComputesUsedRemainingAndProjectedSpending();
    void openingWritesTheFixedNamesAndKeepsTheBudgets();
    void aBadBudgetStopsTheOpeningButShowsTheWindow();
    void aRemainingTotalBeyondTheRangeStopsTheOpening();
    void okStoresTheBudgetsAndTheirTotal();
    void theComputedColumnsTakeNoKeys();
    void rowsFromNineteenDownAreNotStored();
    void theForecastUsesTheSpendingProjectedAtTheLastOpening();
    void closingWithoutOkKeepsTheBudgets();
    void aBudgetBeyondTheRangeKeepsTheEditorOpen();
    void theNextEditorTypesOnWhereTheLastStopped();
    void clickingTheSurfaceCloses();
    void okFollowedByLossOfActivationDestroysOnce();

private:
    TForm3* Open() { return OpenEditor<TForm3>(*form, 2); }
    void ClickOk(TForm3* editor) { QTest::mouseClick(editor->Button1, Qt::LeftButton); }

    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
};

void TestSisyutp::init()
{
    TForm3::EntryText.Clear();
    TForm3::EntryCell = {};
    form = StartMainWindow(errors);
    QVERIFY(form);
}

void TestSisyutp::cleanup()
{
    StopMainWindow(form);
}

void TestSisyutp::layoutAsDesigned()
{
    TForm3* editor = Open();
    QVERIFY(editor);
    QCOMPARE(editor->windowTitle(), QString("Form3"));
    QCOMPARE(editor->frameGeometry().size(), QSize(353, 568));
    QRect screen = editor->screen()->availableGeometry();
    QVERIFY(qAbs(editor->frameGeometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(editor->frameGeometry().center().y() - screen.center().y()) <= 1);
    QCOMPARE(editor->font().family(), QString("IPAPGothic"));
    QCOMPARE(editor->font().pixelSize(), 12);

    StringGrid* grid = editor->StringGrid1;
    QCOMPARE(grid->geometry(), QRect(24, 0, 305, 505));
    QCOMPARE(grid->ColCount(), 4);
    QCOMPARE(grid->RowCount(), 20);
    QCOMPARE(grid->FixedCols(), 1);
    QCOMPARE(grid->FixedRows(), 1);
    QCOMPARE(grid->ColWidth(3), 70);
    QCOMPARE(grid->RowHeight(3), 24);
    QCOMPARE(grid->RowHeight(4), 25);
    QCOMPARE(grid->RowHeight(19), 24);
    QCOMPARE(grid->font().family(), QString("IPAGothic"));
    QCOMPARE(grid->font().pixelSize(), 13);
    QVERIFY(!grid->CellRect(3, 19).isEmpty());
    QVERIFY(grid->CellRect(3, 19).bottom() < grid->viewport()->height());
    QVERIFY(grid->CellRect(3, 19).right() < grid->viewport()->width());

    QCOMPARE(editor->Button1->geometry(), QRect(24, 512, 121, 25));
    QCOMPARE(editor->Button1->text(), QString("Ｏ　Ｋ"));
}

void TestSisyutp::openingComputesUsedRemainingAndProjectedSpending_data()
{
    QTest::addColumn<QStringList>("budgets");   // "row=text" of ExpenseBudget column 1
    QTest::addColumn<QStringList>("used");      // "row=text" of DailyTable column 1
    QTest::addColumn<QStringList>("expected");  // "col,row=text" of the grid
    QTest::addColumn<int>("projected");         // ProjectedSpending is 123 before the opening

    QTest::newRow("an overspent category adds nothing beyond what it used")
        << QStringList { "1=50000", "2=10000" } << QStringList { "1=20000", "2=15000", "18=35000" }
        << QStringList { "2,1=20000", "3,1=30000", "2,2=15000", "3,2=-5000", "1,18=60000", "2,18=35000",
               "3,18=30000", "3,3=" }
        << 65000;
    QTest::newRow("a budget of 0 counts as a budget") << QStringList { "3=0" } << QStringList { "3=400", "18=400" }
                                                      << QStringList { "3,3=-400", "1,18=0", "3,18=0" } << 400;
    QTest::newRow("spending without a budget shows the amount used and no remaining amount")
        << QStringList { "1=1000" } << QStringList { "4=700", "18=700" }
        << QStringList { "2,4=700", "3,4=", "2,1=0", "3,1=1000", "3,18=1000" } << 1700;
    QTest::newRow("with every budget empty the totals are 0 and nothing remains")
        << QStringList {} << QStringList { "2=50", "18=50" }
        << QStringList { "1,18=0", "3,18=0", "2,2=50", "3,2=", "3,1=", "2,1=" } << 50;
    QTest::newRow("no spending recorded shows used 0 and keeps the projection")
        << QStringList { "1=3000", "5=2000" } << QStringList {}
        << QStringList { "2,1=0", "3,1=3000", "2,5=0", "3,5=2000", "2,18=", "3,18=5000" } << 123;
    QTest::newRow("right after start every cell reads 0")
        << QStringList { "1=0", "2=0", "3=0", "4=0", "5=0", "6=0", "7=0", "8=0", "9=0", "10=0", "11=0", "12=0",
               "13=0", "14=0", "15=0", "16=0", "17=0", "18=0" }
        << QStringList { "1=0", "2=0", "3=0", "4=0", "5=0", "6=0", "7=0", "8=0", "9=0", "10=0", "11=0", "12=0",
               "13=0", "14=0", "15=0", "16=0", "17=0", "18=0" }
        << QStringList { "1,1=0", "2,1=0", "3,1=0", "3,17=0", "1,18=0", "2,18=0", "3,18=0" } << 0;
    QTest::newRow("a category's own name row counts like the others")
        << QStringList { "17=900" } << QStringList { "17=100", "18=100" }
        << QStringList { "3,17=800", "1,18=900", "3,18=800" } << 900;
}

void TestSisyutp::openingComputesUsedRemainingAndProjectedSpending()
{
    QFETCH(QStringList, budgets);
    QFETCH(QStringList, used);
    QFETCH(QStringList, expected);
    QFETCH(int, projected);
    FillColumn1(ExpenseBudget, budgets);
    FillDailyColumn1(used);
    ProjectedSpending = 123;
    TForm3* editor = Open();
    QVERIFY(editor);
    QVERIFY(errors.empty());
    for (const QString& cell : expected) {
        QString place = cell.section('=', 0, 0);
        int col = place.section(',', 0, 0).toInt();
        int row = place.section(',', 1, 1).toInt();
        QCOMPARE(editor->StringGrid1->Cell(col, row), cell.section('=', 1).toStdString());
    }
    QCOMPARE(ProjectedSpending, projected);
    // Opening computes; only OK writes the total into the table.
    QCOMPARE(ExpenseBudget[1][18].Str(), budgets.contains("18=0") ? std::string("0") : std::string());
}

void TestSisyutp::openingWritesTheFixedNamesAndKeepsTheBudgets()
{
    ExpenseBudget[0][1].Assign("x");
    ExpenseBudget[0][17].Assign("pets");
    ExpenseBudget[1][0].Assign("y");
    ExpenseBudget[1][3].Assign("700");
    ExpenseBudget[0][19].Assign("never");
    TForm3* editor = Open();
    QVERIFY(editor);
    const char* names[] = { "支　出", "食　費", "水道･光熱費", "交通通信費", "車関連費", "被服費", "養育･教育費",
        "医療･衛生費", "年　金", "　父", "保険料", "税　金", "日用品", "住居･備品", "交際費･贈答", "教養･娯楽費",
        "雑　費" };
    for (int row = 0; row <= 16; ++row) {
        QCOMPARE(ExpenseBudget[0][row].Str(), Sjis(names[row]));
        QCOMPARE(editor->StringGrid1->Cell(0, row), Sjis(names[row]));
    }
    QCOMPARE(ExpenseBudget[0][18].Str(), Sjis("合　計"));
    QCOMPARE(ExpenseBudget[1][0].Str(), Sjis("予　算"));
    QCOMPARE(editor->StringGrid1->Cell(1, 0), Sjis("予　算"));
    QCOMPARE(editor->StringGrid1->Cell(2, 0), Sjis("使用済金"));
    QCOMPARE(editor->StringGrid1->Cell(3, 0), Sjis("使用予定金"));
    QCOMPARE(editor->StringGrid1->Cell(0, 17), std::string("pets"));
    QCOMPARE(editor->StringGrid1->Cell(1, 3), std::string("700"));
    QCOMPARE(editor->StringGrid1->Cell(0, 19), std::string());
}

void TestSisyutp::aBadBudgetStopsTheOpeningButShowsTheWindow()
{
    ExpenseBudget[1][1].Assign("100");
    ExpenseBudget[1][2].Assign("1O0");
    DailyTable[1][1].Assign("40");
    DailyTable[1][18].Assign("40");
    ProjectedSpending = 123;
    TForm3* editor = Open();
    QVERIFY(editor);
    QVERIFY(editor->isVisible());
    QCOMPARE(errors, std::vector<std::string> { NotAnInteger("1O0") });
    QCOMPARE(editor->StringGrid1->Cell(1, 2), std::string("1O0"));
    QCOMPARE(editor->StringGrid1->Cell(1, 18), std::string());
    QCOMPARE(editor->StringGrid1->Cell(2, 1), std::string());
    QCOMPARE(ProjectedSpending, 123);
    QCOMPARE(ExpenseBudget[0][1].Str(), Sjis("食　費"));
}

void TestSisyutp::aRemainingTotalBeyondTheRangeStopsTheOpening()
{
    ExpenseBudget[1][1].Assign("2147483647");
    ExpenseBudget[1][2].Assign("0");
    DailyTable[1][1].Assign("0");
    DailyTable[1][2].Assign("-1");
    DailyTable[1][18].Assign("0");
    ProjectedSpending = 123;
    TForm3* editor = Open();
    QVERIFY(editor);
    QCOMPARE(errors, std::vector<std::string> { Sjis("整数オーバーフロー.") });
    QCOMPARE(editor->StringGrid1->Cell(3, 1), std::string("2147483647"));
    QCOMPARE(editor->StringGrid1->Cell(3, 2), std::string("1"));
    QCOMPARE(editor->StringGrid1->Cell(3, 18), std::string());
    QCOMPARE(ProjectedSpending, 123);
}

void TestSisyutp::okStoresTheBudgetsAndTheirTotal()
{
    ExpenseBudget[1][18].Assign("999");
    QPointer<TForm3> editor = Open();
    QVERIFY(editor);
    ClickCell(editor->StringGrid1, 1, 1);
    Type("50000\r10000");
    ClickCell(editor->StringGrid1, 1, 18);
    Type("7");
    ClickCell(editor->StringGrid1, 0, 17);  // a fixed cell: the release picks it
    Type("ペット");
    StringGrid* grid = editor->StringGrid1;
    ClickOk(editor);
    QVERIFY(errors.empty());
    QCOMPARE(ExpenseBudget[1][1].Str(), std::string("50000"));
    QCOMPARE(ExpenseBudget[1][2].Str(), std::string("10000"));
    QCOMPARE(ExpenseBudget[0][17].Str(), Sjis("ペット"));
    QCOMPARE(grid->Cell(1, 18), std::string("60000"));
    QCOMPARE(ExpenseBudget[1][18].Str(), std::string("60000"));
    QTRY_VERIFY(editor.isNull());
    QVERIFY(Activate(form.get()));
    QCOMPARE(form->StringGrid1->Cell(1, 2), std::string("60000"));
    editor = Open();
    QVERIFY(editor);
    QCOMPARE(editor->StringGrid1->Cell(0, 17), Sjis("ペット"));
}

void TestSisyutp::theComputedColumnsTakeNoKeys()
{
    ExpenseBudget[1][1].Assign("100");
    TForm3* editor = Open();
    QVERIFY(editor);
    ClickCell(editor->StringGrid1, 2, 1);
    Type("5a");
    ClickCell(editor->StringGrid1, 3, 1);
    Type("6b");
    QCOMPARE(editor->StringGrid1->Cell(2, 1), std::string("0"));
    QCOMPARE(editor->StringGrid1->Cell(3, 1), std::string("100"));
    // Enter still moves the entry cell down in these columns.
    ClickCell(editor->StringGrid1, 3, 1);
    Type("\r");
    QCOMPARE(TForm3::EntryCell, (GridCell { 3, 2 }));
}

void TestSisyutp::rowsFromNineteenDownAreNotStored()
{
    QPointer<TForm3> editor = Open();
    QVERIFY(editor);
    ClickCell(editor->StringGrid1, 1, 17);
    Type("5\r\r6\r7");
    QCOMPARE(editor->StringGrid1->Cell(1, 19), std::string("6"));
    QCOMPARE(editor->StringGrid1->Cell(1, 20), std::string("7"));
    ClickOk(editor);
    QVERIFY(errors.empty());
    QCOMPARE(ExpenseBudget[1][17].Str(), std::string("5"));
    QCOMPARE(ExpenseBudget[1][18].Str(), std::string("5"));
    QCOMPARE(ExpenseBudget[1][19].Str(), std::string());
}

void TestSisyutp::theForecastUsesTheSpendingProjectedAtTheLastOpening()
{
    IncomeBudget[1][12].Assign("100000");
    ExpenseBudget[1][1].Assign("50000");
    DailyTable[1][1].Assign("20000");
    DailyTable[1][18].Assign("20000");
    QPointer<TForm3> editor = Open();
    QVERIFY(editor);
    QCOMPARE(ProjectedSpending, 50000);
    ClickCell(editor->StringGrid1, 1, 1);
    Type("60000");
    ClickOk(editor);
    QVERIFY(Activate(form.get()));
    QTRY_VERIFY(editor.isNull());
    QCOMPARE(form->StringGrid1->Cell(1, 2), std::string("60000"));
    QCOMPARE(form->StringGrid1->Cell(1, 3), std::string("50000"));
    // Opened again and left without OK, the editor brings the forecast up to date.
    editor = Open();
    QVERIFY(editor);
    QCOMPARE(ProjectedSpending, 60000);
    QVERIFY(Activate(form.get()));
    QTRY_VERIFY(editor.isNull());
    QCOMPARE(form->StringGrid1->Cell(1, 3), std::string("40000"));
}

void TestSisyutp::closingWithoutOkKeepsTheBudgets()
{
    ExpenseBudget[0][1].Assign("x");
    ExpenseBudget[1][1].Assign("800");
    ExpenseBudget[1][18].Assign("800");
    DailyTable[1][1].Assign("300");
    DailyTable[1][18].Assign("300");
    QPointer<TForm3> editor = Open();
    QVERIFY(editor);
    int destroyed = 0;
    connect(editor, &QObject::destroyed, this, [&destroyed] { ++destroyed; });
    ClickCell(editor->StringGrid1, 1, 1);
    Type("5");
    ClickCell(editor->StringGrid1, 0, 1);
    Type("food");
    QVERIFY(Activate(form.get()));
    QTRY_VERIFY(editor.isNull());
    QCOMPARE(destroyed, 1);
    QCOMPARE(ExpenseBudget[1][1].Str(), std::string("800"));
    QCOMPARE(ExpenseBudget[1][18].Str(), std::string("800"));
    QCOMPARE(ExpenseBudget[0][1].Str(), Sjis("食　費"));
    QCOMPARE(ProjectedSpending, 800);
}

void TestSisyutp::aBudgetBeyondTheRangeKeepsTheEditorOpen()
{
    ExpenseBudget[1][3].Assign("30");
    QPointer<TForm3> editor = Open();
    QVERIFY(editor);
    std::vector<char> opened(sizeof ExpenseBudget);
    std::memcpy(opened.data(), ExpenseBudget, sizeof ExpenseBudget);
    auto unchanged = [&opened] { return std::memcmp(opened.data(), ExpenseBudget, sizeof ExpenseBudget) == 0; };
    ClickCell(editor->StringGrid1, 1, 1);
    Type("5\r99999999999");
    ClickCell(editor->StringGrid1, 1, 3);
    Type("40");
    ClickOk(editor);
    QCOMPARE(errors, std::vector<std::string> { NotAnInteger("99999999999") });
    QVERIFY(unchanged());
    QTest::qWait(20);
    QVERIFY(!editor.isNull() && editor->isVisible());
    // A total beyond the range fails the same way, and stores nothing either.
    ClickCell(editor->StringGrid1, 1, 2);
    Type("2147483647");
    errors.clear();
    ClickOk(editor);
    QCOMPARE(errors, std::vector<std::string> { Sjis("整数オーバーフロー.") });
    QVERIFY(unchanged());
    QVERIFY(!editor.isNull() && editor->isVisible());
    // The failed budgets never reached the table, so the next opening converts it without a failure.
    QVERIFY(Activate(form.get()));
    QTRY_VERIFY(editor.isNull());
    errors.clear();
    editor = Open();
    QVERIFY(editor);
    QVERIFY(errors.empty());
    QCOMPARE(editor->StringGrid1->Cell(3, 3), std::string("30"));
}

void TestSisyutp::theNextEditorTypesOnWhereTheLastStopped()
{
    QPointer<TForm3> editor = Open();
    QVERIFY(editor);
    ClickCell(editor->StringGrid1, 1, 4);
    Type("12\r3");
    QVERIFY(Activate(form.get()));
    QTRY_VERIFY(editor.isNull());
    editor = Open();
    QVERIFY(editor);
    Type("4");
    QCOMPARE(editor->StringGrid1->Cell(1, 4), std::string());
    QCOMPARE(editor->StringGrid1->Cell(1, 5), std::string("34"));
}

void TestSisyutp::clickingTheSurfaceCloses()
{
    QPointer<TForm3> editor = Open();
    QVERIFY(editor);
    ClickCell(editor->StringGrid1, 1, 1);
    Type("5");
    QTest::mouseClick(editor->StringGrid1, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::qWait(20);
    QVERIFY(!editor.isNull());
    QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(200, 520));
    QTRY_VERIFY(editor.isNull());
    QCOMPARE(ExpenseBudget[1][1].Str(), std::string());
}

void TestSisyutp::okFollowedByLossOfActivationDestroysOnce()
{
    QPointer<TForm3> editor = Open();
    QVERIFY(editor);
    int destroyed = 0;
    connect(editor, &QObject::destroyed, this, [&destroyed] { ++destroyed; });
    ClickOk(editor);
    QVERIFY(!editor.isNull());  // freed once the current event is done
    editor->close();
    QVERIFY(Activate(form.get()));
    QTRY_VERIFY(editor.isNull());
    QTest::qWait(20);
    QCOMPARE(destroyed, 1);
    QCOMPARE(ExpenseBudget[1][18].Str(), std::string("0"));
}

QTEST_MAIN(TestSisyutp)
#include "tst_sisyutp.moc"

// The income budget editor, opened from the main window by a double click and driven with the mouse
// and the keyboard: its layout, the fixed texts, typing, OK with its total and the calculated
// balance, the failures that keep it open, and the ways it closes and frees itself.
#include "app/form1.h"
#include "ledger/tables.h"
#include "syunyup/form2.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"
#include "gui.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <memory>

using toolkit::Sjis;
using toolkit::StringGrid;

namespace {

using namespace gui;

// "col,row=text", the text in UTF-8.
struct ExpectedCell {
    int Col;
    int Row;
    std::string Text;
};

std::vector<ExpectedCell> ParseCells(const QStringList& cells)
{
    std::vector<ExpectedCell> parsed;
    for (const QString& cell : cells) {
        QString place = cell.section('=', 0, 0);
        parsed.push_back({ place.section(',', 0, 0).toInt(), place.section(',', 1, 1).toInt(),
            Sjis(cell.section('=', 1).toStdString()) });
    }
    return parsed;
}

} // namespace

class TestSyunyup : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layoutAsDesigned();
    void openingWritesTheFixedTextsAndShowsTheTable();
    void okStoresTheGridAndTheTotal_data();
    void okStoresTheGridAndTheTotal();
    void aFixedTextTypedOverIsBackAtTheNextOpening();
    void textBelowRow30IsNotStored();
    void theNextEditorTypesOnWhereTheLastStopped();
    void activatingTheMainWindowClosesAndDropsTheEdits();
    void clickingTheSurfaceClosesAndDropsTheEdits();
    void okRefreshesTheCalculatedBalance_data();
    void okRefreshesTheCalculatedBalance();
    void anAmountBeyondTheRangeKeepsTheEditorOpen();
    void aTotalBeyondTheRangeKeepsTheEditorOpen();
    void aBadSpendingTotalKeepsTheEditorOpen();
    void okFollowedByLossOfActivationDestroysOnce();
    void theErrorBoxDoesNotCloseTheEditor();

private:
    TForm2* Open() { return OpenEditor<TForm2>(*form, 1); }
    void ClickOk(TForm2* editor) { QTest::mouseClick(editor->Button1, Qt::LeftButton); }

    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
};

void TestSyunyup::init()
{
    TForm2::EntryText.Clear();
    TForm2::EntryCell = {};
    form = StartMainWindow(errors);
    QVERIFY(form);
}

void TestSyunyup::cleanup()
{
    StopMainWindow(form);
}

void TestSyunyup::layoutAsDesigned()
{
    TForm2* editor = Open();
    QVERIFY(editor);
    QCOMPARE(editor->windowTitle(), QString("Form2"));
    QCOMPARE(editor->frameGeometry().size(), QSize(200, 410));
    QRect screen = editor->screen()->availableGeometry();
    QVERIFY(qAbs(editor->frameGeometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(editor->frameGeometry().center().y() - screen.center().y()) <= 1);
    QCOMPARE(editor->font().family(), QString("IPAPGothic"));
    QCOMPARE(editor->font().pixelSize(), 12);

    StringGrid* grid = editor->StringGrid1;
    QCOMPARE(grid->geometry(), QRect(24, 16, 145, 329));
    QCOMPARE(grid->ColCount(), 2);
    QCOMPARE(grid->RowCount(), 13);
    QCOMPARE(grid->FixedCols(), 1);
    QCOMPARE(grid->FixedRows(), 1);
    QCOMPARE(grid->ColWidth(1), 70);
    QCOMPARE(grid->RowHeight(2), 24);
    QCOMPARE(grid->RowHeight(3), 25);
    QCOMPARE(grid->RowHeight(12), 24);
    QCOMPARE(grid->font().family(), QString("IPAGothic"));
    QCOMPARE(grid->font().pixelSize(), 13);
    // All thirteen rows fit: the last one is on screen without scrolling.
    QVERIFY(!grid->CellRect(1, 12).isEmpty());
    QVERIFY(grid->CellRect(1, 12).bottom() < grid->viewport()->height());

    QCOMPARE(editor->Button1->geometry(), QRect(40, 352, 113, 25));
    QCOMPARE(editor->Button1->text(), QString("ＯＫ"));
}

void TestSyunyup::openingWritesTheFixedTextsAndShowsTheTable()
{
    for (auto [col, row] : { std::pair { 0, 0 }, { 0, 1 }, { 0, 2 }, { 1, 0 }, { 0, 12 } })
        IncomeBudget[col][row].Assign("x");
    IncomeBudget[0][3].Assign(Sjis("賞　与"));
    IncomeBudget[1][1].Assign("100");
    IncomeBudget[0][20].Assign("kept");
    TForm2* editor = Open();
    QVERIFY(editor);
    const std::vector<ExpectedCell> fixed = ParseCells(
        { "0,0=収　入", "0,1=給　与", "0,2=繰越し", "1,0=金　額", "0,12=合　計" });
    for (const ExpectedCell& cell : fixed) {
        QCOMPARE(IncomeBudget[cell.Col][cell.Row].Str(), cell.Text);
        QCOMPARE(editor->StringGrid1->Cell(cell.Col, cell.Row), cell.Text);
    }
    QCOMPARE(editor->StringGrid1->Cell(0, 3), Sjis("賞　与"));
    QCOMPARE(editor->StringGrid1->Cell(1, 1), std::string("100"));
    QCOMPARE(editor->StringGrid1->Cell(1, 12), std::string());
    QCOMPARE(editor->StringGrid1->Cell(0, 20), std::string("kept"));
    QVERIFY(errors.empty());
}

void TestSyunyup::okStoresTheGridAndTheTotal_data()
{
    QTest::addColumn<QStringList>("typing");  // "col,row=keys": a click on the cell, then the keys
    QTest::addColumn<QByteArray>("total");
    QTest::addColumn<QStringList>("table");   // table cells after OK
    QTest::newRow("an empty table totals 0") << QStringList {} << QByteArray("0") << QStringList { "1,12=0" };
    QTest::newRow("250000 and 30000 give 280000, Enter moving down")
        << QStringList { "1,1=250000\r30000" } << QByteArray("280000")
        << QStringList { "1,1=250000", "1,2=30000", "1,12=280000" };
    QTest::newRow("digits typed into the total row are replaced by the total")
        << QStringList { "1,3=5", "1,12=999" } << QByteArray("5") << QStringList { "1,3=5", "1,12=5" };
    QTest::newRow("amounts below row 12 are stored but not counted")
        << QStringList { "1,11=10\r\r30\r40" } << QByteArray("10")
        << QStringList { "1,11=10", "1,13=30", "1,14=40", "1,12=10" };
    QTest::newRow("the amount column takes the digits only") << QStringList { "1,1=1a2", "1,2=-3+" }
                                                             << QByteArray("15")
                                                             << QStringList { "1,1=12", "1,2=3" };
    QTest::newRow("full-width digits are dropped") << QStringList { "1,1=１2" } << QByteArray("2")
                                                   << QStringList { "1,1=2" };
    QTest::newRow("a new pick starts a new text") << QStringList { "1,1=7", "1,1=8" } << QByteArray("8")
                                                  << QStringList { "1,1=8" };
    QTest::newRow("names in the caption column take every key and are stored")
        << QStringList { "0,3=賞与\r手当 1", "1,3=100" } << QByteArray("100")
        << QStringList { "0,3=賞与", "0,4=手当 1", "0,5=", "1,3=100" };
    QTest::newRow("Enter in the caption column moves down without touching the next name")
        << QStringList { "0,1=\r" } << QByteArray("0") << QStringList { "0,1=給　与", "0,2=繰越し" };
    QTest::newRow("a name longer than 12 bytes is stored cut to 12 bytes")
        << QStringList { "0,4=ボーナス手当て" } << QByteArray("0") << QStringList { "0,4=ボーナス手当" };
}

void TestSyunyup::okStoresTheGridAndTheTotal()
{
    QFETCH(QStringList, typing);
    QFETCH(QByteArray, total);
    QFETCH(QStringList, table);
    QPointer<TForm2> editor = Open();
    QVERIFY(editor);
    for (const QString& entry : typing) {
        QString place = entry.section('=', 0, 0);
        ClickCell(editor->StringGrid1, place.section(',', 0, 0).toInt(), place.section(',', 1, 1).toInt());
        Type(entry.section('=', 1));
    }
    StringGrid* grid = editor->StringGrid1;
    ClickOk(editor);
    QVERIFY(errors.empty());
    QCOMPARE(grid->Cell(1, 12), total.toStdString());
    QCOMPARE(IncomeBudget[1][12].Str(), total.toStdString());
    for (const ExpectedCell& cell : ParseCells(table))
        QCOMPARE(IncomeBudget[cell.Col][cell.Row].Str(), cell.Text);
    QTRY_VERIFY(editor.isNull());
}

void TestSyunyup::aFixedTextTypedOverIsBackAtTheNextOpening()
{
    TForm2* editor = Open();
    QVERIFY(editor);
    QTest::mouseClick(editor->StringGrid1->viewport(), Qt::LeftButton, {}, CellCentre(editor->StringGrid1, 0, 1));
    Type("pay");
    ClickCell(editor->StringGrid1, 0, 3);  // a fixed cell: the release picks it
    Type("own");
    ClickOk(editor);
    QCOMPARE(IncomeBudget[0][1].Str(), std::string("pay"));
    QTRY_VERIFY(form->findChildren<TForm2*>().isEmpty());
    QVERIFY(Activate(form.get()));
    editor = Open();
    QVERIFY(editor);
    QCOMPARE(IncomeBudget[0][1].Str(), Sjis("給　与"));
    QCOMPARE(editor->StringGrid1->Cell(0, 1), Sjis("給　与"));
    QCOMPARE(editor->StringGrid1->Cell(0, 3), std::string("own"));
}

void TestSyunyup::textBelowRow30IsNotStored()
{
    QPointer<TForm2> editor = Open();
    QVERIFY(editor);
    ClickCell(editor->StringGrid1, 1, 11);
    Type(QString(19, '\r') + "5\r6");
    QCOMPARE(editor->StringGrid1->Cell(1, 30), std::string("5"));
    QCOMPARE(editor->StringGrid1->Cell(1, 31), std::string("6"));
    ClickOk(editor);
    QVERIFY(errors.empty());
    QCOMPARE(IncomeBudget[1][30].Str(), std::string("5"));
    QCOMPARE(IncomeBudget[1][12].Str(), std::string("0"));
    QTRY_VERIFY(editor.isNull());
}

void TestSyunyup::theNextEditorTypesOnWhereTheLastStopped()
{
    QPointer<TForm2> editor = Open();
    QVERIFY(editor);
    ClickCell(editor->StringGrid1, 1, 2);
    Type("12");
    QVERIFY(Activate(form.get()));
    QTRY_VERIFY(editor.isNull());
    editor = Open();
    QVERIFY(editor);
    QCOMPARE(editor->StringGrid1->Cell(1, 2), std::string());
    Type("3");
    QCOMPARE(editor->StringGrid1->Cell(1, 2), std::string("123"));
    Type("\r4");
    QCOMPARE(editor->StringGrid1->Cell(1, 3), std::string("4"));
}

void TestSyunyup::activatingTheMainWindowClosesAndDropsTheEdits()
{
    IncomeBudget[1][1].Assign("100");
    QPointer<TForm2> editor = Open();
    QVERIFY(editor);
    int destroyed = 0;
    connect(editor, &QObject::destroyed, this, [&destroyed] { ++destroyed; });
    ClickCell(editor->StringGrid1, 1, 1);
    Type("555");
    QVERIFY(Activate(form.get()));
    QTRY_VERIFY(editor.isNull());
    QCOMPARE(destroyed, 1);
    QCOMPARE(IncomeBudget[1][1].Str(), std::string("100"));
    QCOMPARE(IncomeBudget[1][12].Str(), std::string());
}

void TestSyunyup::clickingTheSurfaceClosesAndDropsTheEdits()
{
    QPointer<TForm2> editor = Open();
    QVERIFY(editor);
    ClickCell(editor->StringGrid1, 1, 1);
    Type("555");
    // The grid's cells and its frame are not the surface; the margin beside the grid is.
    ClickCell(editor->StringGrid1, 1, 2);
    QTest::mouseClick(editor->StringGrid1, Qt::LeftButton, {}, QPoint(1, 100));
    QTest::mouseClick(editor, Qt::RightButton, {}, QPoint(10, 100));
    QTest::qWait(20);
    QVERIFY(!editor.isNull() && editor->isVisible());
    QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(10, 100));
    QTRY_VERIFY(editor.isNull());
    QCOMPARE(IncomeBudget[1][1].Str(), std::string());
}

void TestSyunyup::okRefreshesTheCalculatedBalance_data()
{
    QTest::addColumn<QByteArray>("spending");
    QTest::addColumn<QByteArray>("balance");
    QTest::newRow("the new income less the month's spending")
        << QByteArray("50000") << QByteArray("150000");
    QTest::newRow("spending above the income gives a negative balance")
        << QByteArray("250000") << QByteArray("-50000");
    QTest::newRow("no spending total leaves the balance as it was") << QByteArray() << QByteArray("7");
}

void TestSyunyup::okRefreshesTheCalculatedBalance()
{
    QFETCH(QByteArray, spending);
    QFETCH(QByteArray, balance);
    // The income shown in the main window is the one from before this OK; the new total counts.
    form->StringGrid1->SetCell(1, 1, "999");
    form->StringGrid4->SetCell(1, 18, spending.toStdString());
    form->StringGrid2->SetCell(1, 1, "7");
    TForm2* editor = Open();
    QVERIFY(editor);
    ClickCell(editor->StringGrid1, 1, 1);
    Type("200000");
    ClickOk(editor);
    QVERIFY(errors.empty());
    QCOMPARE(form->StringGrid2->Cell(1, 1), balance.toStdString());
    QVERIFY(Activate(form.get()));
    QCOMPARE(form->StringGrid1->Cell(1, 1), std::string("200000"));
}

void TestSyunyup::anAmountBeyondTheRangeKeepsTheEditorOpen()
{
    IncomeBudget[1][5].Assign("77");
    IncomeBudget[1][12].Assign("1");
    QPointer<TForm2> editor = Open();
    QVERIFY(editor);
    ClickCell(editor->StringGrid1, 1, 1);
    Type("5\r2147483648");
    ClickCell(editor->StringGrid1, 1, 5);
    Type("88");
    ClickCell(editor->StringGrid1, 0, 6);
    Type("late");
    ClickOk(editor);
    QCOMPARE(errors, std::vector<std::string> { NotAnInteger("2147483648") });
    // Nothing of the failed OK is in the table: no name, no amount.
    QCOMPARE(IncomeBudget[0][6].Str(), std::string());
    QCOMPARE(IncomeBudget[1][1].Str(), std::string());
    QCOMPARE(IncomeBudget[1][2].Str(), std::string());
    QCOMPARE(IncomeBudget[1][5].Str(), std::string("77"));
    QCOMPARE(IncomeBudget[1][12].Str(), std::string("1"));
    QTest::qWait(20);
    QVERIFY(!editor.isNull() && editor->isVisible());
    // Corrected, the same editor takes the OK.
    ClickCell(editor->StringGrid1, 1, 2);
    Type("3");
    ClickOk(editor);
    QCOMPARE(IncomeBudget[1][12].Str(), std::string("96"));
    QTRY_VERIFY(editor.isNull());
}

void TestSyunyup::aTotalBeyondTheRangeKeepsTheEditorOpen()
{
    form->StringGrid4->SetCell(1, 18, "1");
    form->StringGrid2->SetCell(1, 1, "7");
    QPointer<TForm2> editor = Open();
    QVERIFY(editor);
    ClickCell(editor->StringGrid1, 1, 1);
    Type("2147483647\r1");
    ClickOk(editor);
    QCOMPARE(errors, std::vector<std::string> { Sjis("整数オーバーフロー.") });
    QCOMPARE(IncomeBudget[1][2].Str(), std::string());
    QCOMPARE(IncomeBudget[1][12].Str(), std::string());
    QCOMPARE(editor->StringGrid1->Cell(1, 12), std::string());
    QCOMPARE(form->StringGrid2->Cell(1, 1), std::string("7"));
    QTest::qWait(20);
    QVERIFY(!editor.isNull());
}

void TestSyunyup::aBadSpendingTotalKeepsTheEditorOpen()
{
    form->StringGrid4->SetCell(1, 18, "5x");
    form->StringGrid2->SetCell(1, 1, "7");
    QPointer<TForm2> editor = Open();
    QVERIFY(editor);
    ClickCell(editor->StringGrid1, 1, 1);
    Type("40");
    ClickOk(editor);
    QCOMPARE(errors, std::vector<std::string> { NotAnInteger("5x") });
    QCOMPARE(IncomeBudget[1][12].Str(), std::string("40"));
    QCOMPARE(editor->StringGrid1->Cell(1, 12), std::string("40"));
    QCOMPARE(form->StringGrid2->Cell(1, 1), std::string("7"));
    QTest::qWait(20);
    QVERIFY(!editor.isNull());
}

void TestSyunyup::okFollowedByLossOfActivationDestroysOnce()
{
    QPointer<TForm2> editor = Open();
    QVERIFY(editor);
    int destroyed = 0;
    connect(editor, &QObject::destroyed, this, [&destroyed] { ++destroyed; });
    ClickOk(editor);
    QVERIFY(!editor.isNull());  // freed once the current event is done
    editor->close();
    editor->close();
    QVERIFY(Activate(form.get()));
    QTRY_VERIFY(editor.isNull());
    QTest::qWait(20);
    QCOMPARE(destroyed, 1);
    QCOMPARE(IncomeBudget[1][12].Str(), std::string("0"));
}

void TestSyunyup::theErrorBoxDoesNotCloseTheEditor()
{
    toolkit::SetErrorSinkForTest({});
    QPointer<TForm2> editor = Open();
    QVERIFY(editor);
    ClickCell(editor->StringGrid1, 1, 1);
    Type("99999999999");
    // The real error box takes the activation; it is answered once it has it.
    QPointer<QMessageBox> box;
    bool boxWasActive = false;
    QTimer answer;
    int waited = 0;
    connect(&answer, &QTimer::timeout, this, [&] {
        if (!box)
            box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        boxWasActive = boxWasActive || QApplication::activeWindow() == box;
        if (boxWasActive || ++waited > 200)
            box->accept();
    });
    answer.start(10);
    ClickOk(editor);
    answer.stop();
    QVERIFY(boxWasActive);
    QCOMPARE(box.isNull(), true);
    QTest::qWait(20);
    QVERIFY(!editor.isNull() && editor->isVisible());
    QCOMPARE(IncomeBudget[1][1].Str(), std::string());
}

QTEST_MAIN(TestSyunyup)
#include "tst_syunyup.moc"

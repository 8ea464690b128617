// Typing into the five grids of the main window, driven through the real grids with the mouse and
// the keyboard: picking a cell, appending keys byte by byte, and the release over fixed cells.
#include "app/form1.h"
#include "sisyutp/form3.h"
#include "syunyup/form2.h"
#include "ledger/tables.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"
#include "gui.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTest>
#include <memory>

using toolkit::Sjis;
using toolkit::StringGrid;

namespace {

using namespace gui;

} // namespace

class TestForm1Entry : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keysShowInTheWalletCellOneByOne();
    void controlKeysNeverBecomeCellText_data();
    void controlKeysNeverBecomeCellText();
    void deleteTypesNothing();
    void pickingStartsANewText_data();
    void pickingStartsANewText();
    void tabMovesTheFocusAndKeepsTheEntry_data();
    void tabMovesTheFocusAndKeepsTheEntry();
    void releaseOverAFixedCellPicksIt_data();
    void releaseOverAFixedCellPicksIt();
    void gridsWithoutReleaseHandlerIgnoreFixedCells_data();
    void gridsWithoutReleaseHandlerIgnoreFixedCells();
    void releaseOverADayColumnLeavesDayCell_data();
    void releaseOverADayColumnLeavesDayCell();
    void doubleByteCharacterArrivesLeadByteFirst();
    void inputMethodCommitArrivesInOneGo();
    void inputMethodPreeditTypesNothing();
    void listTypingBeforeAnyPickGoesToTheFirstAmount();

private:
    StringGrid* Grid(const QString& name) const { return form->findChild<StringGrid*>(name); }

    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
};

void TestForm1Entry::init()
{
    TForm2::EntryText.Clear();
    TForm3::EntryText.Clear();
    form = StartMainWindow(errors);
    QVERIFY(form);
}

void TestForm1Entry::cleanup()
{
    StopMainWindow(form);
}

void TestForm1Entry::keysShowInTheWalletCellOneByOne()
{
    ClickCell(form->StringGrid3, 1, 1);
    const char* shown[] = { "1", "12", "120", "1200" };
    const char* keys = "1200";
    for (int i = 0; i < 4; ++i) {
        Type(QString(QChar(keys[i])));
        QCOMPARE(form->StringGrid3->Cell(1, 1), std::string(shown[i]));
    }
}

void TestForm1Entry::controlKeysNeverBecomeCellText_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("after");
    struct Target {
        const char* Grid;
        int Col;
        int Row;
    };
    const Target targets[] = { { "StringGrid1", 1, 1 }, { "StringGrid2", 1, 4 }, { "StringGrid3", 1, 1 },
        { "StringGrid4", 3, 2 }, { "StringGrid5", 1, 2 }, { "Form2", 0, 3 }, { "Form3", 0, 17 } };
    for (const Target& target : targets) {
        bool editor = target.Grid[0] == 'F';
        auto row = [&](const char* what) -> QTestData& {
            return QTest::addRow("%s: %s", target.Grid, what) << target.Grid << target.Col << target.Row;
        };
        row("Backspace takes back a whole double-byte character") << "" << "12お\b" << "12";
        row("Escape gives back the text before the first key") << "77" << "123\b\x1b" << "77";
        // In a budget editor Enter moves the entry down: the next key goes to the row below.
        row("Enter ends the entry") << "" << "300\r5" << (editor ? "300" : "5");
    }
}

void TestForm1Entry::controlKeysNeverBecomeCellText()
{
    QFETCH(QString, grid);
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QString, before);
    QFETCH(QString, keys);
    QFETCH(QString, after);
    StringGrid* target = grid == "Form2" ? OpenEditor<TForm2>(*form, 1)->StringGrid1
        : grid == "Form3"               ? OpenEditor<TForm3>(*form, 2)->StringGrid1
                                        : Grid(grid);
    if (grid == "StringGrid5")
        DoubleClickCell(form->StringGrid4, 2, 1);
    target->SetCell(col, row, Sjis(before.toStdString()));
    ClickCell(target, col, row);
    Type(keys);
    QCOMPARE(target->Cell(col, row), Sjis(after.toStdString()));
}

void TestForm1Entry::deleteTypesNothing()
{
    ClickCell(form->StringGrid3, 1, 1);
    Type("12");
    // The key event as X11 delivers it, with the text DEL.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f)));
    QCoreApplication::sendEvent(QApplication::focusWidget(), &press);
    Type("3");
    QCOMPARE(form->StringGrid3->Cell(1, 1), std::string("123"));
}

void TestForm1Entry::pickingStartsANewText_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("firstCell");
    QTest::newRow("a click on the same cell replaces its text from the first key")
        << "same" << 1 << 1 << QByteArray("5");
    QTest::newRow("a click on another cell starts a new text there") << "other" << 1 << 3 << QByteArray("77");
    QTest::newRow("the down arrow starts a new text in the cell below") << "down" << 1 << 2 << QByteArray("77");
}

void TestForm1Entry::pickingStartsANewText()
{
    QFETCH(QString, action);
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QByteArray, firstCell);
    ClickCell(form->StringGrid2, 1, 1);
    Type("77");
    if (action == "same")
        ClickCell(form->StringGrid2, 1, 1);
    else if (action == "other")
        ClickCell(form->StringGrid2, 1, 3);
    else
        Press(Qt::Key_Down);
    Type("5");
    QCOMPARE(form->StringGrid2->Cell(1, 1), firstCell.toStdString());
    QCOMPARE(form->StringGrid2->Cell(col, row), std::string("5"));
}

void TestForm1Entry::tabMovesTheFocusAndKeepsTheEntry_data()
{
    QTest::addColumn<QString>("typedBefore");
    QTest::addColumn<QByteArray>("statusCell");
    QTest::newRow("typing after the Tab fills the undisplayed cell of the budget grid") << "" << QByteArray("34");
    QTest::newRow("the text typed before the Tab goes on growing") << "1" << QByteArray("134");
}

void TestForm1Entry::tabMovesTheFocusAndKeepsTheEntry()
{
    QFETCH(QString, typedBefore);
    QFETCH(QByteArray, statusCell);
    ClickCell(form->StringGrid2, 1, 4);
    Type(typedBefore);
    Press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form->StringGrid1);
    Type("34");
    QCOMPARE(form->StringGrid1->Cell(1, 4), statusCell.toStdString());
    QCOMPARE(form->StringGrid2->Cell(1, 4), typedBefore.toStdString());
    QCOMPARE(form->StringGrid1->RowCount(), 4);
}

void TestForm1Entry::releaseOverAFixedCellPicksIt_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("button");
    QTest::newRow("the unnamed row 3 of the on-hand grid gets a caption")
        << "StringGrid3" << 0 << 3 << int(Qt::LeftButton);
    QTest::newRow("the release of the right button counts as well") << "StringGrid3" << 0 << 3 << int(Qt::RightButton);
    QTest::newRow("a category caption of the daily table is renamed") << "StringGrid4" << 0 << 5 << int(Qt::LeftButton);
    QTest::newRow("the captionless category row gets a caption") << "StringGrid4" << 0 << 17 << int(Qt::LeftButton);
    QTest::newRow("a month total of the daily table can be typed") << "StringGrid4" << 1 << 3 << int(Qt::LeftButton);
    QTest::newRow("the amount header of the detail list is renamed") << "StringGrid5" << 1 << 0 << int(Qt::LeftButton);
}

void TestForm1Entry::releaseOverAFixedCellPicksIt()
{
    QFETCH(QString, grid);
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(int, button);
    StringGrid* target = Grid(grid);
    ClickCell(target, col, row, Qt::MouseButton(button));
    Type(QStringLiteral("預金"));
    QCOMPARE(target->Cell(col, row), Sjis("預金"));
}

void TestForm1Entry::gridsWithoutReleaseHandlerIgnoreFixedCells_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("captionRow");
    QTest::addColumn<QString>("caption");
    QTest::newRow("a caption of the budget-and-progress grid stays") << "StringGrid1" << 2 << "支　出";
    QTest::newRow("a caption of the current status grid stays") << "StringGrid2" << 3 << "差　額";
}

void TestForm1Entry::gridsWithoutReleaseHandlerIgnoreFixedCells()
{
    QFETCH(QString, grid);
    QFETCH(int, captionRow);
    QFETCH(QString, caption);
    StringGrid* target = Grid(grid);
    ClickCell(target, 1, 1);
    Type("5");
    ClickCell(target, 0, captionRow);
    Type("6");
    QCOMPARE(target->Cell(0, captionRow), Sjis(caption.toStdString()));
    QCOMPARE(target->Cell(1, 1), std::string("56"));
}

void TestForm1Entry::releaseOverADayColumnLeavesDayCell_data()
{
    QTest::addColumn<int>("pressCol");
    QTest::addColumn<int>("pressRow");
    QTest::addColumn<int>("releaseCol");
    QTest::addColumn<int>("releaseRow");
    QTest::addColumn<int>("typedCol");
    QTest::addColumn<int>("typedRow");
    QTest::newRow("a click on a day cell picks it by the selection") << 3 << 2 << 3 << 2 << 3 << 2;
    QTest::newRow("a release over another day cell keeps the cell pressed") << 3 << 2 << 4 << 5 << 3 << 2;
    QTest::newRow("a release over a caption after a press on a day cell picks the caption")
        << 3 << 2 << 0 << 6 << 0 << 6;
    QTest::newRow("a release over a day cell after a press on a caption keeps the last pick")
        << 0 << 6 << 4 << 5 << 2 << 1;
}

void TestForm1Entry::releaseOverADayColumnLeavesDayCell()
{
    QFETCH(int, pressCol);
    QFETCH(int, pressRow);
    QFETCH(int, releaseCol);
    QFETCH(int, releaseRow);
    QFETCH(int, typedCol);
    QFETCH(int, typedRow);
    StringGrid* grid = form->StringGrid4;
    ClickCell(grid, 2, 1);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, pressCol, pressRow));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, releaseCol, releaseRow));
    Type("42");
    QCOMPARE(grid->Cell(typedCol, typedRow), std::string("42"));
    QCOMPARE(form->DayCell, (GridCell { typedCol, typedRow }));
}

void TestForm1Entry::doubleByteCharacterArrivesLeadByteFirst()
{
    StringGrid* grid = form->StringGrid5;
    ClickCell(grid, 0, 2);
    std::vector<std::string> seen;
    // Connected after the window's own handler, so it sees the cell as each byte left it.
    connect(grid, &StringGrid::KeyPress, this, [&](char) { seen.push_back(grid->Cell(0, 2)); });
    Type(QStringLiteral("電"));
    std::string character = Sjis("電");
    QCOMPARE(character.size(), size_t(2));
    QCOMPARE(seen.size(), size_t(2));
    QCOMPARE(seen[0], character.substr(0, 1));
    QCOMPARE(seen[1], character);
    QCOMPARE(grid->Cell(0, 2), character);
}

void TestForm1Entry::inputMethodCommitArrivesInOneGo()
{
    StringGrid* grid = form->StringGrid5;
    ClickCell(grid, 0, 3);
    Type("x");
    int bytes = 0;
    connect(grid, &StringGrid::KeyPress, this, [&](char) { ++bytes; });
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("Ａ電気代"));
    QCoreApplication::sendEvent(grid, &commit);
    QCOMPARE(bytes, 8);
    QCOMPARE(grid->Cell(0, 3), "x" + Sjis("Ａ電気代"));
}

void TestForm1Entry::inputMethodPreeditTypesNothing()
{
    StringGrid* grid = form->StringGrid5;
    ClickCell(grid, 0, 3);
    Type("x");
    QInputMethodEvent preedit(QStringLiteral("でんき"), {});
    QCoreApplication::sendEvent(grid, &preedit);
    QCOMPARE(grid->Cell(0, 3), std::string("x"));
}

void TestForm1Entry::listTypingBeforeAnyPickGoesToTheFirstAmount()
{
    DoubleClickCell(form->StringGrid4, 2, 1);
    QCOMPARE(QApplication::focusWidget(), form->StringGrid5);
    Type("300");
    QCOMPARE(form->StringGrid5->Cell(1, 1), std::string("300"));
    QCOMPARE(form->StringGrid5->Cell(0, 0), Sjis("食　費"));
    QCOMPARE(form->StringGrid5->Cell(0, 1), Sjis("お　米"));
}

QTEST_MAIN(TestForm1Entry)
#include "tst_form1_entry.moc"

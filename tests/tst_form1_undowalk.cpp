// Random walks through the real main window, drawn from what a user does (cells picked and typed
// into with Backspace, Escape and Enter, lists opened and confirmed, bank payments, amounts that do
// not convert, the period, the money on hand, both budget editors with their own undo, the memo, a
// new month, Save As), with Ctrl+Z and Ctrl+Y mixed in. Undoing everything must give back the
// month as it began, byte for byte as a save would write it and cell for cell in every grid (where
// the user is then is where the user was before the first step); redoing it all, the month as the
// walk left it, with the entry cells and text; and at points along the way, undo k then redo k
// must change nothing.
//
// Each seed is a row of its own. KIVELO_SEED=n runs seed n alone; KIVELO_LONG=1 walks 200 seeds
// of 1000 actions instead of 20 of 300.
#include "app/form1.h"
#include "app/month.h"
#include "ledger/record.h"
#include "sisyutp/form3.h"
#include "syunyup/form2.h"
#include "toolkit/dialogs.h"
#include "gui.h"

#include <QDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <random>

using namespace gui;
using toolkit::StringGrid;

namespace {

// Everything a save would write; every cell of the five grids, those beyond their shown size that
// the walk can reach included; and where the user is: the entry text and cells, the list open.
struct Month {
    QByteArray Record;
    std::vector<std::string> Cells;
    QString Entry;
    bool operator==(const Month& other) const
    {
        return Record == other.Record && Cells == other.Cells && Entry == other.Entry;
    }
};

// The first place where two months differ, for the failure message.
QString FirstDifference(const Month& a, const Month& b)
{
    for (int i = 0; i < a.Record.size(); ++i)
        if (a.Record[i] != b.Record[i])
            return QStringLiteral("record byte %1").arg(i);
    for (size_t i = 0; i < a.Cells.size(); ++i)
        if (a.Cells[i] != b.Cells[i])
            return QStringLiteral("grid cell %1: '%2' against '%3'")
                .arg(i)
                .arg(QString::fromStdString(a.Cells[i]), QString::fromStdString(b.Cells[i]));
    return QStringLiteral("entry %1 against %2").arg(a.Entry, b.Entry);
}

const QStringList Texts = { "1200", "300", "8000", "-50", "0", "12a", "Ａ電気代", "お　米", "Kome", "Ａ", "ｲﾝﾀｰﾈｯﾄ",
    "5\b6", "77\x1b", "9\r3", "Aコープ" };

} // namespace

class TestForm1UndoWalk : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyStepIsGivenBackExactly_data();
    void everyStepIsGivenBackExactly();

private:
    Month Now() const;
    void Act();
    int Draw(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); }
    bool Chance(int percent) { return Draw(100) < percent; }
    QString AnyText() { return Texts[Draw(Texts.size())]; }
    void ClickAnyCell(StringGrid* grid, bool fixedToo = false);
    void UseEditor(bool income);
    void Undo() { Press(Qt::Key_Z, Qt::ControlModifier); }
    void Redo() { Press(Qt::Key_Y, Qt::ControlModifier); }
    undo::History& Steps() { return form->History->Steps(); }

    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
    std::unique_ptr<QTemporaryDir> dir;
    std::mt19937 random;
};

void TestForm1UndoWalk::init()
{
    TForm2::EntryText.Clear();
    TForm2::EntryCell = {};
    TForm3::EntryText.Clear();
    TForm3::EntryCell = {};
    dir = std::make_unique<QTemporaryDir>();
    toolkit::SetSaveChangesAnswerForTest([] { return toolkit::SaveChangesAnswer::Discard; });
    toolkit::SetFileDialogAnswerForTest(
        [this](toolkit::FileDialog::Kind, const QString&) { return dir->filePath(QStringLiteral("walk.ZMR")); });
    form = StartMainWindow(errors);
    QVERIFY(form);
}

void TestForm1UndoWalk::cleanup()
{
    StopMainWindow(form);
    toolkit::SetSaveChangesAnswerForTest(nullptr);
    toolkit::SetFileDialogAnswerForTest(nullptr);
}

Month TestForm1UndoWalk::Now() const
{
    Month month;
    form->AssembleRecord();
    month.Record = QByteArray(reinterpret_cast<const char*>(LedgerRecord), int(RecordSize));
    for (StringGrid* grid :
        { form->StringGrid1, form->StringGrid2, form->StringGrid3, form->StringGrid4, form->StringGrid5 })
        for (int col = 0; col < grid->ColCount() + 2; ++col)
            for (int row = 0; row < grid->RowCount() + 3; ++row)
                month.Cells.push_back(grid->Cell(col, row));
    auto cell = [](const GridCell& cell) { return QStringLiteral("(%1,%2)").arg(cell.Col).arg(cell.Row); };
    month.Entry = QString::fromStdString(form->EntryText.Typed) + "|" + QString::fromStdString(form->EntryText.Before.value_or("-"))
        + "|" + cell(form->StatusCell) + cell(form->DayCell) + cell(form->ItemCell)
        + (form->OpenList ? cell(*form->OpenList) : QStringLiteral("none"));
    return month;
}

// A cell whose middle is on screen; a fixed one only when asked for.
void TestForm1UndoWalk::ClickAnyCell(StringGrid* grid, bool fixedToo)
{
    std::vector<QPoint> cells;
    for (int col = fixedToo ? 0 : grid->FixedCols(); col < grid->ColCount(); ++col)
        for (int row = fixedToo ? 0 : grid->FixedRows(); row < grid->RowCount(); ++row) {
            QRect rect = grid->CellRect(col, row);
            if (!rect.isEmpty() && grid->viewport()->rect().contains(rect.center()))
                cells.push_back({ col, row });
        }
    QPoint cell = cells[Draw(int(cells.size()))];
    ClickCell(grid, cell.x(), cell.y());
}

void TestForm1UndoWalk::UseEditor(bool income)
{
    QWidget* editor = income ? static_cast<QWidget*>(OpenEditor<TForm2>(*form, 1))
                             : static_cast<QWidget*>(OpenEditor<TForm3>(*form, 2));
    QVERIFY(editor);
    auto* grid = editor->findChild<StringGrid*>(QStringLiteral("StringGrid1"));
    for (int keys = Draw(4); keys >= 0; --keys) {
        ClickCell(grid, Draw(2), 1 + Draw(8));
        Type(Chance(80) ? QString::number(Draw(90000)) : AnyText());
        if (Chance(30))
            Press(Qt::Key_Z, Qt::ControlModifier);
        if (Chance(15))
            Press(Qt::Key_Y, Qt::ControlModifier);
    }
    if (Chance(70))
        QTest::mouseClick(editor->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    QVERIFY(Activate(form.get()));  // an editor left without OK closes itself
}

void TestForm1UndoWalk::Act()
{
    switch (Draw(16)) {
    case 0:
    case 1:
    case 2: {  // pick and type, anywhere
        StringGrid* grids[]
            = { form->StringGrid1, form->StringGrid2, form->StringGrid3, form->StringGrid4, form->StringGrid5 };
        StringGrid* grid = grids[Draw(5)];
        if (grid == form->StringGrid4 || grid == form->StringGrid3)
            ClickAnyCell(grid, Chance(15));  // a release over a fixed cell picks it too
        else
            ClickAnyCell(grid);
        Type(AnyText());
        break;
    }
    case 3:  // keys in the cell picked last
        Type(Chance(50) ? AnyText() : QStringLiteral("\b"));
        if (Chance(30))
            Press(Chance(50) ? Qt::Key_Down : Qt::Key_Right);
        break;
    case 4:
    case 5: {  // a day's list, typed into and confirmed or not
        ClickAnyCell(form->StringGrid4);
        DoubleClickCell(form->StringGrid4, form->StringGrid4->Col(), form->StringGrid4->Row());
        for (int items = Draw(3); items >= 0; --items) {
            ClickAnyCell(form->StringGrid5);
            Type(AnyText());
        }
        if (Chance(60))
            QTest::mouseClick(form->Button1, Qt::LeftButton);
        break;
    }
    case 6:
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        break;
    case 7:  // the period, typed over what the fields held
        form->Edit1->setFocus();
        form->Edit1->selectAll();
        Type(QString::number(1 + Draw(12)));
        form->Edit2->setFocus();
        form->Edit2->selectAll();
        Type(QString::number(1 + Draw(28)));
        QTest::mouseClick(form->Button2, Qt::LeftButton);
        break;
    case 8:  // the money on hand, totalled when the grid is left
        ClickCell(form->StringGrid3, 1, 1 + Draw(2));
        Type(QString::number(Draw(200000)));
        ClickAnyCell(form->StringGrid4);
        break;
    case 9:
        UseEditor(Chance(50));
        break;
    case 10:  // the memo
        form->Memo1->setFocus();
        Type(Chance(70) ? QStringLiteral("kaimono ") : QStringLiteral("\b\b"));
        break;
    case 11:
        if (Chance(30)) {  // a new month; its carry dialog, when it has one, is answered OK
            QTimer answer;
            answer.setSingleShot(true);
            connect(&answer, &QTimer::timeout, this, [] {
                if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                    dialog->accept();
            });
            answer.start(0);
            form->NewMonth1->trigger();
        } else {
            form->SaveAs1->trigger();
        }
        break;
    case 12:
    case 13:
        for (int times = 1 + Draw(3); times > 0; --times)
            Undo();
        break;
    default:
        for (int times = 1 + Draw(2); times > 0; --times)
            Redo();
        break;
    }
    QVERIFY(Activate(form.get()));
}

void TestForm1UndoWalk::everyStepIsGivenBackExactly_data()
{
    QTest::addColumn<unsigned>("seed");
    QTest::addColumn<int>("actions");
    bool longRun = qEnvironmentVariableIntValue("KIVELO_LONG") != 0;
    int seeds = longRun ? 200 : 20;
    int actions = longRun ? 1000 : 300;
    bool chosen = false;
    unsigned only = qEnvironmentVariable("KIVELO_SEED").toUInt(&chosen);
    for (unsigned seed = 1; seed <= unsigned(seeds); ++seed)
        if (!chosen || seed == only)
            QTest::addRow("seed %u", seed) << seed << actions;
    if (chosen && only > unsigned(seeds))
        QTest::addRow("seed %u", only) << only << actions;
}

void TestForm1UndoWalk::everyStepIsGivenBackExactly()
{
    QFETCH(unsigned, seed);
    QFETCH(int, actions);
    random.seed(seed);
    qInfo("walk seed %u (rerun alone with KIVELO_SEED=%u)", seed, seed);
    Month start = Now();
    std::vector<bool> checkAt(actions, false);
    for (int check = 0; check < 50; ++check)
        checkAt[Draw(actions)] = true;
    for (int action = 0; action < actions; ++action) {
        Act();
        if (QTest::currentTestFailed())
            return;
        if (!checkAt[action])
            continue;
        Month before = Now();
        int back = std::min(1 + Draw(6), Steps().UndoCount());
        for (int times = 0; times < back; ++times)
            Undo();
        for (int times = 0; times < back; ++times)
            Redo();
        Month again = Now();
        QVERIFY2(again == before,
            qPrintable(QStringLiteral("action %1, %2 back and forth: %3")
                           .arg(action)
                           .arg(back)
                           .arg(FirstDifference(before, again))));
    }
    Month end = Now();
    int done = Steps().UndoCount();
    for (int times = 0; times < done; ++times)
        Undo();
    QCOMPARE(Steps().UndoCount(), 0);
    Month undone = Now();
    undone.Entry = start.Entry;
    QVERIFY2(undone == start, qPrintable(QStringLiteral("all undone: ") + FirstDifference(start, undone)));
    for (int times = 0; times < done; ++times)
        Redo();
    Month redone = Now();
    QVERIFY2(redone == end, qPrintable(QStringLiteral("all redone: ") + FirstDifference(end, redone)));
}

QTEST_MAIN(TestForm1UndoWalk)
#include "tst_form1_undowalk.moc"

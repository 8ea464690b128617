// Taking back a change in the main window, with real keys, clicks and files: what one Ctrl+Z gives
// back and Ctrl+Y does again, what the 編集 menu calls each step, the saved step, the editors'
// own typing, and a list on screen that is confirmed rather than lost.
#include "app/form1.h"
#include "ledger/tables.h"
#include "sisyutp/form3.h"
#include "syunyup/form2.h"
#include "tests/ledgerbytes.h"
#include "toolkit/dialogs.h"
#include "gui.h"

#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace gui;
using toolkit::SaveChangesAnswer;
using toolkit::Sjis;

class TestForm1Undo : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void oneUndoGivesBackTheTypedCell();
    void aBookedPaymentIsTakenBackWholeAndBookedAgainOnce();
    void theMenuNamesEachStep_data();
    void theMenuNamesEachStep();
    void backAtTheSavedStepClosingAsksNothing();
    void undoingANewMonthGivesBackTheMonthUnsavedAndItsName();
    void theEditorsTakeBackTheirOwnTyping();
    void aListOnScreenIsConfirmedBeforeItWouldBeLost_data();
    void aListOnScreenIsConfirmedBeforeItWouldBeLost();
    void aListThatDoesNotConfirmStopsTheSave();

private:
    QString Path(const char* name) const { return dir->filePath(QString::fromLatin1(name)); }
    void Undo() { Press(Qt::Key_Z, Qt::ControlModifier); }
    void Redo() { Press(Qt::Key_Y, Qt::ControlModifier); }
    void SaveAs(const char* name)
    {
        answers->FileNames = { Path(name) };
        form->SaveAs1->trigger();
    }
    // Kome / 300 typed into the list of 食　費 on day 1, not confirmed.
    void TypeAListWithoutOk()
    {
        DoubleClickCell(form->StringGrid4, 2, 1);
        TypeInto(form->StringGrid5, 0, 1, "Kome");
        TypeInto(form->StringGrid5, 1, 1, "300");
    }

    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DialogAnswers> answers;
};

void TestForm1Undo::init()
{
    TForm2::EntryText.Clear();
    TForm2::EntryCell = {};
    dir = std::make_unique<QTemporaryDir>();
    answers = std::make_unique<DialogAnswers>();
    form = StartMainWindow(errors);
    QVERIFY(form);
}

void TestForm1Undo::cleanup()
{
    StopMainWindow(form);
    answers.reset();
}

void TestForm1Undo::oneUndoGivesBackTheTypedCell()
{
    TypeInto(form->StringGrid3, 1, 1, "500");
    Press(Qt::Key_Return);
    TypeInto(form->StringGrid3, 1, 1, "1200");
    QCOMPARE(form->StringGrid3->Cell(1, 1), std::string("1200"));
    QSignalSpy keys(form->StringGrid3, &toolkit::StringGrid::KeyPress);
    Undo();
    QCOMPARE(form->StringGrid3->Cell(1, 1), std::string("500"));
    Redo();
    Undo();
    QCOMPARE(keys.count(), 0);  // the keys of the commands reach no grid
    Type("7");  // the entry starts afresh, as after the pick that came before the keys
    QCOMPARE(form->StringGrid3->Cell(1, 1), std::string("7"));
    // The memo takes no undo of its own: Ctrl+Z in it takes back the month's last step.
    form->Memo1->setFocus();
    Type("abc");
    Undo();
    QCOMPARE(form->Memo1->Text(), Sjis("メモ"));
    QCOMPARE(form->StringGrid3->Cell(1, 1), std::string("7"));
    QVERIFY(errors.empty());
}

void TestForm1Undo::aBookedPaymentIsTakenBackWholeAndBookedAgainOnce()
{
    TypeInto(form->StringGrid3, 1, 2, "80000");
    DoubleClickCell(form->StringGrid4, 5, 2);
    TypeInto(form->StringGrid5, 0, 1, "Ａ電気代");
    TypeInto(form->StringGrid5, 1, 1, "8000");
    std::string defaultName = DetailLists[5][2][0][1].Str();
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QCOMPARE(form->StringGrid3->Cell(1, 2), std::string("72000"));
    QCOMPARE(DetailLists[5][2][0][1].Str(), std::string("A") + Sjis("電気代"));

    Undo();
    QCOMPARE(form->StringGrid3->Cell(1, 2), std::string("80000"));
    QCOMPARE(form->StringGrid5->Cell(0, 1), Sjis("Ａ電気代"));  // the list back on screen, unbooked
    QCOMPARE(DetailLists[5][2][0][1].Str(), defaultName);
    for (QPoint cell : { QPoint(5, 2), QPoint(1, 2), QPoint(5, 18), QPoint(1, 18) })
        QCOMPARE(form->StringGrid4->Cell(cell.x(), cell.y()), std::string());
    QCOMPARE(DailyTable[5][2].Str(), std::string());

    Redo();
    Redo();  // nothing more to redo
    QTest::mouseClick(form->Button1, Qt::LeftButton);  // no list open: nothing booked
    QCOMPARE(form->StringGrid3->Cell(1, 2), std::string("72000"));
    for (QPoint cell : { QPoint(5, 2), QPoint(1, 2), QPoint(5, 18), QPoint(1, 18) })
        QCOMPARE(form->StringGrid4->Cell(cell.x(), cell.y()), std::string("8000"));
    QVERIFY(errors.empty());
}

void TestForm1Undo::theMenuNamesEachStep_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("undo");
    QTest::addColumn<QString>("redo");
    QTest::newRow("typing into the wallet") << "wallet" << "元に戻す: 財　布 の入力" << "やり直し";
    QTest::newRow("a list confirmed") << "list" << "元に戻す: 食　費 12月3日の明細" << "やり直し";
    QTest::newRow("an editor's OK taken back") << "budget" << "元に戻す: 集計期間" << "やり直し: 支出予算";
    QTest::newRow("the memo") << "memo" << "元に戻す: メモ の入力" << "やり直し";
    QTest::newRow("nothing done") << "" << "元に戻す" << "やり直し";
}

void TestForm1Undo::theMenuNamesEachStep()
{
    QFETCH(QString, action);
    QFETCH(QString, undo);
    QFETCH(QString, redo);
    if (!action.isEmpty()) {
        form->Edit1->setFocus();
        Type("12");
        form->Edit2->setFocus();
        Type("1");
        QTest::mouseClick(form->Button2, Qt::LeftButton);
    }
    if (action == "wallet") {
        TypeInto(form->StringGrid3, 1, 1, "1200");
    } else if (action == "list") {
        DoubleClickCell(form->StringGrid4, 4, 1);
        TypeInto(form->StringGrid5, 1, 1, "300");
        QTest::mouseClick(form->Button1, Qt::LeftButton);
    } else if (action == "budget") {
        auto* editor = OpenEditor<TForm3>(*form, 2);
        QVERIFY(editor);
        TypeInto(editor->StringGrid1, 1, 1, "40000");
        QTest::mouseClick(editor->Button1, Qt::LeftButton);
        QVERIFY(Activate(form.get()));
        QCOMPARE(form->StringGrid1->Cell(1, 2), std::string("40000"));
        Undo();
        QCOMPARE(form->StringGrid1->Cell(1, 2), std::string());
        QCOMPARE(ExpenseBudget[1][1].Str(), std::string());
    } else if (action == "memo") {
        form->Memo1->setFocus();
        Type("abc");
    }
    QCOMPARE(form->Undo1->text(), undo);
    QCOMPARE(form->Redo1->text(), redo);
    QCOMPARE(form->Undo1->isEnabled(), undo.contains(':'));
    QCOMPARE(form->Redo1->isEnabled(), redo.contains(':'));
}

void TestForm1Undo::backAtTheSavedStepClosingAsksNothing()
{
    TypeInto(form->StringGrid3, 1, 1, "1200");
    SaveAs("month.ZMR");
    TypeInto(form->StringGrid3, 1, 2, "5000");
    Undo();
    QVERIFY(!form->LedgerChanged);
    Undo();
    QVERIFY(form->LedgerChanged);
    QVERIFY(!form->close());  // the question, answered キャンセル
    QCOMPARE(answers->Questions, 1);
    Redo();
    QVERIFY(form->close());
    QCOMPARE(answers->Questions, 1);
}

void TestForm1Undo::undoingANewMonthGivesBackTheMonthUnsavedAndItsName()
{
    SaveAs("12.ZMR");
    TypeInto(form->StringGrid3, 1, 1, "1200");
    answers->Answer = SaveChangesAnswer::Discard;
    form->NewMonth1->trigger();
    QCOMPARE(form->Undo1->text(), QStringLiteral("元に戻す: 翌月の家計簿を作成"));
    QVERIFY(form->SaveDialog1.FileName().isEmpty());
    Undo();
    QVERIFY(form->LedgerChanged);
    QCOMPARE(form->SaveDialog1.FileName(), Path("12.ZMR"));
    form->Save1->trigger();  // saved under its name, without a dialog
    QCOMPARE(LedgerBytes(Path("12.ZMR")).OnHand(1, 1), QByteArray("1200"));
}

void TestForm1Undo::theEditorsTakeBackTheirOwnTyping()
{
    auto* editor = OpenEditor<TForm2>(*form, 1);
    QVERIFY(editor);
    TypeInto(editor->StringGrid1, 1, 1, "300");
    Press(Qt::Key_Return);
    Type("20");
    QCOMPARE(editor->StringGrid1->Cell(1, 2), std::string("20"));
    Undo();
    QCOMPARE(editor->StringGrid1->Cell(1, 2), std::string());
    Undo();
    QCOMPARE(editor->StringGrid1->Cell(1, 1), std::string());
    QVERIFY(TForm2::EntryCell == (GridCell { 1, 1 }));  // picked before the first step: the keys go there again
    Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(editor->StringGrid1->Cell(1, 1), std::string("300"));
    QTest::mouseClick(editor->Button1, Qt::LeftButton);
    QVERIFY(Activate(form.get()));
    QCOMPARE(form->Undo1->text(), QStringLiteral("元に戻す: 収入予算"));
    Undo();
    QCOMPARE(IncomeBudget[1][1].Str(), std::string());
    QCOMPARE(form->StringGrid1->Cell(1, 1), std::string());
}

void TestForm1Undo::aListOnScreenIsConfirmedBeforeItWouldBeLost_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("Save writes it") << "save";
    QTest::newRow("a double click on another day stores it") << "double click";
    QTest::newRow("closing asks, and 保存 writes it") << "close";
    QTest::newRow("a new month keeps it in the month before") << "new month";
}

void TestForm1Undo::aListOnScreenIsConfirmedBeforeItWouldBeLost()
{
    QFETCH(QString, action);
    TypeAListWithoutOk();
    if (action == "save") {
        answers->FileNames = { Path("month.ZMR") };
        form->Save1->trigger();
    } else if (action == "double click") {
        DoubleClickCell(form->StringGrid4, 3, 1);
        QCOMPARE(form->StringGrid5->Cell(0, 1), DetailLists[3][1][0][1].Str());
    } else if (action == "close") {
        answers->Answer = SaveChangesAnswer::Save;
        answers->FileNames = { Path("month.ZMR") };
        QVERIFY(form->close());
        QCOMPARE(answers->Questions, 1);
    } else if (action == "new month") {
        answers->Answer = SaveChangesAnswer::Discard;
        form->NewMonth1->trigger();
        QCOMPARE(form->StringGrid4->Cell(2, 1), std::string());
        Undo();
        QCOMPARE(form->Undo1->text(), QStringLiteral("元に戻す: 食　費 1日目の明細"));
    }
    QCOMPARE(DetailLists[2][1][0][1].Str(), std::string("Kome"));
    QCOMPARE(DetailLists[2][1][1][1].Str(), std::string("300"));
    QCOMPARE(form->StringGrid4->Cell(2, 1), std::string("300"));
    if (action == "save" || action == "close") {
        LedgerBytes saved(Path("month.ZMR"));
        QCOMPARE(saved.Detail(2, 1, 0, 1), QByteArray("Kome"));
        QCOMPARE(saved.Daily(2, 1), QByteArray("300"));
    }
    QVERIFY(errors.empty());
}

void TestForm1Undo::aListThatDoesNotConfirmStopsTheSave()
{
    SaveAs("month.ZMR");
    QByteArray before = LedgerBytes(Path("month.ZMR")).Bytes();
    DoubleClickCell(form->StringGrid4, 2, 1);
    TypeInto(form->StringGrid5, 1, 1, "12a");
    form->Save1->trigger();
    QCOMPARE(errors, std::vector<std::string> { NotAnInteger("12a") });
    QVERIFY(LedgerBytes(Path("month.ZMR")).Bytes() == before);
    QVERIFY(form->OpenList);
    QCOMPARE(form->StringGrid5->Cell(1, 1), std::string("12a"));
    QVERIFY(form->LedgerChanged);
}

QTEST_MAIN(TestForm1Undo)
#include "tst_form1_undo.moc"

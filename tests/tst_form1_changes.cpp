// What counts as a change to the ledger, and the question before a change would be lost: closing
// the main window and opening another ledger, answered through the question's seam, with real
// files and real saves.
#include "app/form1.h"
#include "sisyutp/form3.h"
#include "syunyup/form2.h"
#include "tests/filefaults.h"
#include "toolkit/dialogs.h"
#include "gui.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTest>
#include <sys/stat.h>

using namespace gui;
using toolkit::SaveChangesAnswer;

class TestForm1Changes : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void whatChangesTheLedger_data();
    void whatChangesTheLedger();
    void closingWithChangesAsks_data();
    void closingWithChangesAsks();
    void aFailingSaveKeepsTheWindow();
    void openingAnotherLedgerAsksFirst();

private:
    QString Path(const char* name) const { return dir->filePath(QString::fromLatin1(name)); }

    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DialogAnswers> answers;
};

void TestForm1Changes::init()
{
    TForm2::EntryText.Clear();
    TForm2::EntryCell = {};
    dir = std::make_unique<QTemporaryDir>();
    answers = std::make_unique<DialogAnswers>();
    form = StartMainWindow(errors);
    QVERIFY(form);
}

void TestForm1Changes::cleanup()
{
    StopMainWindow(form);
    answers.reset();
}

void TestForm1Changes::whatChangesTheLedger_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("changes");
    QTest::newRow("typing into a cell changes it") << "type" << true;
    QTest::newRow("typing into the memo changes it") << "memo" << true;
    QTest::newRow("typing the period's month changes it") << "period" << true;
    QTest::newRow("confirming a detail list changes it") << "list" << true;
    QTest::newRow("the income editor's OK changes it") << "income" << true;
    QTest::newRow("picking cells and pressing Enter changes nothing") << "look" << false;
    QTest::newRow("an editor closed without OK changes nothing") << "editor" << false;
    QTest::newRow("the charts change nothing") << "graph" << false;
}

void TestForm1Changes::whatChangesTheLedger()
{
    QFETCH(QString, action);
    QFETCH(bool, changes);
    if (action == "type") {
        ClickCell(form->StringGrid3, 1, 1);
        Type("300");
    } else if (action == "memo") {
        form->Memo1->setFocus();
        Type("x");
    } else if (action == "period") {
        form->Edit1->setFocus();
        Type("4");
    } else if (action == "list") {
        DoubleClickCell(form->StringGrid4, 2, 1);
        QTest::mouseClick(form->Button1, Qt::LeftButton);
    } else if (action == "income") {
        QTest::mouseClick(OpenEditor<TForm2>(*form, 1)->Button1, Qt::LeftButton);
    } else if (action == "look") {
        ClickCell(form->StringGrid4, 5, 5);
        ClickCell(form->StringGrid3, 1, 2);
        Press(Qt::Key_Return);
    } else if (action == "editor") {
        QVERIFY(OpenEditor<TForm3>(*form, 2));
        QVERIFY(Activate(form.get()));
    } else if (action == "graph") {
        form->SpeedButton3->click();
    }
    QCOMPARE(form->LedgerChanged, changes);
    QCOMPARE(form->close(), !changes);  // the question is answered キャンセル
    QCOMPARE(answers->Questions, changes ? 1 : 0);
}

void TestForm1Changes::closingWithChangesAsks_data()
{
    QTest::addColumn<int>("reply");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("保存 saves and ends") << int(SaveChangesAnswer::Save) << true << true << "month.ZMR";
    QTest::newRow("保存 with Save As cancelled keeps the window") << int(SaveChangesAnswer::Save) << false << false
                                                                 << "";
    QTest::newRow("保存しない ends without saving") << int(SaveChangesAnswer::Discard) << true << false << "month.ZMR";
    QTest::newRow("キャンセル keeps the window and the data")
        << int(SaveChangesAnswer::Cancel) << false << false << "month.ZMR";
}

void TestForm1Changes::closingWithChangesAsks()
{
    QFETCH(int, reply);
    QFETCH(bool, ends);
    QFETCH(bool, saved);
    QFETCH(QString, fileName);
    answers->Answer = SaveChangesAnswer(reply);
    if (!fileName.isEmpty())
        answers->FileNames = { dir->filePath(fileName) };
    ClickCell(form->StringGrid3, 1, 1);
    Type("300");
    form->Exit1->trigger();
    QCOMPARE(answers->Questions, 1);
    QCOMPARE(form->isVisible(), !ends);
    QCOMPARE(QFile::exists(Path("month.ZMR")), saved);
    QCOMPARE(form->StringGrid3->Cell(1, 1), std::string("300"));
    QVERIFY(errors.empty());
    // Saved or not, once the program may end nothing more is asked.
    if (ends)
        QCOMPARE(form->LedgerChanged, !saved);
}

void TestForm1Changes::aFailingSaveKeepsTheWindow()
{
    answers->Answer = SaveChangesAnswer::Save;
    answers->FileNames = { Path("locked/month.ZMR") };
    QVERIFY(QDir(dir->path()).mkdir("locked"));
    QVERIFY(::chmod(QFile::encodeName(Path("locked")).constData(), 0555) == 0);
    ClickCell(form->StringGrid3, 1, 1);
    Type("300");
    {
        WithoutPermissionOverride asAnyUser;
        QVERIFY(!form->close());
    }
    QCOMPARE(errors, std::vector<std::string> { toolkit::ErrorBoxText(toolkit::Sjis("ﾌｧｲﾙへのｱｸｾｽが拒否されました")) });
    QVERIFY(form->isVisible());
    QVERIFY(form->LedgerChanged);
}

void TestForm1Changes::openingAnotherLedgerAsksFirst()
{
    answers->FileNames = { Path("month.ZMR") };
    form->SaveAs1->trigger();
    QVERIFY(!form->LedgerChanged);
    ClickCell(form->StringGrid3, 1, 1);
    Type("300");
    answers->Answer = SaveChangesAnswer::Cancel;
    answers->FileNames = { Path("month.ZMR") };
    form->N2->trigger();
    QCOMPARE(answers->Questions, 1);
    QCOMPARE(answers->FileNames.size(), size_t(1));  // キャンセル: no Open dialog
    QCOMPARE(form->StringGrid3->Cell(1, 1), std::string("300"));
    answers->Answer = SaveChangesAnswer::Discard;
    form->N2->trigger();
    QCOMPARE(answers->Questions, 2);
    QCOMPARE(form->StringGrid3->Cell(1, 1), std::string());  // the saved ledger, opened
    QVERIFY(!form->LedgerChanged);
    QVERIFY(errors.empty());
}

QTEST_MAIN(TestForm1Changes)
#include "tst_form1_changes.moc"

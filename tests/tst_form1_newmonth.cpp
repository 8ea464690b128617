// The next month started from a December ledger, through the real menu item, the real carry
// dialog and a real save, read back with the tests' own reader of the file.
#include "app/form1.h"
#include "tests/ledgerbytes.h"
#include "toolkit/dialogs.h"
#include "gui.h"

#include <QDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace gui;
using toolkit::Sjis;

class TestForm1NewMonth : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void theNextMonthKeepsThePlanAndCarriesThePayments();
    void unsavedChangesAreAskedForFirst();

private:
    void FillDecember();
    // Answers the carry dialog once it runs: unchecks the payments named in `unchecked` and
    // presses OK, or キャンセル; the names the dialog listed are kept in `listed`.
    void AnswerCarryDialog(const QStringList& unchecked, bool ok);
    QString Path(const QString& name) const { return dir->filePath(name); }

    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
    std::unique_ptr<QTemporaryDir> dir;
    QString answer;
    QString offered;
    QStringList listed;
    int questions = 0;
};

void TestForm1NewMonth::init()
{
    dir = std::make_unique<QTemporaryDir>();
    listed.clear();
    questions = 0;
    toolkit::SetFileDialogAnswerForTest([this](toolkit::FileDialog::Kind, const QString& name) {
        offered = name;
        return answer;
    });
    toolkit::SetSaveChangesAnswerForTest([this] {
        ++questions;
        return toolkit::SaveChangesAnswer::Cancel;
    });
    form = StartMainWindow(errors);
    QVERIFY(form);
}

void TestForm1NewMonth::cleanup()
{
    StopMainWindow(form);
    toolkit::SetFileDialogAnswerForTest(nullptr);
    toolkit::SetSaveChangesAnswerForTest(nullptr);
}

void TestForm1NewMonth::FillDecember()
{
    form->Edit1->SetText("12");
    form->Edit2->SetText("25");
    form->Button2Click();
    IncomeBudget[0][3].Assign(Sjis("賞　与"));
    IncomeBudget[1][1].Assign("250000");
    IncomeBudget[1][3].Assign("50000");
    IncomeBudget[1][12].Assign("1");  // a stale total, recomputed by the new month
    ExpenseBudget[1][1].Assign("40000");
    ExpenseBudget[1][2].Assign("15000");
    ExpenseBudget[0][17].Assign(Sjis("こづかい"));
    ExpenseBudget[1][17].Assign("5000");
    form->StringGrid3->SetCell(1, 1, "30000");
    form->StringGrid3->SetCell(1, 2, "80000");
    auto item = [](int col, int row, int line, const char* name, const char* amount) {
        DetailLists[col][row][0][line].Assign(Sjis(name));
        DetailLists[col][row][1][line].Assign(amount);
    };
    item(3, 2, 6, "A電気代", "5000");    // booked
    item(10, 3, 1, "A電話代", "8000");   // booked
    item(20, 10, 2, "Ａ保険料", "12000");  // not yet booked
    item(2, 12, 1, "Aコープ", "1500");   // a shop, not a payment: the user unchecks it
    item(2, 1, 1, "お　米", "3000");
    for (int col = 1; col <= 32; ++col)
        for (int row = 1; row <= 19; ++row)
            form->StringGrid4->SetCell(col, row, "7");
    form->Memo1->SetText(Sjis("年末"));
}

void TestForm1NewMonth::AnswerCarryDialog(const QStringList& unchecked, bool ok)
{
    QTimer::singleShot(0, this, [=] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog && dialog->objectName() == "CarryDialog");
        auto* table = dialog->findChild<QTableWidget*>("Payments");
        for (int row = 0; row < table->rowCount(); ++row) {
            QTableWidgetItem* name = table->item(row, 0);
            listed << name->text() + ' ' + table->item(row, 1)->text() + ' ' + table->item(row, 3)->text();
            QCOMPARE(name->checkState(), Qt::Checked);
            if (unchecked.contains(name->text()))
                name->setCheckState(Qt::Unchecked);
        }
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->text() == (ok ? "OK" : "キャンセル")) {
                QVERIFY(!ok || button->isDefault());
                button->click();
            }
    });
}

void TestForm1NewMonth::theNextMonthKeepsThePlanAndCarriesThePayments()
{
    answer = Path("start.ZMR");
    form->SaveAs1->trigger();  // the lists as at program start, to compare with
    FillDecember();
    answer = Path("12月.ZMR");
    form->SaveAs1->trigger();
    AnswerCarryDialog({ "Ａコープ" }, true);
    form->NewMonth1->trigger();
    QVERIFY(errors.empty());
    QCOMPARE(listed, (QStringList { "Ａコープ 1500 1月25日", "Ａ電気代 5000 1月26日", "Ａ電話代 8000 2月2日",
                         "Ａ保険料 12000 2月12日" }));
    QVERIFY(form->LedgerChanged);
    answer = Path("1月.ZMR");
    form->Save1->trigger();  // the new month has no name: Save asks, offering the month's
    QCOMPARE(offered, Path("1月.ZMR"));

    LedgerBytes january(Path("1月.ZMR"));
    LedgerBytes start(Path("start.ZMR"));
    QCOMPARE(january.Month(), QByteArray("1"));
    QCOMPARE(january.StartDay(), QByteArray("25"));
    QCOMPARE(january.Daily(2, 0), ShiftJis("1月25日"));
    QCOMPARE(january.Daily(8, 0), ShiftJis("1月31日"));
    QCOMPARE(january.Daily(9, 0), ShiftJis("2月1日"));
    QCOMPARE(january.Daily(32, 0), ShiftJis("2月24日"));
    QCOMPARE(january.Income(0, 3), ShiftJis("賞　与"));
    QCOMPARE(january.Income(1, 1), QByteArray("250000"));
    QCOMPARE(january.Income(1, 12), QByteArray("300000"));
    QCOMPARE(january.Expense(1, 2), QByteArray("15000"));
    QCOMPARE(january.Expense(0, 17), ShiftJis("こづかい"));
    QCOMPARE(january.Expense(1, 18), QByteArray("60000"));
    QCOMPARE(january.OnHand(1, 1), QByteArray("30000"));
    QCOMPARE(january.OnHand(1, 2), QByteArray("80000"));
    QCOMPARE(january.OnHand(1, 4), QByteArray("110000"));
    QCOMPARE(january.Status(1, 2), QByteArray("110000"));
    QCOMPARE(january.Status(1, 1), QByteArray());
    QCOMPARE(january.Memo(), ShiftJis("メモ"));
    for (int col = 1; col <= 32; ++col)
        for (int row = 1; row <= 19; ++row)
            QVERIFY2(january.Daily(col, row).isEmpty(), qPrintable(QString("day cell %1, %2").arg(col).arg(row)));
    // The payments, unbooked, in the first free item row of their list; every other list as at start.
    struct Carried {
        int Col, Row, Line;
        const char* Name;
        const char* Amount;
    };
    const Carried carried[] = { { 3, 2, 5, "Ａ電気代", "5000" }, { 10, 3, 4, "Ａ電話代", "8000" },
        { 20, 10, 1, "Ａ保険料", "12000" } };
    QByteArray expected = start.Bytes();
    for (const Carried& payment : carried) {
        QCOMPARE(january.Detail(payment.Col, payment.Row, 0, payment.Line), ShiftJis(payment.Name));
        QCOMPARE(january.Detail(payment.Col, payment.Row, 1, payment.Line), QByteArray(payment.Amount));
        for (int listCol = 0; listCol < 2; ++listCol) {
            qsizetype slot = LedgerBytes::DetailOffset(payment.Col, payment.Row, listCol, payment.Line);
            expected.replace(slot, 13, january.Bytes().mid(slot, 13));
        }
    }
    QVERIFY(january.Bytes().mid(10322, 326040) == expected.mid(10322, 326040));

    // Confirming a day's list books its payment once.
    DoubleClickCell(form->StringGrid4, 3, 2);
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QCOMPARE(form->StringGrid3->Cell(1, 2), std::string("75000"));
    QCOMPARE(DetailLists[3][2][0][5].Str(), Sjis("A電気代"));
    DoubleClickCell(form->StringGrid4, 3, 2);
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QCOMPARE(form->StringGrid3->Cell(1, 2), std::string("75000"));
    QVERIFY(errors.empty());
}

void TestForm1NewMonth::unsavedChangesAreAskedForFirst()
{
    FillDecember();
    ClickCell(form->StringGrid4, 5, 5);
    Type("300");
    form->NewMonth1->trigger();  // the question is answered キャンセル
    QCOMPARE(questions, 1);
    QVERIFY(listed.isEmpty());
    QCOMPARE(form->Edit1->Text(), std::string("12"));
    QCOMPARE(form->StringGrid4->Cell(5, 5), std::string("300"));
    // Saved, the month asks nothing; キャンセル in the carry dialog changes nothing either.
    answer = Path("12月.ZMR");
    form->SaveAs1->trigger();
    AnswerCarryDialog({}, false);
    form->NewMonth1->trigger();
    QCOMPARE(questions, 1);
    QCOMPARE(listed.size(), 4);
    QCOMPARE(form->Edit1->Text(), std::string("12"));
    QCOMPARE(DetailLists[20][10][0][2].Str(), Sjis("Ａ保険料"));
    QVERIFY(!form->LedgerChanged);
}

QTEST_MAIN(TestForm1NewMonth)
#include "tst_form1_newmonth.moc"

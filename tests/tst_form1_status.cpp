// The period labels, the money on hand, the current status and the budget-and-progress grid of the
// main window, driven through its edits, buttons and grids and through window activation.
#include "app/form1.h"
#include "chert/form5.h"
#include "herup/form4.h"
#include "ledger/tables.h"
#include "sisyutp/form3.h"
#include "syunyup/form2.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"
#include "gui.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using toolkit::Sjis;
using toolkit::StringGrid;

namespace {

using namespace gui;

} // namespace

class TestForm1Status : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void periodLabelsRunThirtyOneDays_data();
    void periodLabelsRunThirtyOneDays();
    void leavingTheStartDayWritesTheLabels();
    void periodNeedsBothFields_data();
    void periodNeedsBothFields();
    void periodStopsAtANonNumber();

    void leavingTheOnHandGridTotalsIt_data();
    void leavingTheOnHandGridTotalsIt();
    void anOnHandAmountThatIsNoIntegerChangesNothing();
    void anOnHandTotalBeyondTheRangeChangesNothing();
    void differenceNeedsBothBalances();
    void selectingACellInTheDailyTableUpdatesTheDifference();

    void activationRefreshesBudgetAndProgress_data();
    void activationRefreshesBudgetAndProgress();
    void activationWithABadIncomeKeepsTheForecast();
    void aFailingActivationIsShownOnce();
    void corruptedLedgersGiveAtMostOneErrorBox();
    void theFirstActivationAfterStartShowsAZeroPlan();

    void doubleClickOpensTheEditorOfTheRow_data();
    void doubleClickOpensTheEditorOfTheRow();
    void doubleClickOnACaptionUsesTheRowPickedLast();

private:
    void TypeIntoCell(StringGrid* grid, int col, int row, const QString& text);
    void LeaveGrid();

    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
};

void TestForm1Status::init()
{
    form = StartMainWindow(errors);
    QVERIFY(form);
}

void TestForm1Status::cleanup()
{
    StopMainWindow(form);
}

void TestForm1Status::TypeIntoCell(StringGrid* grid, int col, int row, const QString& text)
{
    ClickCell(grid, col, row);
    Type(text);
}

// The focus goes to the memo, as when the user clicks it.
void TestForm1Status::LeaveGrid() { QTest::mouseClick(form->Memo1->viewport(), Qt::LeftButton, {}, QPoint(5, 5)); }

void TestForm1Status::periodLabelsRunThirtyOneDays_data()
{
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("day");
    QTest::addColumn<QStringList>("labels");  // "column=label"
    QTest::newRow("December 25 runs over the year's end to January 24")
        << "12" << "25" << QStringList { "2=12月25日", "8=12月31日", "9=1月1日", "32=1月24日" };
    QTest::newRow("February 1 runs to February 31") << "2" << "1"
                                                    << QStringList { "2=2月1日", "31=2月30日", "32=2月31日" };
    QTest::newRow("start day 0 is shown as day 0, then days 1 to 30")
        << "5" << "0" << QStringList { "2=5月0日", "3=5月1日", "32=5月30日" };
    QTest::newRow("start day 32 begins on day 1 of the following month")
        << "5" << "32" << QStringList { "2=6月1日", "32=6月31日" };
    QTest::newRow("start day 40 runs to day 70 without a wrap")
        << "5" << "40" << QStringList { "2=5月40日", "3=5月41日", "32=5月70日" };
    QTest::newRow("month 13 stays until the day wraps and then reads 14")
        << "13" << "25" << QStringList { "2=13月25日", "8=13月31日", "9=14月1日", "32=14月24日" };
    QTest::newRow("December 32 begins in January") << "12" << "32" << QStringList { "2=1月1日", "32=1月31日" };
}

void TestForm1Status::periodLabelsRunThirtyOneDays()
{
    QFETCH(QString, month);
    QFETCH(QString, day);
    QFETCH(QStringList, labels);
    QTest::mouseClick(form->Edit1, Qt::LeftButton);
    Type(month);
    QTest::mouseClick(form->Edit2, Qt::LeftButton);
    Type(day);
    QTest::mouseClick(form->Button2, Qt::LeftButton);
    for (const QString& expected : labels) {
        int col = expected.section('=', 0, 0).toInt();
        QCOMPARE(toolkit::FromSjis(form->StringGrid4->Cell(col, 0)), expected.section('=', 1));
    }
    QVERIFY(errors.empty());
}

void TestForm1Status::leavingTheStartDayWritesTheLabels()
{
    QTest::mouseClick(form->Edit1, Qt::LeftButton);
    Type("4");
    QTest::mouseClick(form->Edit2, Qt::LeftButton);
    Type("10");
    Press(Qt::Key_Tab);
    QCOMPARE(toolkit::FromSjis(form->StringGrid4->Cell(2, 0)), QString("4月10日"));
    QCOMPARE(toolkit::FromSjis(form->StringGrid4->Cell(32, 0)), QString("5月9日"));
}

void TestForm1Status::periodNeedsBothFields_data()
{
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("day");
    QTest::newRow("an empty start day changes no label") << "12" << "";
    QTest::newRow("an empty month changes no label") << "" << "25";
}

void TestForm1Status::periodNeedsBothFields()
{
    QFETCH(QString, month);
    QFETCH(QString, day);
    form->StringGrid4->SetCell(2, 0, "earlier");
    QTest::mouseClick(form->Edit1, Qt::LeftButton);
    Type(month);
    QTest::mouseClick(form->Edit2, Qt::LeftButton);
    Type(day);
    QTest::mouseClick(form->Button2, Qt::LeftButton);
    QCOMPARE(form->StringGrid4->Cell(2, 0), std::string("earlier"));
    QCOMPARE(form->StringGrid4->Cell(3, 0), std::string());
    QVERIFY(errors.empty());
}

void TestForm1Status::periodStopsAtANonNumber()
{
    form->StringGrid4->SetCell(2, 0, "earlier");
    QTest::mouseClick(form->Edit1, Qt::LeftButton);
    Type("1a");
    QTest::mouseClick(form->Edit2, Qt::LeftButton);
    Type("5");
    Press(Qt::Key_Tab);
    QCOMPARE(errors, std::vector<std::string> { NotAnInteger("1a") });
    QCOMPARE(form->StringGrid4->Cell(2, 0), std::string("earlier"));
    QCOMPARE(form->StringGrid4->Cell(32, 0), std::string());
}

void TestForm1Status::leavingTheOnHandGridTotalsIt_data()
{
    QTest::addColumn<QString>("wallet");
    QTest::addColumn<QString>("bank");
    QTest::addColumn<QString>("other");
    QTest::addColumn<QString>("calculated");
    QTest::addColumn<QByteArray>("total");
    QTest::addColumn<QByteArray>("difference");
    QTest::newRow("an empty bank is skipped and no calculated balance leaves no difference")
        << "300" << "" << "50" << "" << QByteArray("350") << QByteArray("");
    QTest::newRow("a calculated balance below the real one gives a positive difference")
        << "300" << "" << "50" << "200" << QByteArray("350") << QByteArray("150");
    QTest::newRow("a calculated balance above the real one gives a negative difference")
        << "300" << "" << "50" << "500" << QByteArray("350") << QByteArray("-150");
    QTest::newRow("all three empty total 0") << "" << "" << "" << "20" << QByteArray("0") << QByteArray("-20");
    QTest::newRow("the bank counts with the other two") << "1" << "20" << "300" << "" << QByteArray("321")
                                                        << QByteArray("");
}

void TestForm1Status::leavingTheOnHandGridTotalsIt()
{
    QFETCH(QString, wallet);
    QFETCH(QString, bank);
    QFETCH(QString, other);
    QFETCH(QString, calculated);
    QFETCH(QByteArray, total);
    QFETCH(QByteArray, difference);
    if (!calculated.isEmpty())
        TypeIntoCell(form->StringGrid2, 1, 1, calculated);
    TypeIntoCell(form->StringGrid3, 1, 1, wallet);
    TypeIntoCell(form->StringGrid3, 1, 2, bank);
    TypeIntoCell(form->StringGrid3, 1, 3, other);
    LeaveGrid();
    QCOMPARE(form->StringGrid3->Cell(1, 4), total.toStdString());
    QCOMPARE(form->StringGrid2->Cell(1, 2), total.toStdString());
    QCOMPARE(form->StringGrid2->Cell(1, 3), difference.toStdString());
    QVERIFY(errors.empty());
}

void TestForm1Status::anOnHandAmountThatIsNoIntegerChangesNothing()
{
    form->StringGrid3->SetCell(1, 4, "7");
    form->StringGrid2->SetCell(1, 2, "7");
    form->StringGrid2->SetCell(1, 3, "5");
    TypeIntoCell(form->StringGrid2, 1, 1, "2");
    TypeIntoCell(form->StringGrid3, 1, 1, QStringLiteral("300円"));
    LeaveGrid();
    QCOMPARE(errors, std::vector<std::string> { NotAnInteger(Sjis("300円")) });
    QCOMPARE(form->StringGrid3->Cell(1, 4), std::string("7"));
    QCOMPARE(form->StringGrid2->Cell(1, 2), std::string("7"));
    QCOMPARE(form->StringGrid2->Cell(1, 3), std::string("5"));
}

void TestForm1Status::anOnHandTotalBeyondTheRangeChangesNothing()
{
    form->StringGrid3->SetCell(1, 4, "7");
    TypeIntoCell(form->StringGrid3, 1, 1, "2147483647");
    TypeIntoCell(form->StringGrid3, 1, 3, "1");
    LeaveGrid();
    QCOMPARE(errors, std::vector<std::string> { Sjis("整数オーバーフロー.") });
    QCOMPARE(form->StringGrid3->Cell(1, 4), std::string("7"));
    QCOMPARE(form->StringGrid2->Cell(1, 2), std::string());
}

void TestForm1Status::differenceNeedsBothBalances()
{
    // Leaving the budget-and-progress grid runs the difference update alone.
    form->StringGrid2->SetCell(1, 3, "9");
    TypeIntoCell(form->StringGrid2, 1, 2, "100");
    ClickCell(form->StringGrid1, 1, 1);
    LeaveGrid();
    QCOMPARE(form->StringGrid2->Cell(1, 3), std::string("9"));
    TypeIntoCell(form->StringGrid2, 1, 1, "30");
    ClickCell(form->StringGrid1, 1, 1);
    LeaveGrid();
    QCOMPARE(form->StringGrid2->Cell(1, 3), std::string("70"));
    QVERIFY(errors.empty());
}

void TestForm1Status::selectingACellInTheDailyTableUpdatesTheDifference()
{
    form->StringGrid2->SetCell(1, 1, "40");
    form->StringGrid2->SetCell(1, 2, "100");
    ClickCell(form->StringGrid4, 2, 1);
    QCOMPARE(form->StringGrid2->Cell(1, 3), std::string("60"));
    form->StringGrid2->SetCell(1, 1, "4x");
    ClickCell(form->StringGrid3, 1, 2);
    QCOMPARE(errors, std::vector<std::string> { NotAnInteger("4x") });
    QCOMPARE(form->StringGrid2->Cell(1, 3), std::string("60"));
}

void TestForm1Status::activationRefreshesBudgetAndProgress_data()
{
    QTest::addColumn<QByteArray>("income");
    QTest::addColumn<QByteArray>("spending");
    QTest::addColumn<int>("projected");
    QTest::addColumn<QByteArray>("forecast");
    QTest::addColumn<int>("incomeTotal");
    // The analysis window built at start has written "0" into the spending total by then.
    QTest::newRow("right after start the income is empty and the forecast is 0")
        << QByteArray() << QByteArray("0") << 0 << QByteArray("0") << 0;
    QTest::newRow("the forecast is the income less the projected spending")
        << QByteArray("280000") << QByteArray("60000") << 65000 << QByteArray("215000") << 280000;
    QTest::newRow("projected spending above the income gives a negative forecast")
        << QByteArray("1000") << QByteArray("") << 1500 << QByteArray("-500") << 1000;
}

void TestForm1Status::activationRefreshesBudgetAndProgress()
{
    QFETCH(QByteArray, income);
    QFETCH(QByteArray, spending);
    QFETCH(int, projected);
    QFETCH(QByteArray, forecast);
    QFETCH(int, incomeTotal);
    IncomeBudget[1][12].Assign(income.toStdString());
    ExpenseBudget[1][18].Assign(spending.toStdString());
    ProjectedSpending = projected;
    QWidget other;
    other.show();
    QVERIFY(Activate(&other));
    QVERIFY(Activate(form.get()));
    QCOMPARE(form->StringGrid1->Cell(1, 1), income.toStdString());
    QCOMPARE(form->StringGrid1->Cell(1, 2), spending.toStdString());
    QCOMPARE(form->StringGrid1->Cell(1, 3), forecast.toStdString());
    QCOMPARE(IncomeTotal, incomeTotal);
    QVERIFY(errors.empty());
}

void TestForm1Status::activationWithABadIncomeKeepsTheForecast()
{
    form->StringGrid1->SetCell(1, 3, "12");
    IncomeTotal = 5;
    IncomeBudget[1][12].Assign("1e5");
    ExpenseBudget[1][18].Assign("300");
    QWidget other;
    other.show();
    QVERIFY(Activate(&other));
    QVERIFY(Activate(form.get()));
    QCOMPARE(errors, std::vector<std::string> { NotAnInteger("1e5") });
    QCOMPARE(form->StringGrid1->Cell(1, 1), std::string("1e5"));
    QCOMPARE(form->StringGrid1->Cell(1, 2), std::string("300"));
    QCOMPARE(form->StringGrid1->Cell(1, 3), std::string("12"));
    QCOMPARE(IncomeTotal, 5);
}

void TestForm1Status::aFailingActivationIsShownOnce()
{
    IncomeBudget[1][12].Assign("abc");
    QWidget other;
    other.show();
    auto comeBack = [&] { return Activate(&other) && Activate(form.get()); };
    for (int i = 0; i < 3; ++i)
        QVERIFY(comeBack());
    QCOMPARE(errors, std::vector<std::string> { NotAnInteger("abc") });
    // The step runs at every activation all the same: a corrected total takes effect at the next,
    IncomeBudget[1][12].Assign("500");
    QVERIFY(comeBack());
    QCOMPARE(form->StringGrid1->Cell(1, 1), std::string("500"));
    // and a failure after a success is shown again.
    IncomeBudget[1][12].Assign("abc");
    QVERIFY(comeBack());
    QCOMPARE(errors.size(), size_t(2));
}

// Ledgers corrupted at random, each opened and followed by returns to the main window: at most
// one error box each, and the program stays usable: the ledger saves, and the saved file opens
// with the same outcome as the one it came from.
void TestForm1Status::corruptedLedgersGiveAtMostOneErrorBox()
{
    QTemporaryDir dir;
    const QString damaged = dir.filePath("damaged.ZMR");
    const QString saved = dir.filePath("saved.ZMR");
    QString answer;
    toolkit::SetFileDialogAnswerForTest([&answer](toolkit::FileDialog::Kind, const QString&) { return answer; });
    auto run = [&](QAction* command, const QString& name) {
        answer = name;
        command->trigger();
    };

    // A sound month to start from, saved by the program.
    IncomeBudget[1][1].Assign("250000");
    IncomeBudget[1][12].Assign("250000");
    ExpenseBudget[1][1].Assign("40000");
    ExpenseBudget[1][18].Assign("40000");
    for (int col = 2; col <= 32; ++col) {
        form->StringGrid4->SetCell(col, 1, std::to_string(col * 100));
        form->StringGrid4->SetCell(col, 18, std::to_string(col * 100));
    }
    form->StringGrid4->SetCell(1, 1, "52700");
    form->StringGrid4->SetCell(1, 18, "52700");
    form->StringGrid3->SetCell(1, 1, "30000");
    run(form->SaveAs1, saved);
    QFile baseFile(saved);
    QVERIFY(baseFile.open(QIODevice::ReadOnly));
    const QByteArray base = baseFile.readAll();
    QCOMPARE(base.size(), 336780);

    constexpr int Totals[] = { 559, 806 + 49 * 13, 1742 + 38 * 13, 1742 + 21 * 13, 1742 + 58 * 13, 1742 + 60 * 13 };
    QRandomGenerator random(20261209);
    QWidget other;
    other.show();
    for (int ledger = 0; ledger < 200; ++ledger) {
        QByteArray bytes = base;
        switch (ledger % 3) {
        case 0:  // random bytes anywhere
            for (int i = 0; i < 64; ++i)
                bytes[random.bounded(bytes.size())] = char(random.bounded(256));
            break;
        case 1:  // length bytes of 255 in the 13-byte slots
            for (int i = 0; i < 32; ++i)
                bytes[random.bounded(336362 / 13) * 13] = char(255);
            break;
        case 2:  // one changed character in each total
            for (int offset : Totals) {
                int length = static_cast<unsigned char>(bytes[offset]);
                if (length > 0)
                    bytes[offset + 1 + random.bounded(length)] = "0123456789abc-+ $"[random.bounded(17)];
            }
            break;
        }
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
        file.close();
        errors.clear();
        run(form->N2, damaged);
        for (int i = 0; i < 2; ++i)
            QVERIFY(Activate(&other) && Activate(form.get()));
        QVERIFY2(errors.size() <= 1, qPrintable(QString("ledger %1: %2 boxes").arg(ledger).arg(errors.size())));
        std::vector<std::string> opened = errors;
        QFile::remove(saved);
        run(form->SaveAs1, saved);
        QCOMPARE(errors, opened);
        QCOMPARE(QFileInfo(saved).size(), qint64(336780));
        errors.clear();
        run(form->N2, saved);
        QCOMPARE(errors, opened);
    }
    toolkit::SetFileDialogAnswerForTest(nullptr);
}

void TestForm1Status::theFirstActivationAfterStartShowsAZeroPlan()
{
    form.reset();
    StartWindows windows = StartProgram();
    std::unique_ptr<TForm1> main(windows.Main);
    std::unique_ptr<TForm4> help(windows.Help);
    std::unique_ptr<TForm5> analysis(windows.Analysis);
    QVERIFY(QTest::qWaitFor([&main] { return QApplication::activeWindow() == main.get(); }));
    QCOMPARE(main->StringGrid1->Cell(1, 1), std::string());
    QCOMPARE(main->StringGrid1->Cell(1, 2), std::string("0"));
    QCOMPARE(main->StringGrid1->Cell(1, 3), std::string("0"));
    // The expense editor opened first shows 0 everywhere and projects nothing.
    DoubleClickCell(main->StringGrid1, 1, 2);
    auto* editor = main->findChild<TForm3*>();
    QVERIFY(editor);
    for (int row = 1; row <= 18; ++row)
        for (int col = 1; col <= 3; ++col)
            QCOMPARE(editor->StringGrid1->Cell(col, row), std::string("0"));
    QCOMPARE(ProjectedSpending, 0);
    QVERIFY(errors.empty());
}

void TestForm1Status::doubleClickOpensTheEditorOfTheRow_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("income");
    QTest::addColumn<bool>("expense");
    QTest::newRow("the income row opens the income editor") << 1 << true << false;
    QTest::newRow("the spending row opens the expense editor") << 2 << false << true;
    QTest::newRow("the savings forecast row opens nothing") << 3 << false << false;
}

void TestForm1Status::doubleClickOpensTheEditorOfTheRow()
{
    QFETCH(int, row);
    QFETCH(bool, income);
    QFETCH(bool, expense);
    DoubleClickCell(form->StringGrid1, 1, row);
    QCOMPARE(form->findChildren<TForm2*>().size(), income ? 1 : 0);
    QCOMPARE(form->findChildren<TForm3*>().size(), expense ? 1 : 0);
    if (income)
        QVERIFY(form->findChild<TForm2*>()->isVisible());
    if (expense)
        QVERIFY(form->findChild<TForm3*>()->isVisible());
}

void TestForm1Status::doubleClickOnACaptionUsesTheRowPickedLast()
{
    ClickCell(form->StringGrid2, 1, 2);
    QTest::mouseDClick(form->StringGrid1->viewport(), Qt::LeftButton, {}, CellCentre(form->StringGrid1, 0, 1));
    QCOMPARE(form->findChildren<TForm2*>().size(), 0);
    QCOMPARE(form->findChildren<TForm3*>().size(), 1);
}

QTEST_MAIN(TestForm1Status)
#include "tst_form1_status.moc"

// The daily expense table and its detail lists, driven through the real window: a double click
// opens a list, items are typed into the list grid, and OK books, stores, sums and totals.
#include "app/form1.h"
#include "ledger/tables.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"
#include "gui.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

using toolkit::Sjis;
using toolkit::StringGrid;

namespace {

using namespace gui;

std::string Message(const char* format, const std::string& text = {})
{
    std::string message = toolkit::ErrorBoxText(Sjis(format));
    std::string::size_type placeholder = message.find("%s");
    if (placeholder != std::string::npos)
        message.replace(placeholder, 2, text);
    return message;
}

std::string Stored(int col, int row, int listCol, int listRow)
{
    return DetailLists[col][row][listCol][listRow].Str();
}

// "col,row,text" triples, for the data tables.
struct Entry {
    int Col;
    int Row;
    QString Text;
};

std::vector<Entry> Entries(const QStringList& triples)
{
    std::vector<Entry> entries;
    for (const QString& triple : triples) {
        QStringList parts = triple.split(',');
        entries.push_back({ parts[0].toInt(), parts[1].toInt(), parts.mid(2).join(',') });
    }
    return entries;
}

} // namespace

class TestForm1Detail : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void doubleClickOpensTheDayCellsList();
    void doubleClickOnAFixedCellOpensNoList_data();
    void doubleClickOnAFixedCellOpensNoList();
    void detailSumGoesIntoTheDayCell_data();
    void detailSumGoesIntoTheDayCell();
    void longTextsAreStoredCutTo12Bytes();
    void dayAndRowTotals_data();
    void dayAndRowTotals();
    void dailyTableIsACopyOfTheGrid();
    void bankItemIsBookedOnce();
    void bookedNames_data();
    void bookedNames();
    void bankItemsOfTheUnshownRowsAreBooked();
    void emptyBankBalanceStopsBeforeStoring();
    void aFailedBookingBooksNothing();
    void failingDetailSumLeavesTheListOpen();
    void failingTotalsLeaveTheDailyTable();
    void sumsThatOverflowFail_data();
    void sumsThatOverflowFail();
    void calculatedBalance_data();
    void calculatedBalance();
    void okStoresIntoTheCellWhoseListWasOpened();
    void okWithoutAnOpenListStoresNothing_data();
    void okWithoutAnOpenListStoresNothing();
    void aLineUnderTheListTellsWhetherTheNameFits_data();
    void aLineUnderTheListTellsWhetherTheNameFits();

private:
    void OpenList(int col, int row) { DoubleClickCell(form->StringGrid4, col, row); }
    void TypeItem(int row, const QString& name, const QString& amount);
    void PressOk() { QTest::mouseClick(form->Button1, Qt::LeftButton); }
    void SetBank(const QString& amount) { TypeInto(form->StringGrid3, 1, 2, amount); }

    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
};

void TestForm1Detail::init()
{
    form = StartMainWindow(errors);
    QVERIFY(form);
}

void TestForm1Detail::cleanup()
{
    StopMainWindow(form);
}

void TestForm1Detail::TypeItem(int row, const QString& name, const QString& amount)
{
    if (!name.isEmpty())
        TypeInto(form->StringGrid5, 0, row, name);
    if (!amount.isEmpty())
        TypeInto(form->StringGrid5, 1, row, amount);
}

void TestForm1Detail::aLineUnderTheListTellsWhetherTheNameFits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("red");
    QTest::newRow("a name within its bytes") << "お米5kg" << "7 / 12 バイト" << false;
    QTest::newRow("exactly 12 bytes") << "牛乳とパン屋" << "12 / 12 バイト" << false;
    QTest::newRow("past 12 bytes, with what is kept")
        << "とても長い品物の名前" << "20 / 12 バイト　保存:「とても長い品」" << true;
    QTest::newRow("a character that cannot be stored") << "米😀" << "この文字は保存できません" << true;
}

// The line shows only while a name cell of the list is typed into; the amount cells have none.
void TestForm1Detail::aLineUnderTheListTellsWhetherTheNameFits()
{
    QFETCH(QString, typed);
    QFETCH(QString, line);
    QFETCH(bool, red);
    QLabel* fit = form->findChild<QLabel*>("NameBytes1");
    QVERIFY(fit && !fit->isVisible());
    OpenList(2, 1);
    TypeInto(form->StringGrid5, 0, 6, typed);
    QTRY_COMPARE(fit->text(), line);
    QVERIFY(fit->isVisible());
    QCOMPARE(fit->styleSheet().contains("red"), red);
    ClickCell(form->StringGrid5, 1, 6);
    QTRY_VERIFY(!fit->isVisible());
}

void TestForm1Detail::doubleClickOpensTheDayCellsList()
{
    DetailLists[5][3][0][18].Assign("spare");
    DetailLists[5][3][1][17].Assign("9");
    OpenList(5, 3);
    QCOMPARE(QApplication::focusWidget(), form->StringGrid5);
    QCOMPARE(form->StringGrid5->Cell(0, 0), Sjis("交通･通信費"));
    QCOMPARE(form->StringGrid5->Cell(1, 0), Sjis("金　額"));
    QCOMPARE(form->StringGrid5->Cell(0, 3), Sjis("ｲﾝﾀｰﾈｯﾄ"));
    QCOMPARE(form->StringGrid5->Cell(1, 17), std::string("9"));
    QCOMPARE(form->StringGrid5->Cell(0, 18), std::string("spare"));
    PressOk();
    QCOMPARE(Stored(5, 3, 0, 18), std::string("spare"));
    QCOMPARE(form->StringGrid5->Cell(0, 18), std::string());
    QCOMPARE(form->StringGrid5->Cell(0, 0), std::string());
}

void TestForm1Detail::doubleClickOnAFixedCellOpensNoList_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::newRow("a category caption") << 0 << 3;
    QTest::newRow("a month total") << 1 << 3;
    QTest::newRow("a day label") << 4 << 0;
}

void TestForm1Detail::doubleClickOnAFixedCellOpensNoList()
{
    QFETCH(int, col);
    QFETCH(int, row);
    ClickCell(form->StringGrid4, 4, 2);  // a day cell picked before
    std::string caption = form->StringGrid4->Cell(col, row);
    OpenList(col, row);
    QCOMPARE(form->StringGrid5->Cell(0, 0), std::string());
    QVERIFY(!form->OpenList);
    PressOk();
    QCOMPARE(form->StringGrid4->Cell(col, row), caption);
    QCOMPARE(form->StringGrid4->Cell(4, 2), std::string());
}

void TestForm1Detail::detailSumGoesIntoTheDayCell_data()
{
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QString>("sum");
    QTest::newRow("300, empty and 1200 give 1500") << QStringList { "300", "", "1200" } << "1500";
    QTest::newRow("a list without amounts gives 0") << QStringList {} << "0";
    QTest::newRow("a negative amount is taken off") << QStringList { "500", "-200" } << "300";
    QTest::newRow("leading blanks and a hexadecimal amount are amounts") << QStringList { " 10", "$10" } << "26";
}

void TestForm1Detail::detailSumGoesIntoTheDayCell()
{
    QFETCH(QStringList, amounts);
    QFETCH(QString, sum);
    form->StringGrid4->SetCell(2, 1, "999");
    OpenList(2, 1);
    for (int i = 0; i < amounts.size(); ++i)
        TypeItem(i + 1, {}, amounts[i]);
    PressOk();
    QCOMPARE(errors, std::vector<std::string>());
    QCOMPARE(form->StringGrid4->Cell(2, 1), sum.toStdString());
    QCOMPARE(DailyTable[2][1].Str(), sum.toStdString());
    for (int i = 0; i < amounts.size(); ++i)
        QCOMPARE(Stored(2, 1, 1, i + 1), amounts[i].toStdString());
    QCOMPARE(Stored(2, 1, 0, 1), Sjis("お　米"));
}

void TestForm1Detail::longTextsAreStoredCutTo12Bytes()
{
    OpenList(3, 1);
    TypeItem(2, QStringLiteral("ほうれん草のおひたし"), "000000000012345");
    std::string name = Sjis("ほうれん草のおひたし");
    QCOMPARE(form->StringGrid5->Cell(0, 2), name);
    PressOk();
    QCOMPARE(Stored(3, 1, 0, 2), name.substr(0, 12));
    QCOMPARE(Stored(3, 1, 1, 2), std::string("000000000012"));
    // The sum is of the stored amount, as cut.
    QCOMPARE(errors, std::vector<std::string>());
    QCOMPARE(form->StringGrid4->Cell(3, 1), std::string("12"));
}

void TestForm1Detail::dayAndRowTotals_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("the captionless row 17 counts in the day's spending")
        << QStringList { "2,1,100", "2,17,20" } << QStringList { "2,18,120", "1,17,20", "1,1,100", "1,18,120" };
    QTest::newRow("bank payments count in their row total but in no day's spending") << QStringList { "2,1,100",
        "2,19,4000", "3,19,500" } << QStringList { "2,18,100", "3,18,", "1,19,4500", "1,18,100" };
    QTest::newRow("row totals run over the days and the month total over the day totals") << QStringList { "2,1,100",
        "3,1,5", "4,2,7" } << QStringList { "1,1,105", "1,2,7", "2,18,100", "3,18,5", "4,18,7", "1,18,112" };
    QTest::newRow("a day without amounts keeps its old total")
        << QStringList { "2,18,77", "3,1,5" } << QStringList { "2,18,77", "3,18,5", "1,18,82" };
    QTest::newRow("a row without amounts keeps its old total")
        << QStringList { "1,5,9", "2,1,1" } << QStringList { "1,5,9", "1,1,1" };
}

void TestForm1Detail::dayAndRowTotals()
{
    QFETCH(QStringList, typed);
    QFETCH(QStringList, expected);
    for (const Entry& entry : Entries(typed))
        TypeInto(form->StringGrid4, entry.Col, entry.Row, entry.Text);
    PressOk();
    QCOMPARE(errors, std::vector<std::string>());
    for (const Entry& entry : Entries(expected)) {
        QCOMPARE(form->StringGrid4->Cell(entry.Col, entry.Row), entry.Text.toStdString());
        QCOMPARE(DailyTable[entry.Col][entry.Row].Str(), entry.Text.toStdString());
    }
}

void TestForm1Detail::dailyTableIsACopyOfTheGrid()
{
    form->StringGrid4->SetCell(2, 0, Sjis("12月25日"));
    // A caption typed into the captionless row, longer than a cell of the table.
    ClickCell(form->StringGrid4, 0, 17);
    Type(QStringLiteral("こづかいと雑費"));
    PressOk();
    QCOMPARE(DailyTable[0][0].Str(), Sjis("項　目"));
    QCOMPARE(DailyTable[0][19].Str(), Sjis("銀行払出し"));
    QCOMPARE(DailyTable[2][0].Str(), Sjis("12月25日"));
    QCOMPARE(DailyTable[0][17].Str(), Sjis("こづかいと雑費").substr(0, 12));
    QCOMPARE(form->StringGrid4->Cell(0, 17), Sjis("こづかいと雑費"));
}

void TestForm1Detail::bankItemIsBookedOnce()
{
    SetBank("80000");
    OpenList(2, 2);
    TypeItem(1, QStringLiteral("Ａ電気代"), "5000");
    PressOk();
    QCOMPARE(errors, std::vector<std::string>());
    QCOMPARE(form->StringGrid3->Cell(1, 2), std::string("75000"));
    QCOMPARE(Stored(2, 2, 0, 1), Sjis("A電気代"));
    QCOMPARE(form->StringGrid4->Cell(2, 2), std::string("5000"));
    OpenList(2, 2);
    QCOMPARE(form->StringGrid5->Cell(0, 1), Sjis("A電気代"));
    PressOk();
    QCOMPARE(form->StringGrid3->Cell(1, 2), std::string("75000"));
    QCOMPARE(form->StringGrid4->Cell(2, 2), std::string("5000"));
}

void TestForm1Detail::bookedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("booked");
    QTest::addColumn<QString>("bank");
    QTest::newRow("the bare two-byte mark becomes A") << "Ａ" << QByteArray("A") << "79000";
    std::string twelve = Sjis("電気代水道代");
    QTest::newRow("the mark and 12 more bytes become A and the first 11")
        << "Ａ電気代水道代" << QByteArray::fromStdString("A" + twelve.substr(0, 11)) << "79000";
    QTest::newRow("an item marked with the half-width A is not booked again")
        << "A電気代" << QByteArray::fromStdString(Sjis("A電気代")) << "80000";
    QTest::newRow("the mark after the first character is no mark")
        << "電Ａ" << QByteArray::fromStdString(Sjis("電Ａ")) << "80000";
}

void TestForm1Detail::bookedNames()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, booked);
    QFETCH(QString, bank);
    SetBank("80000");
    OpenList(2, 3);
    TypeItem(2, name, "1000");
    PressOk();
    QCOMPARE(errors, std::vector<std::string>());
    QCOMPARE(Stored(2, 3, 0, 2), booked.toStdString());
    QCOMPARE(form->StringGrid3->Cell(1, 2), bank.toStdString());
}

void TestForm1Detail::bankItemsOfTheUnshownRowsAreBooked()
{
    DetailLists[4][6][0][18].Assign(Sjis("Ａ予備"));
    DetailLists[4][6][1][18].Assign("100");
    SetBank("1000");
    OpenList(4, 6);
    PressOk();
    QCOMPARE(errors, std::vector<std::string>());
    QCOMPARE(form->StringGrid3->Cell(1, 2), std::string("900"));
    QCOMPARE(Stored(4, 6, 0, 18), Sjis("A予備"));
    // The spare row is carried, but never summed.
    QCOMPARE(form->StringGrid4->Cell(4, 6), std::string("0"));
}

void TestForm1Detail::emptyBankBalanceStopsBeforeStoring()
{
    OpenList(2, 4);
    TypeItem(1, QStringLiteral("Ａ電気代"), "5000");
    PressOk();
    QCOMPARE(errors, std::vector<std::string> { NotAnInteger("") });
    QCOMPARE(Stored(2, 4, 0, 1), Sjis("保　険"));
    QCOMPARE(Stored(2, 4, 1, 1), std::string());
    QCOMPARE(form->StringGrid4->Cell(2, 4), std::string());
    QCOMPARE(form->StringGrid5->Cell(0, 1), Sjis("Ａ電気代"));
    SetBank("80000");
    PressOk();
    QCOMPARE(errors.size(), size_t(1));
    QCOMPARE(form->StringGrid3->Cell(1, 2), std::string("75000"));
    QCOMPARE(Stored(2, 4, 0, 1), Sjis("A電気代"));
    QCOMPARE(form->StringGrid4->Cell(2, 4), std::string("5000"));
}

void TestForm1Detail::aFailedBookingBooksNothing()
{
    SetBank("80000");
    OpenList(2, 4);
    TypeItem(1, QStringLiteral("Ａ電気代"), "5000");
    TypeItem(2, QStringLiteral("Ａガス代"), "");
    PressOk();
    QCOMPARE(errors, std::vector<std::string> { NotAnInteger("") });
    QCOMPARE(form->StringGrid3->Cell(1, 2), std::string("80000"));
    QCOMPARE(form->StringGrid5->Cell(0, 1), Sjis("Ａ電気代"));
    QCOMPARE(form->StringGrid5->Cell(0, 2), Sjis("Ａガス代"));
    QCOMPARE(Stored(2, 4, 0, 1), Sjis("保　険"));
    TypeInto(form->StringGrid5, 1, 2, "2000");
    PressOk();
    QCOMPARE(errors.size(), size_t(1));
    QCOMPARE(form->StringGrid3->Cell(1, 2), std::string("73000"));
    QCOMPARE(Stored(2, 4, 0, 2), Sjis("Aガス代"));
    QCOMPARE(form->StringGrid4->Cell(2, 4), std::string("7000"));
}

void TestForm1Detail::failingDetailSumLeavesTheListOpen()
{
    form->StringGrid4->SetCell(2, 5, "40");
    OpenList(2, 5);
    TypeItem(1, {}, "12a");
    PressOk();
    QCOMPARE(errors, std::vector<std::string> { NotAnInteger("12a") });
    QCOMPARE(Stored(2, 5, 1, 1), std::string());
    QCOMPARE(form->StringGrid4->Cell(2, 5), std::string("40"));
    QCOMPARE(form->StringGrid5->Cell(1, 1), std::string("12a"));
    // The list is still open: after a correction, OK stores and sums it.
    TypeInto(form->StringGrid5, 1, 1, "12");
    PressOk();
    QCOMPARE(errors.size(), size_t(1));
    QCOMPARE(Stored(2, 5, 1, 1), std::string("12"));
    QCOMPARE(form->StringGrid4->Cell(2, 5), std::string("12"));
    QCOMPARE(form->StringGrid5->Cell(1, 1), std::string());
}

void TestForm1Detail::failingTotalsLeaveTheDailyTable()
{
    // An amount typed straight into the table.
    ClickCell(form->StringGrid4, 3, 1);
    Type("1a");
    OpenList(2, 1);
    TypeItem(1, {}, "300");
    PressOk();
    QCOMPARE(errors, std::vector<std::string> { NotAnInteger("1a") });
    QCOMPARE(Stored(2, 1, 1, 1), std::string("300"));
    QCOMPARE(form->StringGrid4->Cell(2, 1), std::string("300"));
    QCOMPARE(form->StringGrid4->Cell(2, 18), std::string("300"));
    QCOMPARE(form->StringGrid4->Cell(3, 18), std::string());
    QCOMPARE(form->StringGrid5->Cell(1, 1), std::string());
    QCOMPARE(DailyTable[2][1].Str(), std::string());
}

void TestForm1Detail::sumsThatOverflowFail_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("listAmounts");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("a detail sum beyond the integer range leaves the day cell")
        << QStringList { "2,1,5" } << QStringList { "2147483647", "1" } << QStringList { "2,1,5", "2,18," };
    QTest::newRow("a day total beyond the range keeps the sum of the rows above")
        << QStringList { "3,1,2147483647", "3,2,1" } << QStringList {} << QStringList { "3,18,2147483647", "1,1," };
    QTest::newRow("a row total beyond the range keeps the sum of the days before") << QStringList { "3,1,-2147483648",
        "4,1,-1" } << QStringList {} << QStringList { "3,18,-2147483648", "4,18,-1", "1,1,-2147483648" };
}

void TestForm1Detail::sumsThatOverflowFail()
{
    QFETCH(QStringList, typed);
    QFETCH(QStringList, listAmounts);
    QFETCH(QStringList, expected);
    for (const Entry& entry : Entries(typed))
        TypeInto(form->StringGrid4, entry.Col, entry.Row, entry.Text);
    OpenList(2, 1);
    for (int i = 0; i < listAmounts.size(); ++i)
        TypeItem(i + 1, {}, listAmounts[i]);
    PressOk();
    QCOMPARE(errors, std::vector<std::string> { Message("整数オーバーフロー") });
    for (const Entry& entry : Entries(expected))
        QCOMPARE(form->StringGrid4->Cell(entry.Col, entry.Row), entry.Text.toStdString());
    QCOMPARE(DailyTable[0][0].Str(), std::string());
}

void TestForm1Detail::calculatedBalance_data()
{
    QTest::addColumn<QString>("income");
    QTest::addColumn<QString>("balance");
    QTest::newRow("income 5000 and spending 1500 leave 3500") << "5000"
                                                              << "3500";
    QTest::newRow("without an income the calculated balance keeps its text") << ""
                                                                             << "999";
}

void TestForm1Detail::calculatedBalance()
{
    QFETCH(QString, income);
    QFETCH(QString, balance);
    TypeInto(form->StringGrid2, 1, 1, "999");
    form->StringGrid1->SetCell(1, 1, {});
    if (!income.isEmpty())
        TypeInto(form->StringGrid1, 1, 1, income);
    OpenList(2, 1);
    TypeItem(1, {}, "300");
    TypeItem(3, {}, "1200");
    PressOk();
    QCOMPARE(errors, std::vector<std::string>());
    QCOMPARE(form->StringGrid4->Cell(1, 18), std::string("1500"));
    QCOMPARE(form->StringGrid2->Cell(1, 1), balance.toStdString());
}

void TestForm1Detail::okStoresIntoTheCellWhoseListWasOpened()
{
    OpenList(2, 1);
    TypeItem(1, {}, "300");
    // Another day cell is picked and typed into before OK.
    TypeInto(form->StringGrid4, 3, 1, "50");
    QCOMPARE(form->DayCell, (GridCell { 3, 1 }));
    PressOk();
    QCOMPARE(Stored(2, 1, 1, 1), std::string("300"));
    QCOMPARE(form->StringGrid4->Cell(2, 1), std::string("300"));
    QCOMPARE(Stored(3, 1, 1, 1), std::string());
    QCOMPARE(Stored(3, 1, 0, 1), Sjis("お　米"));
    QCOMPARE(form->StringGrid4->Cell(3, 1), std::string("50"));
    QCOMPARE(form->StringGrid4->Cell(1, 1), std::string("350"));
}

void TestForm1Detail::okWithoutAnOpenListStoresNothing_data()
{
    QTest::addColumn<bool>("openFirst");
    QTest::newRow("OK before any double click stores no list") << false;
    QTest::newRow("a second OK in a row keeps the list just stored") << true;
}

void TestForm1Detail::okWithoutAnOpenListStoresNothing()
{
    QFETCH(bool, openFirst);
    SetBank("80000");
    if (openFirst) {
        OpenList(2, 1);
        TypeItem(1, {}, "300");
        PressOk();
    } else {
        form->StringGrid4->SetCell(2, 1, "300");
    }
    // Typed into the list grid while no list is open: not booked, not stored.
    TypeItem(2, QStringLiteral("Ａ電気代"), "5000");
    PressOk();
    QCOMPARE(errors, std::vector<std::string>());
    QCOMPARE(form->StringGrid3->Cell(1, 2), std::string("80000"));
    QCOMPARE(form->StringGrid5->Cell(0, 2), Sjis("Ａ電気代"));
    QCOMPARE(form->StringGrid4->Cell(0, 0), Sjis("項　目"));
    QCOMPARE(Stored(0, 0, 1, 1), std::string());
    QCOMPARE(Stored(2, 1, 0, 0), Sjis("食　費"));
    QCOMPARE(Stored(2, 1, 1, 1), openFirst ? std::string("300") : std::string());
    QCOMPARE(Stored(2, 1, 0, 2), Sjis("副　菜"));
    QCOMPARE(form->StringGrid4->Cell(2, 1), std::string("300"));
    // The totals still run.
    QCOMPARE(form->StringGrid4->Cell(2, 18), std::string("300"));
    QCOMPARE(form->StringGrid4->Cell(1, 1), std::string("300"));
    QCOMPARE(DailyTable[2][1].Str(), std::string("300"));
}

QTEST_MAIN(TestForm1Detail)
#include "tst_form1_detail.moc"

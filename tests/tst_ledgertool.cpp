// kivelo-ledger, run as the user runs it: the built executable on ledger files assembled through
// the ledger library and on files spoiled by hand, checked by its output and exit status.
#include "app/form1.h"
#include "companion.h"
#include "ledger/ledgerfile.h"
#include "ledger/record.h"
#include "ledger/tables.h"
#include "tests/ledgerbytes.h"
#include "toolkit/text.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>
#include <sys/stat.h>

using companion::Run;
using companion::RunTool;
using toolkit::Sjis;

namespace {

QString Utf8(const char* text)
{
    return QString::fromUtf8(text);
}

void PutDaily(int column, int row, const char* utf8)
{
    PutSlot(DailyArea, column, row, Sjis(utf8));
}

void PutItem(int column, int row, int listRow, const char* name, const char* amount)
{
    DetailLists[column][row][0][listRow].Assign(Sjis(name));
    DetailLists[column][row][1][listRow].Assign(amount);
}

// The day labels the period command writes: from month/day, 31 days, every month of 31 days.
void PutDayLabels(int month, int day)
{
    for (int column = 2; column <= 32; ++column, ++day) {
        if (day == 32) {
            day = 1;
            month = month == 12 ? 1 : month + 1;
        }
        PutSlot(DailyArea, column, 0, std::to_string(month) + Sjis("月") + std::to_string(day) + Sjis("日"));
    }
}

// A consistent month as the program would have saved it: the default lists, two confirmed
// lists with their day cells and totals, a booked bank item, the period from 12月25日, a memo.
void AssembleCleanMonth()
{
    InitDefaultDetailLists();
    PutItem(2, 1, 1, "お　米", "300");
    PutItem(2, 1, 2, "副　菜", "1200");
    PutItem(9, 2, 1, "A電気代", "5000"); // booked: the mark is the half-width A now
    ExpenseBudget[0][1].Assign(Sjis("食　費"));
    ExpenseBudget[1][1].Assign("30000");
    PutBudgetAreas();
    PutDetailArea();
    PutDaily(0, 0, "項　目");
    PutDaily(1, 0, "合　計");
    PutDaily(0, 1, "食　費");
    PutDaily(0, 2, "水道･光熱費");
    PutDaily(0, 18, "支出計");
    PutDaily(0, 19, "銀行払出し");
    PutDayLabels(12, 25);
    PutDaily(2, 1, "1500");
    PutDaily(9, 2, "5000");
    PutDaily(2, 18, "1500");
    PutDaily(9, 18, "5000");
    PutDaily(1, 1, "1500");
    PutDaily(1, 2, "5000");
    PutDaily(1, 18, "6500");
    PutSlot(StatusArea, 0, 1, Sjis("計算残高"));
    PutSlot(StatusArea, 1, 1, "-6500");
    PutSlot(OnHandArea, 0, 2, Sjis("銀　行"));
    PutSlot(OnHandArea, 1, 2, "75000");
    PutSlot(PeriodMonthArea, 0, 0, "12");
    PutSlot(PeriodDayArea, 0, 0, "25");
    PutSlot(MemoArea, 0, 0, Sjis("年末の買い物\r\n\t\"特売\""));
}

void AppendBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    file.write(bytes);
}

QJsonObject DumpOf(const QString& path)
{
    Run run = RunTool({ "dump", path });
    QJsonParseError error {};
    QJsonDocument document = QJsonDocument::fromJson(run.Out, &error);
    if (run.Status != 0 || error.error != QJsonParseError::NoError)
        qWarning() << "dump failed:" << run.Status << error.errorString() << run.Err;
    return document.object();
}

// The cell objects of an area of a dump that sit at `column`, `row` (and, for the detail lists,
// in the list of day cell dayColumn, dayRow).
QJsonObject CellOf(
    const QJsonObject& dump, const QString& area, int column, int row, int dayColumn = -1, int dayRow = -1)
{
    for (const QJsonValue& value : dump["record"].toObject()[area].toArray()) {
        QJsonObject cell = value.toObject();
        if (cell["column"].toInt() == column && cell["row"].toInt() == row
            && (dayColumn < 0 || (cell["day_column"].toInt() == dayColumn && cell["day_row"].toInt() == dayRow)))
            return cell;
    }
    return {};
}

// The program's own window, driven as the user drives it.
void ClickCell(toolkit::StringGrid* grid, int col, int row)
{
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(col, row).center());
}

void DoubleClickCell(toolkit::StringGrid* grid, int col, int row)
{
    QPoint centre = grid->CellRect(col, row).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, centre);
}

// One key event per character, each with its text, to the control that has the focus.
void Type(const QString& text)
{
    QWidget* focused = QApplication::focusWidget();
    QVERIFY(focused);
    for (QChar character : text) {
        if (character.unicode() < 0x80)
            QTest::keyClicks(focused, QString(character));
        else
            QTest::sendKeyEvent(QTest::Click, focused, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
}

void TypeInto(toolkit::StringGrid* grid, int col, int row, const QString& text)
{
    ClickCell(grid, col, row);
    Type(text);
}

} // namespace

class TestLedgerTool : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    QString Path(const char* name) const { return folder_.filePath(QString::fromUtf8(name)); }
    QString WriteMonth(const char* name)
    {
        QString path = Path(name);
        WriteLedgerFile(path.toStdString());
        return path;
    }

private slots:
    void init()
    {
        ResetTables();
        std::memset(LedgerRecord, 0, RecordSize);
    }

    void dumpGivesTheSavedCells_data()
    {
        QTest::addColumn<QString>("area");
        QTest::addColumn<int>("dayColumn");
        QTest::addColumn<int>("dayRow");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::newRow("an expense budget amount is read back") << "expense budget" << -1 << -1 << 1 << 1 << "30000";
        QTest::newRow("a category label is decoded from Shift-JIS")
            << "daily table" << -1 << -1 << 0 << 2 << Utf8("水道･光熱費");
        QTest::newRow("a day label of the period") << "daily table" << -1 << -1 << 8 << 0 << Utf8("12月31日");
        QTest::newRow("a day cell holds its list's sum") << "daily table" << -1 << -1 << 2 << 1 << "1500";
        QTest::newRow("a detail item sits in its day cell's list")
            << "detail lists" << 2 << 1 << 0 << 2 << Utf8("副　菜");
        QTest::newRow("a default sample name of another list")
            << "detail lists" << 20 << 3 << 0 << 3 << Utf8("ｲﾝﾀｰﾈｯﾄ");
        QTest::newRow("the on-hand bank balance") << "money on hand" << -1 << -1 << 1 << 2 << "75000";
    }

    void dumpGivesTheSavedCells()
    {
        QFETCH(QString, area);
        QFETCH(int, dayColumn);
        QFETCH(int, dayRow);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QString, text);
        AssembleCleanMonth();
        QJsonObject cell = CellOf(DumpOf(WriteMonth("month.ZMR")), area, column, row, dayColumn, dayRow);
        QCOMPARE(cell["text"].toString(), text);
        QVERIFY(!cell.contains("bytes"));
    }

    void dumpKeepsSingleSlotsAndLeavesOutEmptyCells()
    {
        AssembleCleanMonth();
        QJsonObject dump = DumpOf(WriteMonth("month.ZMR"));
        QJsonObject record = dump["record"].toObject();
        QCOMPARE(record["memo"].toObject()["text"].toString(), Utf8("年末の買い物\r\n\t\"特売\""));
        QCOMPARE(record["period month"].toObject()["text"].toString(), "12");
        QCOMPARE(record["period start day"].toObject()["text"].toString(), "25");
        QVERIFY(CellOf(dump, "daily table", 3, 1).isEmpty());
        QCOMPARE(record["income budget"].toArray().size(), 0);
        QCOMPARE(record["current status"].toArray().size(), 2);
    }

    void dumpShowsTheBytesOfACutCharacter()
    {
        // "食　費" and the lead byte of "代": the cut a 12-byte slot leaves.
        std::string cut = Sjis("食　費") + Sjis("代").substr(0, 1);
        PutSlot(IncomeArea, 0, 3, cut);
        LedgerRecord[IncomeArea.SlotOffset(0, 4)] = 200; // a length byte above the capacity
        QJsonObject dump = DumpOf(WriteMonth("cut.ZMR"));
        QJsonObject cell = CellOf(dump, "income budget", 0, 3);
        QCOMPARE(cell["text"].toString(), Utf8("食　費\uFFFD"));
        QCOMPARE(cell["bytes"].toString(), QString::fromLatin1(QByteArray::fromStdString(cut).toHex()));
        QCOMPARE(CellOf(dump, "income budget", 0, 4)["length_byte"].toInt(), 200);
    }

    void dumpCountsRecordsAndShowsTheLast_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("extraBytes");
        QTest::addColumn<int>("size");
        QTest::newRow("one record") << 1 << 0 << 336780;
        QTest::newRow("of two records the second is shown") << 2 << 0 << 673560;
        QTest::newRow("bytes after the last whole record are counted") << 2 << 17 << 673577;
        QTest::newRow("a file shorter than a record has none") << 0 << 100 << 100;
    }

    void dumpCountsRecordsAndShowsTheLast()
    {
        QFETCH(int, records);
        QFETCH(int, extraBytes);
        QFETCH(int, size);
        QString path = Path("records.ZMR");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (int record = 1; record <= records; ++record) {
            PutSlot(MemoArea, 0, 0, "record " + std::to_string(record));
            file.write(reinterpret_cast<const char*>(LedgerRecord), RecordSize);
        }
        file.write(QByteArray(extraBytes, '\x05'));
        file.close();
        QJsonObject dump = DumpOf(path);
        QCOMPARE(dump["size"].toInt(), size);
        QCOMPARE(dump["records"].toInt(), records);
        QCOMPARE(dump["trailing_bytes"].toInt(), extraBytes);
        if (records == 0)
            QVERIFY(dump["record"].isNull());
        else
            QCOMPARE(dump["record"].toObject()["memo"].toObject()["text"].toString(),
                QStringLiteral("record %1").arg(records));
    }

    void checkOfACleanMonthPrintsNothing()
    {
        AssembleCleanMonth();
        Run run = RunTool({ "check", WriteMonth("clean.ZMR") });
        QCOMPARE(run.Out, QByteArray());
        QCOMPARE(run.Err, QByteArray());
        QCOMPARE(run.Status, 0);
    }

    void checkNamesEachProblem_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("line");
        QTest::newRow("a size that is not a multiple of the record")
            << 0 << "file: size 336783 is not a multiple of 336780 (1 whole records and 3 bytes more)";
        QTest::newRow("a length byte above its slot's capacity")
            << 1 << "memo: length byte 255 is above the slot's capacity of 255";
        QTest::newRow("a length byte above a cell's capacity")
            << 2 << "daily table (0, 7): length byte 13 is above the slot's capacity of 12";
        QTest::newRow("an amount that is not an integer")
            << 3 << Utf8("expense budget (1, 4): amount \"３千\" is not an integer");
        QTest::newRow("an amount with the Enter byte after it")
            << 4 << "detail lists (2, 1) cell (1, 1): amount \"300\\r\" is not an integer";
        QTest::newRow("a day cell that differs from its detail list")
            << 5 << "daily table (2, 1): day cell \"1500\" differs from the sum of its detail list, 1400";
        QTest::newRow("a day total that differs from its day's cells")
            << 6 << "daily table (9, 18): day total \"5500\" differs from the sum of rows 1 to 17, 5000";
        QTest::newRow("a row total that differs from its row")
            << 7 << "daily table (1, 2): row total \"\" differs from the sum of columns 2 to 32, 5000";
        QTest::newRow("a bank total that differs from row 19")
            << 8 << "daily table (1, 19): bank total \"\" differs from the sum of row 19, 2000";
        QTest::newRow("an unbooked bank item")
            << 9
            << Utf8("detail lists (9, 2) cell (0, 1): bank item \"Ａ電気代\" is not booked against the bank balance");
    }

    void checkNamesEachProblem()
    {
        QFETCH(int, fault);
        QFETCH(QString, line);
        AssembleCleanMonth();
        switch (fault) {
        case 1:
            LedgerRecord[MemoArea.Offset] = 255;
            break; // the memo's capacity: still sound
        case 2:
            LedgerRecord[DailyArea.SlotOffset(0, 7)] = 13;
            break;
        case 3:
            PutSlot(ExpenseArea, 1, 4, Sjis("３千"));
            break;
        case 4:
            PutSlot(DetailArea, DetailColumn(2, 1, 1), 1, "300\r");
            break;
        case 5:
            PutSlot(DetailArea, DetailColumn(2, 1, 1), 2, "1100");
            break;
        case 6:
            PutDaily(9, 18, "5500");
            PutDaily(1, 18, "7000"); // the month's total follows the day total
            break;
        case 7:
            PutDaily(1, 2, "");
            break;
        case 8:
            PutSlot(DetailArea, DetailColumn(20, 19, 0), 1, Sjis("引出し"));
            PutSlot(DetailArea, DetailColumn(20, 19, 1), 1, "2000");
            PutDaily(20, 19, "2000");
            break;
        case 9:
            PutSlot(DetailArea, DetailColumn(9, 2, 0), 1, Sjis("Ａ電気代"));
            break;
        }
        QString path = WriteMonth("fault.ZMR");
        if (fault == 0)
            AppendBytes(path, "abc");
        Run run = RunTool({ "check", path });
        if (fault == 1) {
            QCOMPARE(run.Out, QByteArray());
            QCOMPARE(run.Status, 0);
            LedgerRecord[MemoArea.Offset] = 0; // and one above it is a problem
            LedgerRecord[OnHandArea.SlotOffset(1, 5)] = 200;
            run = RunTool({ "check", WriteMonth("fault.ZMR") });
            line = "money on hand (1, 5): length byte 200 is above the slot's capacity of 12";
        }
        QCOMPARE(QString::fromUtf8(run.Out), path + ": " + line + "\n");
        QCOMPARE(run.Status, 1);
    }

    void checkGoesOnAfterAnUnreadableFile()
    {
        AssembleCleanMonth();
        QString clean = WriteMonth("clean.ZMR");
        PutDaily(2, 1, "x");
        QString spoiled = WriteMonth("spoiled.ZMR");
        QString missing = Path("missing.ZMR");
        Run run = RunTool({ "check", clean, missing, spoiled });
        QCOMPARE(QString::fromUtf8(run.Err), "kivelo-ledger: " + missing + ": No such file or directory\n");
        QVERIFY(run.Out.startsWith((spoiled + ": daily table (2, 1): amount \"x\" is not an integer\n").toUtf8()));
        QVERIFY(!run.Out.contains(clean.toUtf8() + ":"));
        QCOMPARE(run.Status, 2);
    }

    void csvQuotesANameWithACommaAndAQuote()
    {
        AssembleCleanMonth();
        PutItem(3, 1, 1, "ﾊﾟﾝ,\"特\"", "250");
        PutDetailArea();
        Run run = RunTool({ "csv", WriteMonth("month.ZMR") });
        QCOMPARE(run.Status, 0);
        QList<QByteArray> lines = run.Out.split('\n');
        QCOMPARE(lines.first(), "day,category,item,amount,bank\r");
        QVERIFY(lines.contains(Utf8("12月26日,食　費,\"ﾊﾟﾝ,\"\"特\"\"\",250,\r").toUtf8()));
        QVERIFY(lines.contains(Utf8("12月25日,食　費,副　菜,1200,\r").toUtf8()));
        QVERIFY(lines.contains(Utf8("1月1日,水道･光熱費,A電気代,5000,booked\r").toUtf8()));
        QVERIFY(run.Out.endsWith("\r\n"));
        QCOMPARE(run.Out.count("\r\n"), run.Out.count('\n'));
        // the header, and 15 sample names a day, of which the confirmed items replaced four
        QCOMPARE(run.Out.count("\r\n"), 1 + 31 * 15);
    }

    void csvKeepsWhatLooksLikeAFormulaAsText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("field");
        QTest::newRow("a sum") << "=1+2" << "'=1+2";
        QTest::newRow("a function") << "@SUM(A1)" << "'@SUM(A1)";
        QTest::newRow("a name that looks like a negative number") << "-5" << "'-5";
        QTest::newRow("a telephone number") << "+81 3" << "'+81 3";
        QTest::newRow("an ordinary name") << "Kome" << "Kome";
    }

    void csvKeepsWhatLooksLikeAFormulaAsText()
    {
        QFETCH(QString, name);
        QFETCH(QString, field);
        AssembleCleanMonth();
        PutItem(3, 1, 1, name.toUtf8().constData(), "-50");
        PutDetailArea();
        Run run = RunTool({ "csv", WriteMonth("month.ZMR") });
        QCOMPARE(run.Status, 0);
        QVERIFY2(run.Out.contains(Utf8("12月26日,食　費,").toUtf8() + field.toUtf8() + ",-50,\r\n"), run.Out.constData());
    }

    void versionsListWhatEachSaveReplaced()
    {
        PutDaily(1, 18, "9200");
        PutSlot(StatusArea, 1, 1, "240800");
        WriteMonth("versioned.ZMR");
        PutDaily(1, 18, "9300");
        WriteMonth("versioned.ZMR");
        WriteMonth("versioned.ZMR");
        Run run = RunTool({ "versions", Path("versioned.ZMR") });
        QCOMPARE(run.Status, 0);
        QList<QByteArray> lines = run.Out.trimmed().split('\n');
        QCOMPARE(lines.size(), 2);  // newest first: the file the last save replaced, then the first
        QVERIFY2(lines[0].contains(Utf8("  支出計 9300  計算残高 240800  ").toUtf8()), lines[0].constData());
        QVERIFY2(lines[1].contains(Utf8("  支出計 9200  計算残高 240800  ").toUtf8()), lines[1].constData());
        QVERIFY(lines[1].endsWith(".ZMR"));
        QCOMPARE(RunTool({ "versions", Path("none.ZMR") }).Out, QByteArray());
    }

    void csvInCp932WritesTheFileBytes()
    {
        AssembleCleanMonth();
        PutItem(3, 1, 1, "Ａ電気代", "5000");
        PutDetailArea();
        std::string cut = Sjis("食　費") + Sjis("代").substr(0, 1);
        PutSlot(DailyArea, 0, 1, cut);
        Run run = RunTool({ "csv", WriteMonth("month.ZMR"), "--encoding", "cp932" });
        QCOMPARE(run.Status, 0);
        std::string expected = Sjis("12月26日,食　費?,Ａ電気代,5000,unbooked\r\n");
        QVERIFY(run.Out.contains(QByteArray::fromStdString(expected)));
    }

    void homebankDatesAPeriodFromDecember25InTwoYears()
    {
        AssembleCleanMonth();
        PutItem(8, 1, 1, "Ａ家賃", "70000"); // 12月31日, not booked yet
        PutItem(9, 1, 1, "お　米", "-200"); // 1月1日, a refund
        PutDetailArea();
        PutDaily(8, 1, "70000");
        Run run = RunTool({ "homebank", WriteMonth("month.ZMR"), "--year", "2024" });
        QCOMPARE(run.Err, QByteArray());
        QCOMPARE(run.Status, 0);
        QCOMPARE(QString::fromUtf8(run.Out),
            Utf8("2024-12-25;3;;;お　米;-300;食　費;\n"
                 "2024-12-25;3;;;副　菜;-1200;食　費;\n"
                 "2024-12-31;11;;;Ａ家賃;-70000;食　費;\n"
                 "2025-01-01;3;;;お　米;200;食　費;\n"
                 "2025-01-01;11;;;A電気代;-5000;水道･光熱費;\n"));
    }

    void homebankRefusesALabelThatIsNoDate_data()
    {
        QTest::addColumn<bool>("periodSet");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a period that was never set")
            << false << "daily table (2, 0): day label \"\" is empty: the period was never set";
        QTest::newRow("a day that February does not have")
            << true << Utf8("daily table (2, 0): day label \"2月30日\" is not a date in 2025");
    }

    void homebankRefusesALabelThatIsNoDate()
    {
        QFETCH(bool, periodSet);
        QFETCH(QString, reason);
        PutItem(2, 1, 1, "お　米", "300");
        PutBudgetAreas();
        PutDetailArea();
        if (periodSet)
            PutDayLabels(2, 30);
        QString path = WriteMonth("month.ZMR");
        Run run = RunTool({ "homebank", path, "--year=2025" });
        QCOMPARE(run.Out, QByteArray());
        QCOMPARE(QString::fromUtf8(run.Err), "kivelo-ledger: " + path + ": " + reason + "\n");
        QCOMPARE(run.Status, 2);
    }

    void diffOfAFileAgainstItselfIsEmpty()
    {
        AssembleCleanMonth();
        QString path = WriteMonth("month.ZMR");
        Run run = RunTool({ "diff", path, path });
        QCOMPARE(run.Out, QByteArray());
        QCOMPARE(run.Status, 0);
    }

    void diffNamesEveryChangedField()
    {
        AssembleCleanMonth();
        QString before = WriteMonth("before.ZMR");
        PutDaily(2, 1, "1600");
        PutSlot(DetailArea, DetailColumn(2, 1, 0), 2, Sjis("惣　菜"));
        PutSlot(MemoArea, 0, 0, "");
        QString after = WriteMonth("after.ZMR");
        Run run = RunTool({ "diff", before, after });
        QCOMPARE(QString::fromUtf8(run.Out),
            Utf8("daily table (2, 1): \"1500\" -> \"1600\"\n"
                 "detail lists (2, 1) cell (0, 2): \"副　菜\" -> \"惣　菜\"\n"
                 "memo: \"年末の買い物\\r\\n\\t\\\"特売\\\"\" -> \"\"\n"));
        QCOMPARE(run.Status, 1);
    }

    void badUsageAndUnreadableFilesExitWithTwo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no command") << QStringList() << "kivelo-ledger: no command given; see 'kivelo-ledger --help'";
        QTest::newRow("an unknown command")
            << QStringList { "show", "a.ZMR" } << "kivelo-ledger: unknown command 'show'; see 'kivelo-ledger --help'";
        QTest::newRow("dump of two files") << QStringList { "dump", "a.ZMR", "b.ZMR" }
                                           << "kivelo-ledger: dump needs one file; see 'kivelo-ledger --help'";
        QTest::newRow("homebank without a year")
            << QStringList { "homebank", "a.ZMR" }
            << "kivelo-ledger: homebank needs --year YYYY, the year of the first day "
               "of the period; see 'kivelo-ledger --help'";
        QTest::newRow("an encoding csv does not know") << QStringList { "csv", "a.ZMR", "--encoding",
            "latin1" } << "kivelo-ledger: unknown encoding 'latin1' (utf-8 or cp932); see 'kivelo-ledger --help'";
        QTest::newRow("year without a ledger")
            << QStringList { "year" } << "kivelo-ledger: year needs at least one file or folder; see 'kivelo-ledger --help'";
        QTest::newRow("year in Shift-JIS without --csv")
            << QStringList { "year", "a.ZMR", "--cp932" }
            << "kivelo-ledger: an encoding is for year --csv; the text and the JSON are UTF-8; see 'kivelo-ledger --help'";
        QTest::newRow("a year option for another command") << QStringList { "dump", "a.ZMR", "--json" }
                                                           << "kivelo-ledger: option '--json' is for year, not dump; see "
                                                              "'kivelo-ledger --help'";
        QTest::newRow("a file that does not exist") << QStringList { "dump", "/nonexistent/a.ZMR" }
                                                    << "kivelo-ledger: /nonexistent/a.ZMR: No such file or directory";
        QTest::newRow("a folder instead of a file")
            << QStringList { "csv", "/" } << "kivelo-ledger: /: not a regular file";
    }

    void badUsageAndUnreadableFilesExitWithTwo()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        Run run = RunTool(arguments);
        QCOMPARE(QString::fromUtf8(run.Err), message + "\n");
        QCOMPARE(run.Out, QByteArray());
        QCOMPARE(run.Status, 2);
    }

    void whatIsNoRegularFileIsRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("a FIFO without a writer") << "fifo";
        QTest::newRow("the character device /dev/zero") << "/dev/zero";
    }

    void whatIsNoRegularFileIsRefusedAtOnce()
    {
        QFETCH(QString, name);
        QString path = QDir::isAbsolutePath(name) ? name : Path("fifo");
        QVERIFY(QFile::exists(Path("fifo")) || ::mkfifo(QFile::encodeName(Path("fifo")).constData(), 0644) == 0);
        QElapsedTimer timer;
        timer.start();
        Run run = RunTool({ "dump", path });
        QVERIFY2(timer.elapsed() < 1000, QByteArray::number(timer.elapsed()) + " ms");
        QCOMPARE(QString::fromUtf8(run.Err), "kivelo-ledger: " + path + ": not a regular file\n");
        QCOMPARE(run.Out, QByteArray());
        QCOMPARE(run.Status, 2);
    }

    void exportOfAFileWithoutARecordFails()
    {
        QString path = Path("short.ZMR");
        AppendBytes(path, QByteArray(10, 'x'));
        Run run = RunTool({ "csv", path });
        QCOMPARE(QString::fromUtf8(run.Err), "kivelo-ledger: " + path + ": holds no whole record (10 bytes)\n");
        QCOMPARE(run.Status, 2);
    }

    void aMonthSavedByTheProgramReadsBackAndIsClean()
    {
        auto form = std::make_unique<TForm1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClicks(form->Edit1, "12");
        QTest::keyClicks(form->Edit2, "25");
        QTest::mouseClick(form->Button2, Qt::LeftButton);
        TypeInto(form->StringGrid3, 1, 2, "80000");
        DoubleClickCell(form->StringGrid4, 2, 1);
        TypeInto(form->StringGrid5, 1, 1, "300");
        TypeInto(form->StringGrid5, 0, 3, QStringLiteral("ﾊﾟﾝ"));
        TypeInto(form->StringGrid5, 1, 3, "450");
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        DoubleClickCell(form->StringGrid4, 9, 2);
        TypeInto(form->StringGrid5, 0, 1, QStringLiteral("Ａ電気代"));
        TypeInto(form->StringGrid5, 1, 1, "5000");
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QString path = Path("saved.ZMR");
        toolkit::SetFileDialogAnswerForTest([&](toolkit::FileDialog::Kind, const QString&) { return path; });
        form->SaveAs1->trigger();
        toolkit::SetFileDialogAnswerForTest(nullptr);
        form.reset();

        Run check = RunTool({ "check", path });
        QCOMPARE(QString::fromUtf8(check.Out), QString());
        QCOMPARE(check.Status, 0);
        QJsonObject dump = DumpOf(path);
        QCOMPARE(CellOf(dump, "daily table", 2, 0)["text"].toString(), Utf8("12月25日"));
        QCOMPARE(CellOf(dump, "daily table", 2, 1)["text"].toString(), "750");
        QCOMPARE(CellOf(dump, "daily table", 1, 18)["text"].toString(), "5750");
        QCOMPARE(CellOf(dump, "detail lists", 0, 1, 9, 2)["text"].toString(), Utf8("A電気代"));
        QCOMPARE(CellOf(dump, "money on hand", 1, 2)["text"].toString(), "75000");
        Run homebank = RunTool({ "homebank", path, "--year", "2024" });
        QCOMPARE(QString::fromUtf8(homebank.Out),
            Utf8("2024-12-25;3;;;お　米;-300;食　費;\n"
                 "2024-12-25;3;;;ﾊﾟﾝ;-450;食　費;\n"
                 "2025-01-01;11;;;A電気代;-5000;水道･光熱費;\n"));
    }

    void helpNamesEveryCommand()
    {
        Run run = RunTool({ "--help" });
        QCOMPARE(run.Status, 0);
        for (const char* command :
            { "dump FILE", "check FILE...", "csv FILE", "homebank FILE --year YYYY", "diff A B", "versions FILE",
                "year FILE|FOLDER...", "import LEDGER STATEMENT..." })
            QVERIFY2(run.Out.contains(command), command);
    }

    // import --json: one object per purchase with exactly the keys of the preview, the row that
    // cannot be read on standard error with exit status 1, and --into never writing the ledger.
    void importPrintsThePlanAsJson()
    {
        QString ledger = Path("12.ZMR");
        QString statement = Path("card.csv");
        QByteArray month = DecemberRecord();
        QFile file(ledger);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(month) == month.size());
        file.close();
        QFile card(statement);
        QVERIFY(card.open(QIODevice::WriteOnly));
        card.write(QStringLiteral("ご利用日,ご利用先,ご利用金額\n2025/12/3,ＡＭＡＺＯＮ,\"1,200\"\n2025/12/xx,壊れた行,1\n"
                                  "2025/11/30,前月,500\n").toUtf8());
        card.close();
        Run run = RunTool({ "import", ledger, statement, "--json", "--into", Path("out.ZMR") });
        QCOMPARE(run.Status, 1);
        QVERIFY(run.Err.contains("card.csv:3: "));
        QJsonArray rows = QJsonDocument::fromJson(run.Out).array();
        QCOMPARE(rows.size(), 2);
        QJsonObject first = rows[1].toObject();
        QCOMPARE(first.keys(), (QStringList { "amount", "bank", "category", "column", "date", "file", "line", "name", "rule", "state" }));
        QCOMPARE(first["name"].toString(), QStringLiteral("AMAZON"));
        QCOMPARE(first["column"].toInt(), 4);
        QCOMPARE(first["date"].toString(), QStringLiteral("2025-12-03"));
        QCOMPARE(first["state"].toString(), QStringLiteral("new"));
        QCOMPARE(rows[0].toObject()["column"], QJsonValue());
        QCOMPARE(LedgerBytes(ledger).Bytes(), month);
        QCOMPARE(LedgerBytes(Path("out.ZMR")).Detail(4, 16, 0, 1), QByteArray("AMAZON"));
        QCOMPARE(RunTool({ "import", ledger }).Status, 2);
        QCOMPARE(RunTool({ "import", ledger, Path("missing.csv") }).Status, 2);
    }
};

QTEST_MAIN(TestLedgerTool)
#include "tst_ledgertool.moc"

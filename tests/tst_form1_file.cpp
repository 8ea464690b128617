// Open, Save and Save As through a real main window: the toolbar buttons and menu items, the file
// dialogs answered through their seam, the error box through its sink, and real files. Offsets
// are written out here as the file's format gives them, not taken from the program's layout.
#include "app/form1.h"
#include "chert/form5.h"
#include "ledger/tables.h"
#include "ledger/versions.h"
#include "tests/filefaults.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <QAction>
#include <QDialog>
#include <QTableWidget>
#include <QTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <cerrno>
#include <deque>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using toolkit::Sjis;

namespace {

constexpr int RecordBytes = 336780;

int IncomeAt(int c, int r)
{
    return (c * 31 + r) * 13;
}
int ExpenseAt(int c, int r)
{
    return 806 + (c * 31 + r) * 13;
}
int StatusAt(int c, int r)
{
    return 1612 + (c * 5 + r) * 13;
}
int DailyAt(int c, int r)
{
    return 1742 + (c * 20 + r) * 13;
}
int ListAt(int c, int r, int k, int j)
{
    return 10322 + c * 9880 + r * 494 + k * 247 + j * 13;
}
constexpr int MonthAt = 336362;
constexpr int DayAt = 336365;
int OnHandAt(int c, int r)
{
    return 336368 + (c * 6 + r) * 13;
}
constexpr int MemoAt = 336524;

// Every slot of the record: first offset, number of slots, slot size.
struct SlotRun {
    int Offset;
    int Count;
    int Size;
};
constexpr SlotRun SlotRuns[] = { { 0, 62, 13 }, { 806, 62, 13 }, { 1612, 10, 13 }, { 1742, 660, 13 },
    { 10322, 25080, 13 }, { 336362, 1, 3 }, { 336365, 1, 3 }, { 336368, 12, 13 }, { 336524, 1, 256 } };

QByteArray Bytes(std::string_view text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}
QByteArray S(const char* utf8)
{
    return Bytes(Sjis(utf8));
}
std::string Str(const QByteArray& bytes)
{
    return bytes.toStdString();
}

// The text of the slot at `offset`, as its length byte gives it.
QByteArray SlotAt(const QByteArray& record, int offset)
{
    return record.mid(offset + 1, static_cast<unsigned char>(record.at(offset)));
}

void PutAt(QByteArray& record, int offset, const QByteArray& text)
{
    record[offset] = char(text.size());
    record.replace(offset + 1, text.size(), text);
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// What a folder holds besides the earlier versions of its ledgers and the lock of the one open.
QStringList Entries(const QString& path)
{
    QStringList entries = QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    entries.removeOne(QStringLiteral(".kivelo-versions"));
    entries.removeIf([](const QString& entry) { return entry.startsWith(QLatin1String(".~lock.")); });
    return entries;
}

// The default detail list headers of category rows 1 to 17, and the sample items of rows 1 to 5.
const char* const DefaultHeaders[18]
    = { nullptr, "食　費", "水道･光熱費", "交通･通信費", "車関連費", "被服費", "養育･教育費", "医療･衛生費", "年 金",
          "　父", "保険料", "税　金", "日用品", "住居･備品", "交際費", "教養･娯楽費", "贈　答", "雑　費" };
const std::vector<const char*> SampleItems[6]
    = { {}, { "お　米", "副　菜" }, { "水　道", "電　気", "ガ　ス", "灯　油" }, { "車燃料", "電　話", "ｲﾝﾀｰﾈｯﾄ" },
          { "保　険", "税　金", "車　検" }, { "洋　服", "　靴", "下　着" } };

int ModeOf(const QString& path)
{
    struct stat status { };
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}

} // namespace

class TestForm1File : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<TForm1> form;
    std::vector<QByteArray> errors;
    std::deque<QString> answers; // for the dialogs, in turn
    std::vector<std::pair<toolkit::FileDialog::Kind, QString>> asked; // kind and offered name

    QString Path(const QString& name) const { return dir->filePath(name); }

    void NewForm()
    {
        form.reset();
        ResetTables();
        form = std::make_unique<TForm1>();
    }

    void ClickOpen(const QString& answer)
    {
        answers.push_back(answer);
        QTest::mouseClick(form->SpeedButton1, Qt::LeftButton);
    }
    void ClickSave() { QTest::mouseClick(form->SpeedButton2, Qt::LeftButton); }
    void SaveAs(const QString& answer)
    {
        answers.push_back(answer);
        form->SaveAs1->trigger();
    }

    // Distinct texts in every table cell and every stored control cell; amount cells that the
    // totals after Open read hold numbers.
    void FillEveryField()
    {
        for (int c = 0; c < 2; ++c)
            for (int r = 0; r < 31; ++r)
                IncomeBudget[c][r].Assign(c == 1 ? std::to_string(1000 + r) : "I" + std::to_string(r));
        for (int c = 0; c < 2; ++c)
            for (int r = 0; r < 20; ++r)
                ExpenseBudget[c][r].Assign(c == 1 ? std::to_string(2000 + r) : "E" + std::to_string(r));
        for (int c = 0; c < 33; ++c)
            for (int r = 0; r < 20; ++r) {
                form->StringGrid4->SetCell(
                    c, r, c == 1 ? std::to_string(3000 + r) : Str(QString("D%1,%2").arg(c).arg(r).toLatin1()));
                DailyTable[c][r].Assign("T");
            }
        form->StringGrid4->SetCell(5, 5, Sjis("食費食費食費Ｘ食")); // 15 bytes: a cut character
        for (int c = 0; c < 33; ++c)
            for (int r = 0; r < 20; ++r)
                for (int k = 0; k < 2; ++k)
                    for (int j = 0; j < 19; ++j)
                        DetailLists[c][r][k][j].Assign(
                            Str(QString("L%1,%2,%3,%4").arg(c).arg(r).arg(k).arg(j).toLatin1()));
        for (int c = 0; c < 2; ++c)
            for (int r = 0; r < 5; ++r) {
                form->StringGrid2->SetCell(c, r, Str(QString("S%1,%2").arg(c).arg(r).toLatin1()));
                form->StringGrid3->SetCell(c, r, Str(QString("H%1,%2").arg(c).arg(r).toLatin1()));
            }
        form->StringGrid3->SetCell(1, 5, "H1,5");
        form->Memo1->SetText(Sjis("一行目\r\n二行目 ") + Sjis("食").substr(0, 1));
        form->Edit1->SetText("07");
        form->Edit2->SetText(Sjis("日").substr(0, 1));
    }

    // A record whose every cell slot and the memo hold text `tag`-marked, amounts numeric.
    QByteArray HandRecord(const QByteArray& tag)
    {
        QByteArray record(RecordBytes, '\0');
        PutAt(record, IncomeAt(1, 12), "5000");
        PutAt(record, ExpenseAt(1, 18), "2000");
        PutAt(record, DailyAt(1, 18), "1200");
        PutAt(record, DailyAt(4, 2), tag + "day");
        PutAt(record, MemoAt, tag + " memo");
        return record;
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        errors.clear();
        answers.clear();
        asked.clear();
        toolkit::SetErrorSinkForTest([this](const std::string& text) { errors.push_back(Bytes(text)); });
        toolkit::SetFileDialogAnswerForTest([this](toolkit::FileDialog::Kind kind, const QString& offered) {
            asked.emplace_back(kind, offered);
            if (answers.empty())
                return QString();
            QString answer = answers.front();
            answers.pop_front();
            return answer;
        });
        NewForm();
    }

    void cleanup()
    {
        form.reset();
        toolkit::SetErrorSinkForTest(nullptr);
        toolkit::SetFileDialogAnswerForTest(nullptr);
        dir.reset();
    }

    void dialogsOfferTheLedgerFilter()
    {
        QCOMPARE(form->OpenDialog1.QtFilter(), QString("家計簿ファイル(*.ZMR)"));
        QCOMPARE(form->SaveDialog1.QtFilter(), QString("家計簿ファイル(*.ZMR)"));
        QCOMPARE(form->OpenDialog1.DialogKind(), toolkit::FileDialog::Kind::Open);
        QCOMPARE(form->SaveDialog1.DialogKind(), toolkit::FileDialog::Kind::Save);
    }

    void savedRecordHasEachTextAtItsOffset_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("income cell (0, 0) opens the record") << IncomeAt(0, 0) << QByteArray("I0");
        QTest::newRow("income cell (1, 30) ends the income area") << IncomeAt(1, 30) << QByteArray("1030");
        QTest::newRow("expense cell (0, 19) is slot 19 of column 0") << ExpenseAt(0, 19) << QByteArray("E19");
        QTest::newRow("expense cell (1, 0) starts column 1 after 31 slots") << ExpenseAt(1, 0) << QByteArray("2000");
        QTest::newRow("expense slot 20 of column 0 is empty") << ExpenseAt(0, 20) << QByteArray();
        QTest::newRow("expense slot 30 of column 1 is empty") << ExpenseAt(1, 30) << QByteArray();
        QTest::newRow("status cell (1, 4)") << StatusAt(1, 4) << QByteArray("S1,4");
        QTest::newRow("daily cell (0, 0) comes from the grid, not the table") << DailyAt(0, 0) << QByteArray("D0,0");
        QTest::newRow("daily cell (7, 13)") << DailyAt(7, 13) << QByteArray("D7,13");
        QTest::newRow("daily cell (32, 19)") << DailyAt(32, 19) << QByteArray("D32,19");
        QTest::newRow("a daily cell of 15 bytes keeps 12, a lone lead byte last")
            << DailyAt(5, 5) << Bytes(Sjis("食費食費食費Ｘ食").substr(0, 12));
        QTest::newRow("list (0, 0) column 0 row 0") << ListAt(0, 0, 0, 0) << QByteArray("L0,0,0,0");
        QTest::newRow("list (12, 5) column 1 row 17") << ListAt(12, 5, 1, 17) << QByteArray("L12,5,1,17");
        QTest::newRow("list (32, 19) column 1 row 18") << ListAt(32, 19, 1, 18) << QByteArray("L32,19,1,18");
        QTest::newRow("the period month") << MonthAt << QByteArray("07");
        QTest::newRow("the period start day keeps a lone lead byte") << DayAt << Bytes(Sjis("日").substr(0, 1));
        QTest::newRow("on-hand cell (0, 0)") << OnHandAt(0, 0) << QByteArray("H0,0");
        QTest::newRow("on-hand cell (1, 4)") << OnHandAt(1, 4) << QByteArray("H1,4");
        QTest::newRow("on-hand slot 5 is empty though the grid holds a text") << OnHandAt(1, 5) << QByteArray();
        QTest::newRow("the memo, lines joined by CR LF")
            << MemoAt << Bytes(Sjis("一行目\r\n二行目 ") + Sjis("食").substr(0, 1));
    }

    void savedRecordHasEachTextAtItsOffset()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, text);
        FillEveryField();
        SaveAs(Path("a.ZMR"));
        QByteArray record = ReadAll(Path("a.ZMR"));
        QCOMPARE(record.size(), RecordBytes);
        QCOMPARE(SlotAt(record, offset), text);
        QVERIFY(errors.empty());
    }

    void savingRightAfterStartWritesTheDefaults()
    {
        // As at start: the analysis window is built after the main window, and writes "0" into
        // the budget's empty cells.
        auto analysis = std::make_unique<TForm5>(nullptr);
        answers.push_back(Path("start.ZMR"));
        ClickSave();
        QCOMPARE(asked.size(), size_t(1));
        QCOMPARE(asked[0].first, toolkit::FileDialog::Kind::Save);
        QByteArray record = ReadAll(Path("start.ZMR"));
        QCOMPARE(record.size(), RecordBytes);

        for (int c = 0; c < 2; ++c)
            for (int r = 0; r < 31; ++r) {
                QCOMPARE(SlotAt(record, IncomeAt(c, r)), QByteArray());
                QCOMPARE(SlotAt(record, ExpenseAt(c, r)), QByteArray(c == 1 && r >= 1 && r <= 18 ? "0" : ""));
            }
        const std::map<std::pair<int, int>, const char*> daily = { { { 0, 0 }, "項　目" }, { { 1, 0 }, "合　計" },
            { { 0, 1 }, "食　費" }, { { 0, 2 }, "水道･光熱費" }, { { 0, 3 }, "交通通信費" }, { { 0, 4 }, "車関連費" },
            { { 0, 5 }, "被服費" }, { { 0, 6 }, "養育･教育費" }, { { 0, 7 }, "医療･衛生費" }, { { 0, 8 }, "年　金" },
            { { 0, 9 }, "　父" }, { { 0, 10 }, "保険料" }, { { 0, 11 }, "税　金" }, { { 0, 12 }, "日用品" },
            { { 0, 13 }, "住居･備品" }, { { 0, 14 }, "交際費･贈答" }, { { 0, 15 }, "教養･娯楽費" },
            { { 0, 16 }, "雑　費" }, { { 0, 18 }, "支出計" }, { { 0, 19 }, "銀行払出し" } };
        for (int c = 0; c < 33; ++c)
            for (int r = 0; r < 20; ++r) {
                auto label = daily.find({ c, r });
                QCOMPARE(SlotAt(record, DailyAt(c, r)), label == daily.end() ? QByteArray() : S(label->second));
            }
        const std::map<std::pair<int, int>, const char*> status = { { { 0, 1 }, "計算残高" }, { { 0, 2 }, "実質残高" },
            { { 0, 3 }, "差　額" }, { { 0, 4 }, "貯　蓄" }, { { 1, 0 }, "金　額" } };
        const std::map<std::pair<int, int>, const char*> onHand
            = { { { 0, 1 }, "財　布" }, { { 0, 2 }, "銀　行" }, { { 0, 4 }, "合　計" }, { { 1, 0 }, "金　額" } };
        for (int c = 0; c < 2; ++c) {
            for (int r = 0; r < 5; ++r) {
                auto label = status.find({ c, r });
                QCOMPARE(SlotAt(record, StatusAt(c, r)), label == status.end() ? QByteArray() : S(label->second));
            }
            for (int r = 0; r < 6; ++r) {
                auto label = onHand.find({ c, r });
                QCOMPARE(SlotAt(record, OnHandAt(c, r)), label == onHand.end() ? QByteArray() : S(label->second));
            }
        }
        for (int c = 0; c < 33; ++c)
            for (int r = 0; r < 20; ++r)
                for (int k = 0; k < 2; ++k)
                    for (int j = 0; j < 19; ++j) {
                        QByteArray expected;
                        bool defaultList = c >= 2 && r >= 1 && r <= 17;
                        if (defaultList && j == 0)
                            expected = S(k == 0 ? DefaultHeaders[r] : "金　額");
                        else if (defaultList && k == 0 && r <= 5 && j <= int(SampleItems[r].size()))
                            expected = S(SampleItems[r][j - 1]);
                        QCOMPARE(SlotAt(record, ListAt(c, r, k, j)), expected);
                    }
        QCOMPARE(SlotAt(record, MemoAt), S("メモ"));
        QCOMPARE(SlotAt(record, MonthAt), QByteArray());
        QCOMPARE(SlotAt(record, DayAt), QByteArray());
        QVERIFY(errors.empty());
    }

    void typedTextsAreCutByBytes_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("a period month of three digits is saved as its first two")
            << "Edit1"
            << "123" << MonthAt << QByteArray("12");
        QTest::newRow("a start day of three digits is saved as its first two") << "Edit2"
                                                                               << "315" << DayAt << QByteArray("31");
        QTest::newRow("a memo of 300 bytes keeps its first 255")
            << "Memo1" << QString(300, QLatin1Char('m')) << MemoAt << QByteArray(255, 'm');
        QTest::newRow("a memo of 200 double-byte characters ends on half a character")
            << "Memo1" << QString(200, QChar(0x3042)) << MemoAt
            << Bytes(Sjis(QString(200, QChar(0x3042)).toStdString()).substr(0, 255));
        QTest::newRow("memo lines typed with Enter are joined by CR LF")
            << "Memo1"
            << "ab\ncd" << MemoAt << QByteArray("ab\r\ncd");
    }

    void typedTextsAreCutByBytes()
    {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(int, offset);
        QFETCH(QByteArray, saved);
        QWidget* widget = form->findChild<QWidget*>(control);
        QVERIFY(widget);
        if (auto* memo = qobject_cast<QPlainTextEdit*>(widget))
            memo->clear();
        const QStringList lines = typed.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(widget, Qt::Key_Return);
            for (QChar typedChar : lines[i])
                QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(typedChar), Qt::NoModifier);
        }
        SaveAs(Path("typed.ZMR"));
        QCOMPARE(SlotAt(ReadAll(Path("typed.ZMR")), offset), saved);
    }

    void everyFieldSurvivesSaveOpenSave()
    {
        FillEveryField();
        SaveAs(Path("first.ZMR"));
        QByteArray first = ReadAll(Path("first.ZMR"));
        NewForm();
        ClickOpen(Path("first.ZMR"));
        QVERIFY(errors.empty());
        SaveAs(Path("second.ZMR"));
        QVERIFY(ReadAll(Path("second.ZMR")) == first);
    }

    void bytesAfterTheTextsAreIgnoredAndWrittenAsZero()
    {
        FillEveryField();
        SaveAs(Path("clean.ZMR"));
        QByteArray clean = ReadAll(Path("clean.ZMR"));
        QByteArray noisy = clean;
        for (const SlotRun& run : SlotRuns)
            for (int slot = 0; slot < run.Count; ++slot) {
                int offset = run.Offset + slot * run.Size;
                int length = static_cast<unsigned char>(noisy.at(offset));
                for (int i = 1 + length; i < run.Size; ++i)
                    noisy[offset + i] = char(0xA5);
            }
        QVERIFY(WriteAll(Path("noisy.ZMR"), noisy));
        NewForm();
        ClickOpen(Path("noisy.ZMR"));
        SaveAs(Path("again.ZMR"));
        QVERIFY(ReadAll(Path("again.ZMR")) == clean);
    }

    void openPutsEveryAreaInItsPlace()
    {
        QByteArray record(RecordBytes, '\0');
        PutAt(record, IncomeAt(0, 30), "inc30");
        PutAt(record, ExpenseAt(1, 0), "exp header");
        PutAt(record, ExpenseAt(0, 20), "ignored");
        PutAt(record, StatusAt(1, 1), "12345");
        PutAt(record, DailyAt(1, 18), "777");
        PutAt(record, DailyAt(9, 3), "day9");
        PutAt(record, ListAt(9, 3, 1, 18), "spare");
        PutAt(record, MonthAt, "11");
        PutAt(record, DayAt, "20");
        PutAt(record, OnHandAt(1, 2), "bank");
        PutAt(record, OnHandAt(1, 5), "ignored");
        PutAt(record, MemoAt, "line1\r\nline2");
        record[DailyAt(3, 4)] = char(250); // a length byte above the capacity reads the capacity
        record.replace(DailyAt(3, 4) + 1, 12, "ABCDEFGHIJKL");
        record[MonthAt] = char(9);
        QVERIFY(WriteAll(Path("in.ZMR"), record));
        form->StringGrid3->SetCell(1, 5, "kept");
        ClickOpen(Path("in.ZMR"));

        QCOMPARE(Bytes(IncomeBudget[0][30].View()), QByteArray("inc30"));
        QCOMPARE(Bytes(ExpenseBudget[1][0].View()), QByteArray("exp header"));
        QCOMPARE(Bytes(ExpenseBudget[0][19].View()), QByteArray());
        QCOMPARE(form->StringGrid2->Cell(1, 1), std::string("12345"));
        QCOMPARE(form->StringGrid4->Cell(9, 3), std::string("day9"));
        QCOMPARE(Bytes(DailyTable[9][3].View()), QByteArray("day9"));
        QCOMPARE(form->StringGrid4->Cell(0, 1), std::string()); // the labels come from the file too
        QCOMPARE(form->StringGrid4->Cell(3, 4), std::string("ABCDEFGHIJKL"));
        QCOMPARE(Bytes(DetailLists[9][3][1][18].View()), QByteArray("spare"));
        QCOMPARE(form->Edit1->Text(), std::string("11"));
        QCOMPARE(form->Edit2->Text(), std::string("20"));
        QCOMPARE(form->StringGrid3->Cell(1, 2), std::string("bank"));
        QCOMPARE(form->StringGrid3->Cell(1, 5), std::string("kept"));
        QCOMPARE(form->Memo1->Text(), std::string("line1\r\nline2"));
        QCOMPARE(form->Memo1->LineCount(), 2);
        QVERIFY(errors.empty());
    }

    void fileSizesDecideWhatLoads_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("memo");
        QTest::addColumn<QByteArray>("error");
        QTest::addColumn<bool>("totalsRecomputed");
        QTest::newRow("a file of two records loads the second")
            << true << HandRecord("first") + HandRecord("second") << QByteArray("second memo") << QByteArray() << true;
        QTest::newRow("a file of 0 bytes loads nothing and still recomputes the totals")
            << true << QByteArray() << QByteArray("before") << QByteArray() << true;
        QTest::newRow("a record and 100 bytes applies the record and stops before the totals")
            << true << HandRecord("first") + QByteArray(100, 'x') << QByteArray("first memo")
            << S("ﾌｧｲﾙの末尾以降を読み込みました.") << false;
        QTest::newRow("three records and 100 bytes apply the third and stop before the totals")
            << true << HandRecord("first") + HandRecord("second") + HandRecord("third") + QByteArray(100, 'x')
            << QByteArray("third memo") << S("ﾌｧｲﾙの末尾以降を読み込みました.") << false;
        QTest::newRow("a name that does not exist loads nothing")
            << false << QByteArray() << QByteArray("before") << S("ﾌｧｲﾙが見つかりません.") << false;
    }

    void fileSizesDecideWhatLoads()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, memo);
        QFETCH(QByteArray, error);
        QFETCH(bool, totalsRecomputed);
        form->Memo1->SetText("before");
        IncomeBudget[1][12].Assign("5000");
        DailyTable[1][18].Assign("1200");
        form->StringGrid1->SetCell(1, 3, "untouched");
        if (exists)
            QVERIFY(WriteAll(Path("f.ZMR"), content));
        ClickOpen(Path("f.ZMR"));
        QCOMPARE(Bytes(form->Memo1->Text()), memo);
        QCOMPARE(errors, error.isEmpty() ? std::vector<QByteArray>() : std::vector<QByteArray> { error });
        QCOMPARE(form->StringGrid1->Cell(1, 3), std::string(totalsRecomputed ? "3800" : "untouched"));
    }

    void openRefusesWhatIsNoRegularFileAtOnce_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("a FIFO without a writer") << "fifo";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("the character device /dev/zero") << "/dev/zero";
    }

    void openRefusesWhatIsNoRegularFileAtOnce()
    {
        QFETCH(QString, name);
        QCOMPARE(::mkfifo(QFile::encodeName(Path("fifo")).constData(), 0644), 0);
        QVERIFY(QDir(dir->path()).mkdir("folder"));
        QVERIFY(WriteAll(Path("good.ZMR"), HandRecord("good")));
        form->Memo1->SetText("before");
        QElapsedTimer timer;
        timer.start();
        ::alarm(10); // an Open that waits ends the test here instead of hanging it
        ClickOpen(QDir::isAbsolutePath(name) ? name : Path(name));
        ::alarm(0);
        qint64 milliseconds = timer.elapsed();
        QVERIFY2(milliseconds < 1000, QByteArray::number(milliseconds) + " ms");
        QCOMPARE(errors, std::vector<QByteArray> { S("ﾌｧｲﾙへのｱｸｾｽが拒否されました.") });
        QCOMPARE(form->Memo1->Text(), std::string("before"));
        ClickOpen(Path("good.ZMR"));
        QCOMPARE(errors.size(), size_t(1));
        QCOMPARE(form->Memo1->Text(), std::string("good memo"));
    }

    // Records before the last are never read, so the size of the file costs nothing.
    void aGibibyteOfRecordsOpensAtOnceWithItsLastRecord()
    {
        const qint64 records = (qint64(1) << 30) / RecordBytes + 1;
        QFile big(Path("big.ZMR"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(records * RecordBytes)); // holes, but for the last record
        QVERIFY(big.seek((records - 1) * RecordBytes));
        QCOMPARE(big.write(HandRecord("last")), qint64(RecordBytes));
        big.close();
        QElapsedTimer timer;
        timer.start();
        ClickOpen(Path("big.ZMR"));
        qint64 milliseconds = timer.elapsed();
        QVERIFY2(milliseconds < 100, QByteArray::number(milliseconds) + " ms");
        QVERIFY(errors.empty());
        QCOMPARE(form->Memo1->Text(), std::string("last memo"));
        QCOMPARE(form->StringGrid1->Cell(1, 3), std::string("3800"));
    }

    void readOnlyLedgerOpens()
    {
        QVERIFY(WriteAll(Path("ro.ZMR"), HandRecord("ro")));
        QVERIFY(QFile::setPermissions(Path("ro.ZMR"), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        WithoutPermissionOverride asAnyUser;
        QCOMPARE(::open(QFile::encodeName(Path("ro.ZMR")).constData(), O_RDWR), -1); // really read-only
        QCOMPARE(errno, EACCES);
        ClickOpen(Path("ro.ZMR"));
        QVERIFY(errors.empty());
        QCOMPARE(form->Memo1->Text(), std::string("ro memo"));
    }

    void totalsAfterOpen_data()
    {
        QTest::addColumn<QByteArray>("income");
        QTest::addColumn<QByteArray>("budget");
        QTest::addColumn<QByteArray>("used");
        QTest::addColumn<QByteArray>("spent");
        QTest::addColumn<int>("projected");
        QTest::addColumn<QByteArray>("forecast");
        QTest::newRow("budget 3000 used 3500 adds nothing")
            << QByteArray("10000") << QByteArray("3000") << QByteArray("3500") << QByteArray("3500") << 3500
            << QByteArray("6500");
        QTest::newRow("budget 3000 used 1000 adds 2000")
            << QByteArray("10000") << QByteArray("3000") << QByteArray("1000") << QByteArray("1000") << 3000
            << QByteArray("7000");
        QTest::newRow("budget 3000 used exactly 3000 adds nothing")
            << QByteArray("10000") << QByteArray("3000") << QByteArray("3000") << QByteArray("3000") << 3000
            << QByteArray("7000");
        QTest::newRow("a category without a budget adds nothing whatever it used")
            << QByteArray("10000") << QByteArray() << QByteArray("abc") << QByteArray("500") << 500
            << QByteArray("9500");
        QTest::newRow("a budgeted category with nothing used adds its budget")
            << QByteArray("10000") << QByteArray("3000") << QByteArray() << QByteArray("0") << 3000
            << QByteArray("7000");
        QTest::newRow("an empty month total counts as nothing spent")
            << QByteArray("10000") << QByteArray("3000") << QByteArray() << QByteArray() << 3000 << QByteArray("7000");
        QTest::newRow("an empty income total is 0") << QByteArray() << QByteArray("3000") << QByteArray("1000")
                                                    << QByteArray("1000") << 3000 << QByteArray("-3000");
    }

    void totalsAfterOpen()
    {
        QFETCH(QByteArray, income);
        QFETCH(QByteArray, budget);
        QFETCH(QByteArray, used);
        QFETCH(QByteArray, spent);
        QFETCH(int, projected);
        QFETCH(QByteArray, forecast);
        QByteArray record(RecordBytes, '\0');
        PutAt(record, IncomeAt(1, 12), income);
        PutAt(record, ExpenseAt(1, 18), "3000");
        PutAt(record, ExpenseAt(1, 6), budget);
        PutAt(record, DailyAt(1, 6), used);
        PutAt(record, DailyAt(1, 18), spent);
        QVERIFY(WriteAll(Path("t.ZMR"), record));
        ClickOpen(Path("t.ZMR"));
        QVERIFY(errors.empty());
        QCOMPARE(ProjectedSpending, projected);
        QCOMPARE(IncomeTotal, income.isEmpty() ? 0 : income.toInt());
        QCOMPARE(Bytes(form->StringGrid1->Cell(1, 1)), income);
        QCOMPARE(form->StringGrid1->Cell(1, 2), std::string("3000"));
        QCOMPARE(Bytes(form->StringGrid1->Cell(1, 3)), forecast);
    }

    void budgetedEmptyUsedCellBecomesZeroInTheTableOnly()
    {
        QByteArray record(RecordBytes, '\0');
        PutAt(record, ExpenseAt(1, 4), "3000");
        PutAt(record, DailyAt(1, 18), "0");
        QVERIFY(WriteAll(Path("z.ZMR"), record));
        ClickOpen(Path("z.ZMR"));
        QVERIFY(errors.empty());
        QCOMPARE(Bytes(DailyTable[1][4].View()), QByteArray("0"));
        QCOMPARE(form->StringGrid4->Cell(1, 4), std::string());
        QCOMPARE(Bytes(DailyTable[1][5].View()), QByteArray()); // no budget: left empty
        QCOMPARE(Bytes(DailyTable[1][18].View()), QByteArray("0"));
    }

    void totalsStopAtATextThatIsNoInteger()
    {
        QByteArray record(RecordBytes, '\0');
        PutAt(record, IncomeAt(1, 12), "9000");
        PutAt(record, ExpenseAt(1, 18), "4000");
        PutAt(record, ExpenseAt(1, 2), "3000");
        PutAt(record, ExpenseAt(1, 3), "abc");
        PutAt(record, DailyAt(1, 18), "100");
        PutAt(record, DailyAt(7, 7), "loaded");
        QVERIFY(WriteAll(Path("bad.ZMR"), record));
        form->StringGrid1->SetCell(1, 3, "untouched");
        ClickOpen(Path("bad.ZMR"));
        QCOMPARE(errors, std::vector<QByteArray> { S("'abc' は整数ではありません.") });
        QCOMPARE(form->StringGrid1->Cell(1, 1), std::string("9000"));
        QCOMPARE(form->StringGrid1->Cell(1, 2), std::string("4000"));
        QCOMPARE(form->StringGrid1->Cell(1, 3), std::string("untouched"));
        QCOMPARE(IncomeTotal, 9000);
        QCOMPARE(Bytes(DailyTable[1][2].View()), QByteArray("0")); // row 2 was done before row 3 failed
        QCOMPARE(form->StringGrid4->Cell(7, 7), std::string("loaded"));
    }

    void openClosesAnOpenDetailList_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("closed");
        QTest::newRow("a loaded record closes the list and empties its grid") << "list.ZMR" << true;
        QTest::newRow("a cancelled Open leaves the list open") << "" << false;
        QTest::newRow("a name that does not exist leaves the list open") << "missing.ZMR" << false;
        QTest::newRow("an empty file replaces nothing and leaves the list open") << "empty.ZMR" << false;
    }

    void openClosesAnOpenDetailList()
    {
        QFETCH(QString, answer);
        QFETCH(bool, closed);
        QVERIFY(WriteAll(Path("list.ZMR"), HandRecord("list")));
        QVERIFY(WriteAll(Path("empty.ZMR"), QByteArray()));
        // The list on screen as it was opened: nothing to confirm before the Open.
        form->OpenList = GridCell { 4, 2 };
        for (int c = 0; c <= 1; ++c)
            for (int r = 0; r <= 18; ++r)
                form->StringGrid5->SetCell(c, r, DetailLists[4][2][c][r].View());
        std::string header = form->StringGrid5->Cell(0, 0);
        QVERIFY(!header.empty());
        ClickOpen(answer.isEmpty() ? QString() : Path(answer));
        QCOMPARE(form->OpenList.has_value(), !closed);
        QCOMPARE(form->StringGrid5->Cell(0, 0), closed ? std::string() : header);
    }

    void saveAsksForANameUntilSaveAsGaveOne()
    {
        QVERIFY(WriteAll(Path("opened.ZMR"), HandRecord("opened")));
        ClickOpen(Path("opened.ZMR"));
        ClickSave(); // the opened name is not Save's name
        QCOMPARE(asked.size(), size_t(2));
        QCOMPARE(asked[1].first, toolkit::FileDialog::Kind::Save);
        QCOMPARE(asked[1].second, QString());
        QVERIFY(Entries(dir->path()) == QStringList { "opened.ZMR" }); // cancelled: nothing written

        SaveAs(Path("chosen.ZMR"));
        QByteArray saved = ReadAll(Path("chosen.ZMR"));
        QCOMPARE(SlotAt(saved, MemoAt), QByteArray("opened memo"));
        form->Memo1->SetText("changed");
        ClickSave(); // no dialog now: the chosen name is replaced
        QCOMPARE(asked.size(), size_t(3));
        QCOMPARE(SlotAt(ReadAll(Path("chosen.ZMR")), MemoAt), QByteArray("changed"));

        form->SaveAs1->trigger(); // Save As offers its last name; cancelled
        QCOMPARE(asked.size(), size_t(4));
        QCOMPARE(asked[3].second, Path("chosen.ZMR"));
        QCOMPARE(SlotAt(ReadAll(Path("chosen.ZMR")), MemoAt), QByteArray("changed"));
        QCOMPARE(Entries(dir->path()), (QStringList { "chosen.ZMR", "opened.ZMR" }));
    }

    void menuItemsRunTheCommands()
    {
        QVERIFY(WriteAll(Path("m.ZMR"), HandRecord("menu")));
        answers.push_back(Path("m.ZMR"));
        form->N2->trigger();
        QCOMPARE(form->Memo1->Text(), std::string("menu memo"));
        answers.push_back(Path("saved.ZMR"));
        form->Save1->trigger();
        QCOMPARE(asked.back().first, toolkit::FileDialog::Kind::Save);
        QCOMPARE(SlotAt(ReadAll(Path("saved.ZMR")), MemoAt), QByteArray("menu memo"));
    }

    // Renaming over a file needs only the folder's permission; the file's own decides all the same.
    void saveAsOntoAReadOnlyLedgerIsRefusedAndLeavesIt()
    {
        QVERIFY(QFile::setPermissions(dir->path(), QFileDevice::Permissions(0x7777))); // anyone may write here
        QVERIFY(WriteAll(Path("ro.ZMR"), HandRecord("ro")));
        QVERIFY(::chmod(QFile::encodeName(Path("ro.ZMR")).constData(), 0444) == 0);
        form->Memo1->SetText("changed");
        {
            AsAnotherUser asAnotherUser;
            if (!asAnotherUser.Active())
                QSKIP("this process can act as no user but root, whom permission bits do not stop");
            SaveAs(Path("ro.ZMR"));
        }
        QCOMPARE(errors, std::vector<QByteArray> { S("ﾌｧｲﾙへのｱｸｾｽが拒否されました.") });
        QVERIFY(ReadAll(Path("ro.ZMR")) == HandRecord("ro"));
        QCOMPARE(ModeOf(Path("ro.ZMR")), 0444);
        QCOMPARE(Entries(dir->path()), QStringList { "ro.ZMR" });
    }

    void failedSaveLeavesThePreviousFile_data()
    {
        QTest::addColumn<bool>("sizeLimit");
        QTest::addColumn<QByteArray>("error");
        QTest::newRow("a write stopped by the size limit is a full disk") << true << S("ﾃﾞｨｽｸがいっぱいです.");
        QTest::newRow("a folder without write permission refuses the save")
            << false << S("ﾌｧｲﾙへのｱｸｾｽが拒否されました.");
    }

    void failedSaveLeavesThePreviousFile()
    {
        QFETCH(bool, sizeLimit);
        QFETCH(QByteArray, error);
        FillEveryField();
        SaveAs(Path("keep.ZMR"));
        QByteArray previous = ReadAll(Path("keep.ZMR"));
        QCOMPARE(previous.size(), RecordBytes);
        form->Memo1->SetText("changed");
        if (sizeLimit) {
            FileSizeLimit limit(65536);
            ClickSave();
        } else {
            QVERIFY(QFile::setPermissions(dir->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            WithoutPermissionOverride asAnyUser;
            ClickSave();
        }
        QVERIFY(QFile::setPermissions(
            dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        QCOMPARE(errors, std::vector<QByteArray> { error });
        QVERIFY(ReadAll(Path("keep.ZMR")) == previous);
        QCOMPARE(Entries(dir->path()), QStringList { "keep.ZMR" });
        QCOMPARE(form->Memo1->Text(), std::string("changed"));
    }

    // ファイル > 以前の版… lists the versions of the ledger on screen; the one chosen opens as a month
    // without a name, whose Save asks for one, offering the ledger's; saved under it, it restores the
    // month, and the file it replaced is kept in turn.
    void anEarlierVersionOpensWithoutANameAndRestoresTheLedger()
    {
        for (const char* memo : { "first", "second" }) {
            form->Memo1->SetText(memo);
            SaveAs(Path("month.ZMR"));
        }
        QStringList listed;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog && dialog->objectName() == "VersionsDialog");
            auto* table = dialog->findChild<QTableWidget*>("Versions");
            for (int row = 0; row < table->rowCount(); ++row)
                listed << table->item(row, 0)->text();
            dialog->accept();  // the newest, chosen from the start
        });
        form->Versions1->trigger();
        QCOMPARE(listed.size(), 1);
        QCOMPARE(form->Memo1->Text(), std::string("first"));
        QVERIFY(form->LedgerFileName.isEmpty());
        answers.push_back(Path("month.ZMR"));
        ClickSave();
        QCOMPARE(asked.back(), std::make_pair(toolkit::FileDialog::Kind::Save, Path("month.ZMR")));
        QCOMPARE(SlotAt(ReadAll(Path("month.ZMR")), MemoAt), QByteArray("first"));
        std::vector<LedgerVersion> versions = VersionsOf(QFile::encodeName(Path("month.ZMR")).toStdString());
        QCOMPARE(versions.size(), size_t(2));
        QCOMPARE(SlotAt(ReadAll(QString::fromStdString(versions[0].Path)), MemoAt), QByteArray("second"));
        QVERIFY(errors.empty());
    }

    // On a full disk (a small tmpfs whose every inode is taken once a save has written its new
    // content next to the ledger and its lock), no earlier version can be kept; each save goes
    // ahead, and the user is told once.
    void savesOnAFullDiskGoAheadWithoutVersionsAndSayItOnce()
    {
        QString disk = Path("disk");
        QVERIFY(QDir().mkpath(disk));
        std::string target = QFile::encodeName(disk).toStdString();
        if (::mount("tmpfs", target.c_str(), "tmpfs", 0, "size=4m,nr_inodes=4") != 0)
            QSKIP("this machine lets no test mount a tmpfs");
        struct Mounted {
            std::string Target;
            ~Mounted() { ::umount(Target.c_str()); }
        } mounted { target };
        QString ledger = disk + "/month.ZMR";
        for (const char* memo : { "first", "second", "third" }) {
            form->Memo1->SetText(memo);
            SaveAs(ledger);
            QCOMPARE(SlotAt(ReadAll(ledger), MemoAt), QByteArray(memo));
        }
        QCOMPARE(errors, std::vector<QByteArray> { S("以前の版を残せませんでした（ﾃﾞｨｽｸがいっぱいです）.") });
    }
};

QTEST_MAIN(TestForm1File)
#include "tst_form1_file.moc"

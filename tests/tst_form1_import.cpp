// Statements imported into a real main window: a card and a bank statement into a December month,
// through ファイル > 明細を取り込む… with the file dialog and the preview answered as the user would;
// the lists, day cells, totals and bank balance as this test computes them, the same files again,
// one undo, and the same import by kivelo-ledger, byte for byte. The settings live in a folder of
// the test's own, where kivelo-ledger reads them too.
#include "app/importpreview.h"
#include "ledger/record.h"
#include "tests/companion.h"
#include "tests/gui.h"
#include "tests/ledgerbytes.h"

#include <QAction>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

namespace {

QTemporaryDir* ConfigFolder()
{
    static QTemporaryDir folder;
    return &folder;
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray ScreenRecord(TForm1& form)
{
    form.AssembleRecord();
    return QByteArray(reinterpret_cast<const char*>(LedgerRecord), RecordSize);
}

const QString CardStatement = QStringLiteral(
    "\"利用日\",\"利用店名・商品名\",\"利用者\",\"支払方法\",\"利用金額\",\"支払手数料\",\"支払総額\",\"1月支払金額\",\"2月繰越残高\",\"新規サイン\"\n"
    "\"2025/11/28\",\"ﾃｽﾄ\",\"本人\",\"1回払い\",\"1,000\",\"0\",\"1,000\",\"1,000\",\"0\",\"\"\n"
    "\"2025/12/02\",\"ﾛｰｿﾝ\",\"本人\",\"1回払い\",\"-500\",\"0\",\"-500\",\"-500\",\"0\",\"\"\n"
    "\"2025/12/03\",\"ＡＭＡＺＯＮ．ＣＯ．ＪＰ\",\"本人\",\"1回払い\",\"3,844\",\"0\",\"3,844\",\"3,844\",\"0\",\"\"\n"
    "\"2025/12/04\",\"とても長い名前のお店です\",\"本人\",\"1回払い\",\"1,100\",\"0\",\"1,100\",\"1,100\",\"0\",\"\"\n"
    "\"2025/12/05\",\"パン屋\",\"本人\",\"1回払い\",\"300\",\"0\",\"300\",\"300\",\"0\",\"\"\n"
    "\"2025/12/05\",\"八百屋\",\"本人\",\"1回払い\",\"400\",\"0\",\"400\",\"400\",\"0\",\"\"\n"
    "\"2025/12/05\",\"魚屋\",\"本人\",\"1回払い\",\"500\",\"0\",\"500\",\"500\",\"0\",\"\"\n");

const QString BankStatement = QStringLiteral(
    "\"日付\",\"摘要\",\"摘要内容\",\"支払い金額\",\"預かり金額\",\"差引残高\",\"メモ\",\"未資金化区分\",\"入払区分\"\r\n"
    "\"2025/12/6\",\"カード\",\"ＡＴＭ\",\"20,000\",\"\",\"80,000\",\"\",\"\",\"支払い\"\r\n"
    "\"2025/12/7\",\"口座振替\",\"ﾄｳｷﾖｳｶﾞｽ\",\"4,000\",\"\",\"76,000\",\"\",\"\",\"支払い\"\r\n");

} // namespace

class TestForm1Import : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        KeepImportRules({});
        form = gui::StartMainWindow(errors);
        QVERIFY(form);
    }
    void cleanup()
    {
        gui::StopMainWindow(form);
        toolkit::SetFilesDialogAnswerForTest(nullptr);
    }
    void statementsLandInTheirListsAsOnceAndAsTheCompanionPlacesThem();
    void aMonthWithoutItsPeriodImportsNothing();
    void statementsDroppedOnTheWindowOpenThePreview();

private:
    // ファイル > 明細を取り込む… with `files` chosen; `inPreview` runs in the preview before 取り込む.
    void Import(const QStringList& files, const std::function<void(ImportPreview&)>& inPreview)
    {
        toolkit::SetFilesDialogAnswerForTest([files](const QString&) { return files; });
        QTimer::singleShot(0, this, [&] {
            auto* preview = qobject_cast<ImportPreview*>(QApplication::activeModalWidget());
            QVERIFY(preview);
            inPreview(*preview);
            preview->findChild<QPushButton*>("Import")->click();
        });
        form->Import1->trigger();
    }

    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
};

void TestForm1Import::statementsLandInTheirListsAsOnceAndAsTheCompanionPlacesThem()
{
    QTemporaryDir folder;
    QByteArray month = DecemberRecord("100000");
    WriteSlot(month, LedgerBytes::IncomeOffset(1, 12), "300000");
    for (int line = 1; line <= 16; ++line) {  // 12月5日's 雑　費 holds 16 items
        WriteSlot(month, LedgerBytes::DetailOffset(6, 16, 0, line), "x" + QByteArray::number(line));
        WriteSlot(month, LedgerBytes::DetailOffset(6, 16, 1, line), "100");
    }
    QString ledger = folder.filePath("2025-12.ZMR");
    QString card = folder.filePath("card.csv");
    QString bank = folder.filePath("bank.CSV");
    QVERIFY(WriteAll(ledger, month));
    QVERIFY(WriteAll(card, "\xEF\xBB\xBF" + CardStatement.toUtf8()));
    QVERIFY(WriteAll(bank, ShiftJis(BankStatement)));
    KeepImportRules({ { "ﾄｳｷﾖｳｶﾞｽ", 2, true } });
    form->OpenLedgerFromOutside(ledger);
    QByteArray before = ScreenRecord(*form);

    statement::ImportPlan shown;
    Import({ card, bank }, [&](ImportPreview& preview) {
        auto* table = preview.findChild<QTableWidget*>("Purchases");
        for (int row = 0; row < table->rowCount(); ++row)
            if (table->item(row, 3)->text() == "AMAZON.CO.JP")  // the user files it under 教養･娯楽費
                table->item(row, 5)->setData(Qt::UserRole, 15);
        shown = preview.Plan();
    });
    QVERIFY2(errors.empty(), errors.empty() ? "" : errors.front().c_str());
    using statement::State;
    QCOMPARE((std::vector<int> { shown.Count(State::New), shown.Count(State::Full), shown.Count(State::Outside),
                 shown.Count(State::Refund), shown.Count(State::Unchecked) }),
        (std::vector<int> { 4, 2, 1, 1, 1 }));

    LedgerBytes after(ledger);  // not saved yet: the file is as it was
    QCOMPARE(after.Bytes(), month);
    QByteArray record = ScreenRecord(*form);
    QVERIFY(WriteAll(folder.filePath("screen.ZMR"), record));
    LedgerBytes screen(folder.filePath("screen.ZMR"));
    QCOMPARE(screen.Detail(4, 15, 0, 1), QByteArray("AMAZON.CO.JP"));
    QCOMPARE(screen.Detail(5, 16, 0, 1), ShiftJis("とても長い名"));  // 12 bytes, whole characters
    QCOMPARE(screen.Detail(6, 16, 0, 17), ShiftJis("パン屋"));
    QCOMPARE(screen.Detail(6, 16, 0, 18), QByteArray());  // nothing beyond 17 items
    QCOMPARE(screen.Detail(8, 2, 0, 1), ShiftJis("Aﾄｳｷﾖｳｶﾞｽ"));  // booked
    QCOMPARE(screen.OnHand(1, 2), QByteArray("96000"));
    int64_t spent = 3844 + 1100 + (1600 + 300) + 4000;
    QCOMPARE((QList<QByteArray> { screen.Daily(4, 15), screen.Daily(5, 16), screen.Daily(6, 16), screen.Daily(8, 2),
                 screen.Daily(6, 18), screen.Daily(1, 16), screen.Daily(1, 18), screen.Status(1, 1) }),
        (QList<QByteArray> { "3844", "1100", "1900", "4000", "1900", "3000", QByteArray::number(spent),
            QByteArray::number(300000 - spent) }));
    QCOMPARE(KeptImportRules().back(), (statement::Rule { "AMAZON.CO.JP", 15, false }));

    // The companion, told the same files, writes the same ledger, and leaves the ledger as it was.
    QString out = folder.filePath("out.ZMR");
    companion::Run run = companion::RunTool({ "import", ledger, card, bank, "--into", out });
    QCOMPARE(run.Status, 0);
    QCOMPARE(LedgerBytes(out).Bytes(), record);
    QCOMPARE(LedgerBytes(ledger).Bytes(), month);

    // The same files again: nothing new; one undo takes the whole import back.
    Import({ card, bank }, [&](ImportPreview& preview) { shown = preview.Plan(); });
    QCOMPARE(shown.Count(State::New), 0);
    QCOMPARE(shown.Count(State::Duplicate), 4);
    QCOMPARE(ScreenRecord(*form), record);
    form->Undo1->trigger();
    QCOMPARE(ScreenRecord(*form), before);
}

void TestForm1Import::aMonthWithoutItsPeriodImportsNothing()
{
    QTemporaryDir folder;
    QVERIFY(WriteAll(folder.filePath("card.csv"), CardStatement.toUtf8()));
    QByteArray before = ScreenRecord(*form);
    toolkit::SetFilesDialogAnswerForTest([&](const QString&) { return QStringList { folder.filePath("card.csv") }; });
    form->Import1->trigger();
    QCOMPARE(errors, std::vector<std::string> { toolkit::ErrorBoxText(toolkit::Sjis("集計期間を設定してください")) });
    QCOMPARE(ScreenRecord(*form), before);
}

void TestForm1Import::statementsDroppedOnTheWindowOpenThePreview()
{
    QTemporaryDir folder;
    QString ledger = folder.filePath("2025-12.ZMR");
    QVERIFY(WriteAll(ledger, DecemberRecord()));
    QVERIFY(WriteAll(folder.filePath("card.csv"), CardStatement.toUtf8()));
    QVERIFY(WriteAll(folder.filePath("bank.txt"), ShiftJis(BankStatement)));
    form->OpenLedgerFromOutside(ledger);
    QVERIFY(gui::Drop(*form, form->StringGrid4->geometry().center(), { folder.filePath("card.csv"), folder.filePath("bank.txt") }));
    int rows = -1;
    QTimer::singleShot(0, this, [&] {  // once the drop is over, the preview opens
        auto* preview = qobject_cast<ImportPreview*>(QApplication::activeModalWidget());
        QVERIFY(preview);
        rows = int(preview->Plan().Rows.size());
        preview->reject();
    });
    QTRY_COMPARE(rows, 7 + 2);
    QCOMPARE(ScreenRecord(*form), QByteArray(DecemberRecord()));
}

int main(int argc, char** argv)
{
    // The window's settings and the companion's, in one folder of the test's own.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(ConfigFolder()->path()));
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kivelo"));
    TestForm1Import test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_form1_import.moc"

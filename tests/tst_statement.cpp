// Statement files read and planned into a December month: each issuer's layout in its own
// encoding, with its preamble, sections, totals and quirks; a layout none of them has; names as
// stored; duplicates, full lists, rules and what earlier months teach; files that cannot be read.
#include "ledger/record.h"
#include "statement/names.h"
#include "statement/plan.h"
#include "tests/ledgerbytes.h"
#include "toolkit/text.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace statement;

namespace {

// The month's detail list (day, category) at line `line`.
qsizetype ItemAt(int day, int category, int listColumn, int line)
{
    return LedgerBytes::DetailOffset(day + 1, category, listColumn, line);
}

QByteArray Encoded(const QString& text, const QString& encoding)
{
    if (encoding == "cp932")
        return ShiftJis(text);
    return (encoding == "utf8bom" ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
}

// Each row as "state column category name amount", the name in UTF-8.
QStringList Rows(const ImportPlan& plan)
{
    QStringList rows;
    for (const PlannedRow& row : plan.Rows)
        rows << QStringLiteral("%1 %2 %3 %4 %5")
                    .arg(StateName(row.Now))
                    .arg(row.Column)
                    .arg(row.Category)
                    .arg(QString::fromStdString(toolkit::Utf8FromSjis(row.Name)))
                    .arg(row.From.Amount);
    return rows;
}

ImportPlan PlanOf(const QByteArray& record, const std::vector<Purchase>& purchases, const Categoriser& categoriser = {})
{
    return PlanImport(reinterpret_cast<const unsigned char*>(record.constData()), purchases, categoriser);
}

Purchase Bought(int day, const char* description, int64_t amount, bool bank = false)
{
    return { "s.csv", day, { 2025, 12, day }, description, amount, Flow::Spent, bank };
}

} // namespace

class TestStatement : public QObject {
    Q_OBJECT
private slots:
    void everyIssuerIsReadIntoTheMonth_data();
    void everyIssuerIsReadIntoTheMonth();
    void namesAsStored_data();
    void namesAsStored();
    void duplicatesAreCountedAndAFullListTakesNoMore();
    void rulesComeFirstThenWhatEarlierMonthsTaught();
    void rulesSurviveTheSettingsFile();
    void aFileThatCannotBeReadSaysWhy_data();
    void aFileThatCannotBeReadSaysWhy();
};

void TestStatement::everyIssuerIsReadIntoTheMonth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("issuer");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("unread"); // "line reason"

    QTest::newRow("三菱UFJ銀行")
        << QStringLiteral("\"日付\",\"摘要\",\"摘要内容\",\"支払い金額\",\"預かり金額\",\"差引残高\",\"メモ\",\"未資金化区分\",\"入払区分\"\r\n"
                          "\"2025/12/3\",\"カード\",\"ﾐﾂｲｽﾐﾄﾓｶ-ﾄﾞ\",\"9,000\",\"\",\"91,000\",\"\",\"\",\"支払い\"\r\n"
                          "\"2025/12/5\",\"振込\",\"ｷﾕｳﾖ\",\"\",\"300,000\",\"391,000\",\"\",\"\",\"入金\"\r\n")
        << "cp932" << "三菱UFJ銀行"
        << QStringList { "unchecked 4 16 ﾐﾂｲｽﾐﾄﾓｶ-ﾄﾞ 9000", "deposit 6 0 ｷﾕｳﾖ 300000" } << QStringList {};
    QTest::newRow("三井住友銀行, era dates")
        << QStringLiteral("\"年月日（和暦）\",\"お引出し\",\"お預入れ\",\"お取り扱い内容\",\"残高\"\r\n"
                          "\"H24.12.10\",\"5,000\",\"\",\"ＡＴＭ\",\"95,000\"\r\n")
        << "cp932" << "三井住友銀行" << QStringList { "unchecked 11 16 ATM 5000" } << QStringList {};
    QTest::newRow("ゆうちょ銀行, preamble")
        << QStringLiteral("お客さま口座情報,\r\n現在高,123456\r\n出力日時,2025年12月20日\r\n口座番号,12345-6789\r\n"
                          "照会対象,入出金明細\r\n日付指定,20251201-20251220\r\n明細件数,2\r\n"
                          "取引日,入出金明細ＩＤ,受入金額（円）,払出金額（円）,詳細１,詳細２,現在（貸付）高,\r\n"
                          "20251204,0001,,\"1,200\",カード,ｾﾌﾞﾝｲﾚﾌﾞﾝ,122256,\r\n"
                          "20251207,0002,\"50,000\",,振込,ｼﾞｪｲｱ-ﾙ,172256,\r\n")
        << "cp932" << "ゆうちょ銀行" << QStringList { "unchecked 5 16 ｾﾌﾞﾝｲﾚﾌﾞﾝ 1200", "deposit 8 0 ｼﾞｪｲｱ-ﾙ 50000" }
        << QStringList {};
    QTest::newRow("楽天銀行, one signed column")
        << QStringLiteral("取引日,入出金(円),取引後残高(円),入出金内容\r\n20251209,-3000,97000,ＡＴＭ出金\r\n"
                          "20251210,200000,297000,給与\r\n")
        << "cp932" << "楽天銀行" << QStringList { "unchecked 10 16 ATM出金 3000", "deposit 11 0 給与 200000" }
        << QStringList {};
    QTest::newRow("住信SBIネット銀行, newest first")
        << QStringLiteral("\"日付\",\"内容\",\"出金金額(円)\",\"入金金額(円)\",\"残高(円)\",\"メモ\"\r\n"
                          "\"2025/12/12\",\"振込＊ヤマダ\",\"\",\"10,000\",\"110,000\",\"-\"\r\n"
                          "\"2025/12/11\",\"デビット　アマゾン\",\"2,500\",\"\",\"100,000\",\"-\"\r\n")
        << "cp932" << "住信SBIネット銀行"
        << QStringList { "unchecked 12 16 デビット　ア 2500", "deposit 13 0 振込*ヤマダ 10000" } << QStringList {};
    QTest::newRow("楽天カード, UTF-8 with BOM")
        << QStringLiteral("\"利用日\",\"利用店名・商品名\",\"利用者\",\"支払方法\",\"利用金額\",\"支払手数料\",\"支払総額\",\"1月支払金額\",\"2月繰越残高\",\"新規サイン\"\n"
                          "\"2025/12/14\",\"ＡＭＡＺＯＮ．ＣＯ．ＪＰ\",\"本人\",\"1回払い\",\"3,844\",\"0\",\"3,844\",\"3,844\",\"0\",\"*\"\n"
                          "\"2025/12/15\",\"ﾛｰｿﾝ\",\"本人\",\"1回払い\",\"-500\",\"0\",\"-500\",\"-500\",\"0\",\"\"\n")
        << "utf8bom" << "楽天カード" << QStringList { "new 15 16 AMAZON.CO.JP 3844", "refund 16 0 ﾛｰｿﾝ 500" }
        << QStringList {};
    QTest::newRow("三井住友カード, sections without a header")
        << QStringLiteral("山田　太郎　様,4980-****-****-****,ＶＩＳＡ\r\n"
                          "2025/12/05,ヨドバシカメラ　通信販売,4853,１,１,4853,\r\n"
                          "2025/12/06,ＡＢＣ,マート,1200,１,１,1200,\r\n"
                          ",,,,,6053\r\n"
                          "山田　花子　様,4980-****-****-****,ＶＩＳＡ家族\r\n"
                          "2025/12/7,ＡＭＡＺＯＮ．ＣＯ．ＪＰ,ご家族,1回払い,,'26/01,3844,3844,,,,,\r\n"
                          "2025/13/01,壊れた行,100,１,１,100,\r\n")
        << "cp932" << "三井住友カード"
        << QStringList { "new 6 16 ヨドバシカメ 4853", "new 7 16 ABC,マート 1200", "new 8 16 AMAZON.CO.JP 3844" }
        << QStringList { "7 日付が読めません" };
    QTest::newRow("PayPay, one payment over two methods")
        << QStringLiteral("取引日,出金金額（円）,入金金額（円）,海外出金金額,通貨,変換レート（円）,利用国,取引内容,取引先,取引方法,支払い区分,利用者,取引番号\n"
                          "2025/12/17 12:00:46,\"1,800\",-,-,-,-,-,支払い,セブン－イレブン,PayPay残高,-,-,0001\n"
                          "2025/12/17 12:00:46,200,-,-,-,-,-,支払い,セブン－イレブン,PayPayポイント,-,-,0001\n"
                          "2025/12/18 09:10:00,-,\"5,000\",-,-,-,-,チャージ,-,銀行口座,-,-,0002\n")
        << "utf8bom" << "PayPay" << QStringList { "new 18 16 セブン-イレ 2000", "deposit 19 0 チャージ 5000" }
        << QStringList {};
    QTest::newRow("ビューカード, preamble and card holder")
        << QStringLiteral("会員番号,1234-****-****-5678\r\n対象カード,ビューカード\r\nお支払日,2026年01月07日\r\n"
                          "今回お支払金額,\"3,524\"\r\n\r\n"
                          "ご利用年月日,ご利用箇所,ご利用額,払戻額,ご請求額（うち手数料・利息）,支払区分（回数）,今回回数,今回ご請求額・弁済金（うち手数料・利息）,現地通貨額,通貨略称,換算レート\r\n"
                          "ＶＩＥＷ　太郎　様\r\n"
                          "2025/12/20,ＪＲ東日本　モバイルＳｕｉｃａ,\"3,000\",,\"3,000\",１回,,\"3,000\",,,\r\n"
                          "2025/12/21,ルミネ,,524,,,,,,,\r\n")
        << "cp932" << "ビューカード" << QStringList { "new 21 16 JR東日本　モ 3000", "refund 22 0 ルミネ 524" }
        << QStringList {};
    QTest::newRow("エポスカード, dates in kanji")
        << QStringLiteral("種別（ショッピング、キャッシング、その他）,ご利用年月日,ご利用場所,ご利用内容,ご利用金額,お支払金額（キャッシングでは利息を含みます）,支払区分\r\n"
                          "ショッピング,2025年12月24日,マルイ,衣料品,\"12,000\",\"12,000\",1回\r\n")
        << "cp932" << "エポスカード" << QStringList { "new 25 16 マルイ 12000" } << QStringList {};
    QTest::newRow("Suica, fares, a shop and a charge")
        << QStringLiteral("カードID=JE000000,,,,\r\n"
                          "利用年月日,定期,鉄道会社名,入場駅/事業者名,定期,鉄道会社名,出場駅/降車場所,利用額(円),残額(円),メモ\r\n"
                          "2025/12/26,,ＪＲ東,渋谷,,ＪＲ東,新宿,170,2830,\r\n"
                          "2025/12/27,,,物販,,,,500,2330,\r\n"
                          "2025/12/27,,,,,,,-3000,5330,ｵｰﾄﾁｬｰｼﾞ\r\n")
        << "cp932" << "Suica・PASMO" << QStringList { "new 27 16 渋谷→新宿 170", "new 28 16 物販 500", "deposit 28 0  3000" }
        << QStringList {};
    QTest::newRow("a layout of its own, yen signs and full-width digits")
        << QStringLiteral("ご利用明細\r\nカード名称,サンプルカード\r\n\r\n"
                          "ご利用日,ご利用先,ご利用金額,備考\r\n"
                          "2025-12-02 10:00,ガソリンスタンド,￥４，５００,\r\n"
                          "2025/12/03,コンビニ,\"\\1,200\",\r\n"
                          "20251130,書店,800円,\r\n"
                          "2025/12/xx,不明,100,\r\n"
                          "2025/12/04,不明,１２.５,\r\n")
        << "cp932" << "一般の明細"
        << QStringList { "outside 0 16 書店 800", "new 3 16 ガソリンスタ 4500", "new 4 16 コンビニ 1200" }
        << QStringList { "8 日付が読めません", "9 金額が読めません" };
}

void TestStatement::everyIssuerIsReadIntoTheMonth()
{
    QFETCH(QString, text);
    QFETCH(QString, encoding);
    QFETCH(QString, issuer);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, unread);
    Statement read = ReadStatement("s.csv", Encoded(text, encoding).toStdString());
    QVERIFY2(!read.Failure, read.Failure ? read.Failure->c_str() : "");
    QCOMPARE(QString::fromStdString(read.Issuer), issuer);
    QCOMPARE(Rows(PlanOf(DecemberRecord(), read.Purchases)), rows);
    QStringList unreadRows;
    for (const UnreadRow& row : read.Unread)
        unreadRows << QStringLiteral("%1 %2").arg(row.Line).arg(QString::fromStdString(row.Reason));
    QCOMPARE(unreadRows, unread);
}

void TestStatement::namesAsStored_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("bank");
    QTest::addColumn<QString>("stored");
    QTest::newRow("full-width Latin never reads as a bank payment") << "ＡＭＡＺＯＮ" << false << "AMAZON";
    QTest::newRow("cut at a character, not inside one") << "aとても長い名前" << false << "aとても長い";
    QTest::newRow("half-width kana one byte each") << "  ﾐﾂｲｽﾐﾄﾓｶ-ﾄﾞｶｰﾄﾞ  " << false << "ﾐﾂｲｽﾐﾄﾓｶ-ﾄﾞｶ";
    QTest::newRow("a twin in code page 932") << "〜セール" << false << "～セール";
    QTest::newRow("no form at all") << "🍙屋𠮷" << false << "・屋・";
    QTest::newRow("a bank payment keeps 10 bytes") << "トウキヨウガス" << true << "Ａトウキヨウ";
}

void TestStatement::namesAsStored()
{
    QFETCH(QString, description);
    QFETCH(bool, bank);
    QFETCH(QString, stored);
    QCOMPARE(QByteArray::fromStdString(StoredName(description.toStdString(), bank)), ShiftJis(stored));
}

// A list of 16 items, two of them "お米 500": three such purchases make two duplicates and one
// new item in line 17; a fourth purchase finds the list full. The same once more imports nothing.
void TestStatement::duplicatesAreCountedAndAFullListTakesNoMore()
{
    QByteArray record = DecemberRecord();
    for (int line = 1; line <= 16; ++line) {
        WriteSlot(record, ItemAt(3, 16, 0, line), line <= 2 ? ShiftJis("お米") : QByteArray("x") + QByteArray::number(line));
        WriteSlot(record, ItemAt(3, 16, 1, line), "500");
    }
    std::vector<Purchase> purchases = { Bought(3, "お米", 500), Bought(3, "お米", 500), Bought(3, "お米", 500),
        Bought(3, "パン", 300) };
    ImportPlan plan = PlanOf(record, purchases);
    QCOMPARE(Rows(plan), (QStringList { "duplicate 4 16 お米 500", "duplicate 4 16 お米 500", "new 4 16 お米 500",
                             "full 4 16 パン 300" }));
    QCOMPARE(plan.Rows[2].ListLine, 17);
    QVERIFY(!PlaceInRecord(reinterpret_cast<unsigned char*>(record.data()), plan));
    QCOMPARE(LedgerBytes::DetailOffset(4, 16, 0, 17), ItemAt(3, 16, 0, 17));
    QCOMPARE(QByteArray(record.constData() + ItemAt(3, 16, 0, 17) + 1, 4), ShiftJis("お米"));
    QCOMPARE(PlanOf(record, purchases).Count(State::New), 0);
}

// A user's rule wins over what the folder's months teach; a name learnt folded ("ｷﾞｭｳﾆｭｳ" bought,
// "ぎゅうにゅう" kept) takes its most frequent category; a bank payment kept as "A…" is learnt as
// one; anything else is unclassified.
void TestStatement::rulesComeFirstThenWhatEarlierMonthsTaught()
{
    QTemporaryDir folder;
    QByteArray january = DecemberRecord();
    auto keep = [&](int day, int category, const QString& name, const QByteArray& amount) {
        int line = 1;
        while (january[ItemAt(day, category, 0, line)] != 0)
            ++line;
        WriteSlot(january, ItemAt(day, category, 0, line), ShiftJis(name));
        WriteSlot(january, ItemAt(day, category, 1, line), amount);
    };
    keep(1, 1, "ぎゅうにゅう", "200");
    keep(2, 1, "ぎゅうにゅう", "200");
    keep(3, 12, "ぎゅうにゅう", "200");
    keep(4, 2, "Aﾄｳｷﾖｳｶﾞｽ", "4000");
    keep(5, 5, "ユニクロ", "");  // no amount: no purchase
    QFile file(folder.filePath("2025-01.ZMR"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(january) == january.size());
    file.close();
    Categoriser categoriser;
    QCOMPARE(categoriser.LearnFromFolder(folder.path().toStdString()), 1);
    categoriser.SetRules({ { "ﾏﾙｴﾂ", 1, false } });
    std::vector<Purchase> purchases = { Bought(5, "マルエツ　新宿店", 1500), Bought(6, "ｷﾞｭｳﾆｭｳ", 210),
        Bought(7, "ﾄｳｷﾖｳｶﾞｽ", 4100, true), Bought(8, "ユニクロ", 2990), Bought(9, "ATM", 10000, true) };
    ImportPlan plan = PlanOf(DecemberRecord(), purchases, categoriser);
    QCOMPARE(Rows(plan), (QStringList { "new 6 1 マルエツ　新 1500", "new 7 1 ｷﾞｭｳﾆｭｳ 210", "new 8 2 Ａﾄｳｷﾖｳｶﾞｽ 4100",
                             "new 9 16 ユニクロ 2990", "unchecked 10 16 ATM 10000" }));
    QCOMPARE(plan.Rows[0].Rule, Source::User);
    QCOMPARE(plan.Rows[1].Rule, Source::Learned);
    QVERIFY(plan.Rows[2].Bank);
}

void TestStatement::rulesSurviveTheSettingsFile()
{
    std::vector<Rule> rules = { { "東京ガス", 2, true }, { "a+b/c%", 17, false } };
    QTemporaryDir folder;
    QFile settings(folder.filePath("kivelo.conf"));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[General]\nrules=x\n\n[import]\nrules=" + QByteArray::fromStdString(EncodeRules(rules)) + "\n");
    settings.close();
    QVERIFY(RulesFromSettingsFile(settings.fileName().toStdString()) == rules);
}

void TestStatement::aFileThatCannotBeReadSaysWhy_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("failure");
    QTest::newRow("no layout") << QByteArray("hello,world\r\n1,2\r\n") << "（日付・金額・摘要の列がありません）";
    QTest::newRow("no description") << ShiftJis("日付,金額\r\n2025/12/1,100\r\n") << "（摘要の列がありません）";
    QTest::newRow("empty") << QByteArray() << "空のファイルです";
    QTest::newRow("binary") << QByteArray("PK\x03\x04\x00\x00\x14", 7) << "文字のファイルではありません";
    QTest::newRow("50 MB") << QByteArray(50 * 1024 * 1024, 'a') << "大きすぎます";
}

void TestStatement::aFileThatCannotBeReadSaysWhy()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, failure);
    QTemporaryDir folder;
    QFile file(folder.filePath("s.csv"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    QElapsedTimer clock;
    clock.start();
    Statements read = ReadStatementFiles({ file.fileName().toStdString() });
    QVERIFY(clock.elapsed() < 2000);
    QCOMPARE(read.Failures.size(), size_t(1));
    QVERIFY2(QString::fromStdString(read.Failures[0].second).contains(failure), read.Failures[0].second.c_str());
    QVERIFY(read.Purchases.empty());
}

QTEST_GUILESS_MAIN(TestStatement)
#include "tst_statement.moc"

// Names used before, offered under a name cell of the detail list as it is typed into: from the
// month on screen and three earlier months written into its folder by the test.
#include "app/form1.h"
#include "sisyutp/form3.h"
#include "tests/gui.h"
#include "tests/ledgerbytes.h"

#include <QInputMethodEvent>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>

using namespace gui;
using toolkit::Sjis;

namespace {

// A month whose lists hold `items`, each "day category name amount" with the name in UTF-8.
QByteArray MonthWith(const QStringList& items)
{
    QByteArray record = DecemberRecord();
    std::map<std::pair<int, int>, int> lines;
    for (const QString& item : items) {
        QStringList parts = item.split(' ');
        int day = parts[0].toInt();
        int category = parts[1].toInt();
        int line = ++lines[{ day, category }];
        WriteSlot(record, LedgerBytes::DetailOffset(day + 1, category, 0, line), ShiftJis(parts[2]));
        WriteSlot(record, LedgerBytes::DetailOffset(day + 1, category, 1, line), parts[3].toLatin1());
    }
    return record;
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestForm1Names : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { StopMainWindow(form); }
    void namesUsedBeforeAreOfferedAndTaken();
    void theListFollowsTheKeysAndInputMethodCommits();
    void aBudgetEditorOffersTheBudgetsOfEarlierMonths();

private:
    QStringList Offered() const
    {
        QStringList names;
        for (int row = 0; row < offer->count(); ++row)
            names << offer->item(row)->text();
        return offer->isVisible() ? names : QStringList();
    }
    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
    QTemporaryDir folder;
    QListWidget* offer = nullptr;
};

void TestForm1Names::init()
{
    form = StartMainWindow(errors);
    QVERIFY(form);
    QVERIFY(WriteAll(folder.filePath("2025-09.ZMR"), MonthWith({ "1 1 牛乳 178", "2 1 牛乳 178", "3 1 ｷﾞｭｳﾆｭｳ 180" })));
    QByteArray october = MonthWith({ "1 1 牛肉 980", "5 1 ギョウザ 300", "6 1 ｷﾞｭｳﾆｭｳ 185" });
    WriteSlot(october, 806 + 5 * 13, ShiftJis("交通費"));  // the expense budget's row 5
    WriteSlot(october, 806 + (31 + 5) * 13, "8000");
    QVERIFY(WriteAll(folder.filePath("2025-10.ZMR"), october));
    QVERIFY(WriteAll(folder.filePath("2025-11.ZMR"),
        MonthWith({ "1 1 牛乳 198", "4 2 Aﾄｳｷﾖｳｶﾞｽ 4000", "5 16 AMAZON 1200" })));
    QVERIFY(WriteAll(folder.filePath("2025-12.ZMR"), MonthWith({ "2 1 牛乳 205" })));
    form->OpenLedgerFromOutside(folder.filePath("2025-12.ZMR"));
    offer = form->findChild<QListWidget*>("NameOffer1");
    QVERIFY(offer && !offer->isVisible());
    DoubleClickCell(form->StringGrid4, 3, 1);
}

void TestForm1Names::namesUsedBeforeAreOfferedAndTaken()
{
    TypeInto(form->StringGrid5, 0, 1, "牛");
    QTRY_COMPARE(Offered(), (QStringList { "牛乳　205", "牛肉　980" }));  // 4 uses before 1; the latest amount
    Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    QCOMPARE(form->StringGrid5->Cell(0, 1), Sjis("牛乳"));
    QCOMPARE(form->StringGrid5->Cell(1, 1), std::string("205"));
    QVERIFY(!offer->isVisible());

    TypeInto(form->StringGrid5, 1, 2, "150");  // an amount typed first stays
    TypeInto(form->StringGrid5, 0, 2, "ぎ");
    QTRY_COMPARE(Offered(), (QStringList { "ｷﾞｭｳﾆｭｳ　185", "ギョウザ　300" }));
    Press(Qt::Key_Up);  // from nothing highlighted to the last
    Press(Qt::Key_Return);
    QCOMPARE(form->StringGrid5->Cell(0, 2), Sjis("ギョウザ"));
    QCOMPARE(form->StringGrid5->Cell(1, 2), std::string("150"));

    TypeInto(form->StringGrid5, 0, 4, "am");  // a name of Latin letters is no bank payment
    QTRY_COMPARE(Offered(), (QStringList { "AMAZON　1200" }));
    TypeInto(form->StringGrid5, 0, 3, "Ａﾄ");  // a bank payment booked before is offered unbooked
    QTRY_COMPARE(Offered(), (QStringList { "Ａﾄｳｷﾖｳｶﾞｽ　4000" }));
    Press(Qt::Key_Escape);
    QVERIFY(!offer->isVisible());
    QCOMPARE(form->StringGrid5->Cell(0, 3), Sjis("Ａﾄ"));
    Press(Qt::Key_Escape);  // the second Escape gives the cell back its earlier text
    QCOMPARE(form->StringGrid5->Cell(0, 3), std::string());
}

void TestForm1Names::theListFollowsTheKeysAndInputMethodCommits()
{
    ClickCell(form->StringGrid5, 0, 1);
    QInputMethodEvent composing(QStringLiteral("ぎゅ"), {});
    QApplication::sendEvent(form->StringGrid5, &composing);
    QApplication::processEvents();
    QVERIFY(!offer->isVisible());  // nothing for text still being composed
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("牛"));
    QApplication::sendEvent(form->StringGrid5, &commit);
    QTRY_COMPARE(Offered().size(), 2);
    Type("乳");
    QTRY_COMPARE(Offered(), QStringList { "牛乳　205" });
    Type("x");
    QTRY_VERIFY(!offer->isVisible());  // no name begins so
    Type("\b");
    QTRY_COMPARE(Offered(), QStringList { "牛乳　205" });
    ClickCell(form->StringGrid5, 1, 1);  // another cell picked closes it
    QVERIFY(!offer->isVisible());
}

void TestForm1Names::aBudgetEditorOffersTheBudgetsOfEarlierMonths()
{
    auto* editor = OpenEditor<TForm3>(*form, 2);
    QVERIFY(editor);
    auto* offered = editor->findChild<QListWidget*>("NameOffer1");
    auto* fit = editor->findChild<QLabel*>("NameBytes1");
    QVERIFY(offered && fit);
    ClickCell(editor->StringGrid1, 0, 7);
    Type("交");
    QTRY_VERIFY(offered->isVisible());
    // This month's categories beginning so are offered as well, without an amount.
    QList<QListWidgetItem*> october = offered->findItems(QStringLiteral("交通費　8000"), Qt::MatchExactly);
    QCOMPARE(october.size(), 1);
    for (int row = 0; row <= offered->row(october.front()); ++row)
        Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    QCOMPARE(editor->StringGrid1->Cell(0, 7), Sjis("交通費"));
    QCOMPARE(editor->StringGrid1->Cell(1, 7), std::string("8000"));
    QTRY_COMPARE(fit->text(), QStringLiteral("6 / 12 バイト"));
}

QTEST_MAIN(TestForm1Names)
#include "tst_form1_names.moc"

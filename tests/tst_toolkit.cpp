// The runtime services: conversions with their exact syntax and messages, the error box text,
// the Shift-JIS helpers, the 12-byte cell cut, the string grid's store, geometry, keys and
// repaints, and the memo's taking of a text.
#include "ledger/tables.h"
#include "toolkit/controls.h"
#include "toolkit/convert.h"
#include "toolkit/dialogs.h"
#include "toolkit/failure.h"
#include "toolkit/ioerror.h"
#include "toolkit/stringgrid.h"
#include "toolkit/text.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QSignalSpy>
#include <QTest>
#include <cerrno>

using toolkit::Sjis;

namespace {

// The failure message of a call, or "" when it succeeds.
template <class Call>
std::string FailureOf(Call call)
{
    try {
        call();
    } catch (const toolkit::Failure& failure) {
        return failure.Message();
    }
    return {};
}

std::string NotInteger(const std::string& text) { return "'" + text + "'" + Sjis(" は整数ではありません"); }

} // namespace

class TestToolkit : public QObject {
    Q_OBJECT
private slots:
    void acceptsIntegers_data();
    void acceptsIntegers();
    void rejectsIntegers_data();
    void rejectsIntegers();
    void writesIntegers();
    void convertsFloats_data();
    void convertsFloats();
    void dividesWithTheRuntimeFailures();
    void checkedSumsFailInsteadOfWrapping();
    void errorBoxAppendsAFullStop_data();
    void errorBoxAppendsAFullStop();
    void guardShowsTheFailureAndSkipsTheRest();
    void ioMessagesComeFromErrno_data();
    void ioMessagesComeFromErrno();
    void todayIsShortDate();
    void shiftJisRoundTrips();
    void loneLeadByteDecodesToReplacement();
    void cellTextCutsByBytes();
    void classicFilterBecomesQtFilter();
    void gridKeepsCellsOutsideItsSize();
    void gridSelectsTheCellUnderAClick_data();
    void gridSelectsTheCellUnderAClick();
    void gridNeverSelectsFixedCells();
    void gridDeliversKeysAsShiftJisBytes_data();
    void gridDeliversKeysAsShiftJisBytes();
    void gridDeliversInputMethodCommitsByteWise();
    void memoAndEditsRefuseWhatTheLedgerCannotStore();
    void gridDrawsALoneLeadByte();
    void gridRepaintsEachRunOfChanges();
    void memoTakesATextWithoutUndo_data();
    void memoTakesATextWithoutUndo();
};

void TestToolkit::acceptsIntegers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("leading blanks are skipped") << QByteArray(" 12") << 12;
    QTest::newRow("a plus sign is allowed") << QByteArray("+5") << 5;
    QTest::newRow("a minus sign is allowed") << QByteArray("-7") << -7;
    QTest::newRow("a dollar sign starts hex digits") << QByteArray("$1F") << 31;
    QTest::newRow("lower-case hex digits count") << QByteArray("$ff") << 255;
    QTest::newRow("leading zeros are allowed") << QByteArray("007") << 7;
    QTest::newRow("the largest value") << QByteArray("2147483647") << 2147483647;
    QTest::newRow("the smallest value") << QByteArray("-2147483648") << int(-2147483647 - 1);
}

void TestToolkit::acceptsIntegers()
{
    QFETCH(QByteArray, text);
    QFETCH(int, value);
    QCOMPARE(toolkit::IntFromText(text.toStdString()), value);
}

void TestToolkit::rejectsIntegers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty text is rejected") << QByteArray("");
    QTest::newRow("a blank alone is rejected") << QByteArray(" ");
    QTest::newRow("a trailing blank is rejected") << QByteArray("12 ");
    QTest::newRow("a decimal point is rejected") << QByteArray("1.0");
    QTest::newRow("full-width digits are rejected") << QByteArray::fromStdString(Sjis("１２"));
    QTest::newRow("one above the range is rejected") << QByteArray("2147483648");
    QTest::newRow("one below the range is rejected") << QByteArray("-2147483649");
    QTest::newRow("a dollar sign alone is rejected") << QByteArray("$");
    QTest::newRow("an Enter byte after the digits is rejected") << QByteArray("12\r");
    QTest::newRow("a sign alone is rejected") << QByteArray("-");
    QTest::newRow("a sign before the dollar is rejected") << QByteArray("-$1");
    QTest::newRow("hex beyond the range is rejected") << QByteArray("$80000000");
}

void TestToolkit::rejectsIntegers()
{
    QFETCH(QByteArray, text);
    std::string bytes = text.toStdString();
    QCOMPARE(FailureOf([&] { toolkit::IntFromText(bytes); }), NotInteger(bytes));
}

void TestToolkit::writesIntegers()
{
    QCOMPARE(toolkit::TextFromInt(0), std::string("0"));
    QCOMPARE(toolkit::TextFromInt(-150), std::string("-150"));
    QCOMPARE(toolkit::TextFromInt(2147483647), std::string("2147483647"));
}

void TestToolkit::convertsFloats_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<double>("value");
    QTest::newRow("an integer is a float") << QByteArray("5000") << true << 5000.0;
    QTest::newRow("blanks around are allowed") << QByteArray("  -1.5 ") << true << -1.5;
    QTest::newRow("an exponent is allowed") << QByteArray("2.5E+3") << true << 2500.0;
    QTest::newRow("a point without leading digit") << QByteArray(".5") << true << 0.5;
    QTest::newRow("empty text is rejected") << QByteArray("") << false << 0.0;
    QTest::newRow("letters are rejected") << QByteArray("abc") << false << 0.0;
    QTest::newRow("an exponent without digits is rejected") << QByteArray("1e") << false << 0.0;
    QTest::newRow("a comma is rejected") << QByteArray("1,5") << false << 0.0;
}

void TestToolkit::convertsFloats()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, accepted);
    QFETCH(double, value);
    std::string bytes = text.toStdString();
    if (accepted) {
        QCOMPARE(toolkit::FloatFromText(bytes), value);
        return;
    }
    QCOMPARE(FailureOf([&] { toolkit::FloatFromText(bytes); }), "'" + bytes + "'" + Sjis(" は浮動小数点数ではありません"));
}

void TestToolkit::dividesWithTheRuntimeFailures()
{
    QCOMPARE(toolkit::DivideInt(-7, 2), -3);
    QCOMPARE(FailureOf([] { toolkit::DivideInt(5, 0); }), Sjis("0 による除算"));
    QCOMPARE(FailureOf([] { toolkit::DivideFloat(5.0, 0.0); }), Sjis("0 による浮動小数点数除算"));
    QCOMPARE(FailureOf([] { toolkit::DivideFloat(0.0, 0.0); }), Sjis("不正な浮動小数点数演算命令"));
    QCOMPARE(toolkit::DivideFloat(5000.0, 4000.0), 1.25);
}

void TestToolkit::checkedSumsFailInsteadOfWrapping()
{
    QCOMPARE(toolkit::AddAmounts(2147483640, 7), 2147483647);
    QCOMPARE(FailureOf([] { toolkit::AddAmounts(2147483647, 1); }), Sjis("整数オーバーフロー"));
    QCOMPARE(FailureOf([] { toolkit::SubtractAmounts(-2147483647 - 1, 1); }), Sjis("整数オーバーフロー"));
}

void TestToolkit::errorBoxAppendsAFullStop_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("shown");
    QByteArray notInteger = QByteArray::fromStdString(NotInteger("abc"));
    QTest::newRow("a Japanese ending gets a full stop") << notInteger << notInteger + ".";
    QTest::newRow("a closing parenthesis sorts before the stop") << QByteArray("I/O (3)") << QByteArray("I/O (3)");
    QTest::newRow("a full stop is not doubled") << QByteArray("done.") << QByteArray("done.");
    QTest::newRow("a letter sorts after the stop") << QByteArray("x") << QByteArray("x.");
    QTest::newRow("a digit sorts after the stop") << QByteArray("code 5") << QByteArray("code 5.");
    QTest::newRow("an empty message stays empty") << QByteArray("") << QByteArray("");
}

void TestToolkit::errorBoxAppendsAFullStop()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, shown);
    QCOMPARE(QByteArray::fromStdString(toolkit::ErrorBoxText(message.toStdString())), shown);
}

void TestToolkit::guardShowsTheFailureAndSkipsTheRest()
{
    std::vector<std::string> shown;
    toolkit::SetErrorSinkForTest([&](const std::string& text) { shown.push_back(text); });
    int steps = 0;
    toolkit::Guard([&] {
        ++steps;
        toolkit::IntFromText("x");
        ++steps;
    });
    toolkit::SetErrorSinkForTest(nullptr);
    QCOMPARE(steps, 1);
    QCOMPARE(shown.size(), size_t(1));
    QCOMPARE(shown[0], NotInteger("x") + ".");
}

void TestToolkit::ioMessagesComeFromErrno_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("message");
    QTest::newRow("a missing file") << ENOENT << QStringLiteral("ﾌｧｲﾙが見つかりません");
    QTest::newRow("a bad name") << ENOTDIR << QStringLiteral("不正なﾌｧｲﾙ名です");
    QTest::newRow("too many files") << EMFILE << QStringLiteral("ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます");
    QTest::newRow("access denied") << EACCES << QStringLiteral("ﾌｧｲﾙへのｱｸｾｽが拒否されました");
    QTest::newRow("a read-only file system is access denied") << EROFS << QStringLiteral("ﾌｧｲﾙへのｱｸｾｽが拒否されました");
    QTest::newRow("a full disk") << ENOSPC << QStringLiteral("ﾃﾞｨｽｸがいっぱいです");
    QTest::newRow("any other error keeps its number") << EIO << QStringLiteral("I/O ｴﾗｰ (1117)");
    QTest::newRow("an unlisted error keeps its number") << EXDEV << QStringLiteral("I/O ｴﾗｰ (%1)").arg(EXDEV);
}

void TestToolkit::ioMessagesComeFromErrno()
{
    QFETCH(int, error);
    QFETCH(QString, message);
    QCOMPARE(toolkit::FromSjis(toolkit::IoMessage(toolkit::IoCodeFromErrno(error))), message);
    QCOMPARE(toolkit::FromSjis(toolkit::IoMessage(toolkit::ReadPastEndCode)), QStringLiteral("ﾌｧｲﾙの末尾以降を読み込みました"));
}

void TestToolkit::todayIsShortDate()
{
    toolkit::SetTodayForTest(QDate(1998, 12, 3));
    QCOMPARE(toolkit::TodayText(), std::string("98/12/03"));
    toolkit::SetTodayForTest(QDate(2026, 1, 9));
    QCOMPARE(toolkit::TodayText(), std::string("26/01/09"));
    toolkit::SetTodayForTest(QDate());
    QCOMPARE(toolkit::TodayText().size(), size_t(8));
}

void TestToolkit::shiftJisRoundTrips()
{
    // The code page 932 forms: "Ａ" is 0x82 0x60, "～" 0x81 0x60, half-width katakana one byte.
    QCOMPARE(Sjis("Ａ"), std::string("\x82\x60"));
    QCOMPARE(Sjis("～"), std::string("\x81\x60"));
    QCOMPARE(Sjis("ｲ"), std::string("\xB2"));
    QCOMPARE(Sjis("･"), std::string("\xA5"));
    QCOMPARE(toolkit::FromSjis(Sjis("Ａ電気代")), QStringLiteral("Ａ電気代"));
    QCOMPARE(toolkit::ToSjis(QStringLiteral("お　米")), Sjis("お　米"));
    QCOMPARE(toolkit::ToSjis(QStringLiteral("a\u00E9b")), std::string("a?b"));
}

void TestToolkit::loneLeadByteDecodesToReplacement()
{
    QCOMPARE(toolkit::FromSjis(std::string("AB\x82")), QStringLiteral("AB\uFFFD"));
    QCOMPARE(toolkit::FromSjis(std::string("\x82")), QStringLiteral("\uFFFD"));
    QCOMPARE(toolkit::LastCharacterStart(Sjis("ab電")), size_t(2));
}

void TestToolkit::cellTextCutsByBytes()
{
    // Eleven bytes of whole characters, then a double-byte character straddling the twelfth.
    std::string text = Sjis("abc電気代AB") + Sjis("Ａ") + "xy";
    QCOMPARE(text.size(), size_t(15));
    CellText cell;
    cell.Assign(text);
    QCOMPARE(int(cell.Length), 12);
    QCOMPARE(cell.Str(), text.substr(0, 12));
    QCOMPARE(static_cast<unsigned char>(cell.Str().back()), static_cast<unsigned char>(0x82));
    cell.Assign("");
    QVERIFY(cell.Empty());
}

void TestToolkit::classicFilterBecomesQtFilter()
{
    QCOMPARE(toolkit::QtFilterFromClassic(Sjis("家計簿ファイル(*.ZMR)|*.ZMR")), QStringLiteral("家計簿ファイル(*.ZMR)"));
    QCOMPARE(toolkit::QtFilterFromClassic("A|*.a;*.b|B|*.c"), QStringLiteral("A (*.a *.b);;B (*.c)"));
}

void TestToolkit::gridKeepsCellsOutsideItsSize()
{
    toolkit::StringGrid grid(nullptr, "Grid");
    grid.SetShape(2, 4, 1, 1);
    grid.SetCell(1, 4, "below");
    grid.SetCell(5, 1, "right");
    grid.SetCell(-1, 0, "before");
    grid.SetCell(1, 1, "inside");
    QCOMPARE(grid.Cell(1, 4), std::string("below"));
    QCOMPARE(grid.Cell(5, 1), std::string("right"));
    QCOMPARE(grid.Cell(-1, 0), std::string("before"));
    QCOMPARE(grid.Cell(1, 1), std::string("inside"));
    QCOMPARE(grid.Cell(0, 3), std::string());
    grid.SetShape(2, 6, 1, 1);  // a cell outside comes inside when the grid grows
    QCOMPARE(grid.Cell(1, 4), std::string("below"));
    QCOMPARE(grid.Cell(1, 1), std::string("inside"));
}

void TestToolkit::gridSelectsTheCellUnderAClick_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QPoint>("cell");
    // Columns of 70 pixels and rows of 24, each followed by a one-pixel line.
    QTest::newRow("the first pixel of the first free cell") << QPoint(71, 25) << QPoint(1, 1);
    QTest::newRow("the last pixel of a cell") << QPoint(140, 49) << QPoint(1, 1);
    QTest::newRow("the line after a cell belongs to that cell") << QPoint(141, 50) << QPoint(1, 2);
    QTest::newRow("a taller row moves the rows below") << QPoint(75, 51 + 30) << QPoint(1, 3);
}

void TestToolkit::gridSelectsTheCellUnderAClick()
{
    QFETCH(QPoint, pixel);
    QFETCH(QPoint, cell);
    toolkit::StringGrid grid(nullptr, "Grid");
    grid.SetShape(3, 5, 1, 1);
    grid.SetDefaultColWidth(70);
    grid.SetDefaultRowHeight(24);
    grid.SetRowHeight(2, 30);
    grid.resize(400, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QCOMPARE(grid.MouseToCell(pixel.x(), pixel.y()), cell);
    QSignalSpy selected(&grid, &toolkit::StringGrid::SelectCell);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, pixel);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(QPoint(grid.Col(), grid.Row()), cell);
    QRect rect = grid.CellRect(cell.x(), cell.y());
    QVERIFY(pixel.x() >= rect.left() && pixel.x() <= rect.right() + 1);
    QVERIFY(pixel.y() >= rect.top() && pixel.y() <= rect.bottom() + 1);
}

void TestToolkit::gridNeverSelectsFixedCells()
{
    toolkit::StringGrid grid(nullptr, "Grid");
    grid.SetShape(3, 5, 1, 1);
    grid.SetDefaultColWidth(70);
    grid.resize(400, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy selected(&grid, &toolkit::StringGrid::SelectCell);
    QSignalSpy released(&grid, &toolkit::StringGrid::MouseUp);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(10, 60));  // fixed column
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(100, 5));  // fixed row
    QCOMPARE(selected.count(), 0);
    QCOMPARE(released.count(), 2);
    QCOMPARE(released.at(0).at(0).toInt(), 10);
    QCOMPARE(released.at(0).at(1).toInt(), 60);
    QCOMPARE(QPoint(grid.Col(), grid.Row()), QPoint(1, 1));
    QTest::keyClick(grid.viewport(), Qt::Key_Left);  // arrow keys stop at the fixed column
    QCOMPARE(QPoint(grid.Col(), grid.Row()), QPoint(1, 1));
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(QPoint(grid.Col(), grid.Row()), QPoint(1, 2));
    QCOMPARE(selected.count(), 1);
}

void TestToolkit::gridDeliversKeysAsShiftJisBytes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("a digit is one byte") << int(Qt::Key_1) << QStringLiteral("1") << QByteArray("1");
    QTest::newRow("Enter is byte 13") << int(Qt::Key_Return) << QStringLiteral("\r") << QByteArray("\r");
    QTest::newRow("Backspace is byte 8") << int(Qt::Key_Backspace) << QString() << QByteArray("\b");
    QTest::newRow("Escape is byte 27") << int(Qt::Key_Escape) << QString() << QByteArray("\x1b");
    QTest::newRow("a double-byte character is two bytes, lead first")
        << int(Qt::Key_unknown) << QStringLiteral("Ａ") << QByteArray("\x82\x60");
    QTest::newRow("a wave dash is its code page 932 twin") << int(Qt::Key_unknown) << QStringLiteral("〜")
                                                         << QByteArray("\x81\x60");
    QTest::newRow("a minus sign is its twin") << int(Qt::Key_unknown) << QStringLiteral("−") << QByteArray("\x81\x7c");
    QTest::newRow("an emoji is refused") << int(Qt::Key_unknown) << QStringLiteral("😀") << QByteArray();
    QTest::newRow("a character of no code page 932 is refused") << int(Qt::Key_unknown) << QStringLiteral("𠮷")
                                                              << QByteArray();
}

void TestToolkit::gridDeliversKeysAsShiftJisBytes()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    toolkit::StringGrid grid(nullptr, "Grid");
    grid.show();
    QSignalSpy keys(&grid, &toolkit::StringGrid::KeyPress);
    QSignalSpy refused(&grid, &toolkit::StringGrid::Refused);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&grid, &press);
    QByteArray received;
    for (const QList<QVariant>& call : keys)
        received += call.at(0).value<char>();
    QCOMPARE(received, bytes);
    QCOMPARE(refused.count(), bytes.isEmpty() && !text.isEmpty() ? 1 : 0);
}

// The memo and the edits take what the ledger can store, twins as the grids take them, and refuse
// the rest, typed or committed by an input method.
void TestToolkit::memoAndEditsRefuseWhatTheLedgerCannotStore()
{
    toolkit::Memo memo(nullptr, "Memo");
    toolkit::Edit edit(nullptr, "Edit");
    for (QWidget* control : std::initializer_list<QWidget*> { &memo, &edit }) {
        for (const QString& text : { QStringLiteral("〜"), QStringLiteral("😀") }) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
            QCoreApplication::sendEvent(control, &press);
        }
        for (const QString& text : { QStringLiteral("𠮷−"), QStringLiteral("−") }) {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QCoreApplication::sendEvent(control, &commit);
        }
    }
    QCOMPARE(memo.Text(), Sjis("～－"));
    QCOMPARE(edit.Text(), Sjis("～－"));
}

void TestToolkit::gridDeliversInputMethodCommitsByteWise()
{
    toolkit::StringGrid grid(nullptr, "Grid");
    QSignalSpy keys(&grid, &toolkit::StringGrid::KeyPress);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("Ａ電気代"));
    QCoreApplication::sendEvent(&grid, &commit);
    QByteArray received;
    for (const QList<QVariant>& call : keys)
        received += call.at(0).value<char>();
    QCOMPARE(received, QByteArray::fromStdString(Sjis("Ａ電気代")));
    QCOMPARE(received.size(), 8);
}

void TestToolkit::gridDrawsALoneLeadByte()
{
    toolkit::StringGrid grid(nullptr, "Grid");
    grid.SetShape(2, 3, 1, 1);
    grid.resize(200, 100);
    std::string cut = Sjis("電気代電気") + "\x82";
    grid.SetCell(1, 1, cut);
    QImage image(grid.size(), QImage::Format_ARGB32);
    grid.render(&image);
    QCOMPARE(grid.Cell(1, 1), cut);
}

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int Count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++Count;
        return false;
    }
};

} // namespace

void TestToolkit::gridRepaintsEachRunOfChanges()
{
    toolkit::StringGrid grid(nullptr, "Grid");
    grid.SetShape(3, 3, 1, 1);
    grid.resize(200, 100);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    PaintCounter paints;
    grid.viewport()->installEventFilter(&paints);
    QApplication::processEvents();
    // Every run of changes after a paint is painted, not only the first.
    for (int run = 1; run <= 3; ++run) {
        int before = paints.Count;
        grid.SetCell(1, 1, std::to_string(run));
        grid.SetCell(2, 2, std::to_string(run * 10));
        QTRY_VERIFY(paints.Count > before);
    }
    int before = paints.Count;
    grid.SetCell(2, 2, "30");  // no change
    QApplication::processEvents();
    QCOMPARE(paints.Count, before);
}

void TestToolkit::memoTakesATextWithoutUndo_data()
{
    QTest::addColumn<bool>("shown");
    QTest::newRow("a memo on screen") << true;
    QTest::newRow("a memo off screen") << false;
}

void TestToolkit::memoTakesATextWithoutUndo()
{
    QFETCH(bool, shown);
    toolkit::Memo memo(nullptr, "Memo");
    memo.resize(281, 57);
    if (shown) {
        memo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&memo));
    }
    // The memo keeps no undo of its own: the window's history takes back its typing.
    QTest::keyClicks(&memo, QStringLiteral("typed"));
    QVERIFY(!memo.document()->isUndoAvailable());
    std::string text = Sjis("一行目\r\n二行目\r\n三");
    memo.SetText(text);
    QCOMPARE(memo.Text(), text);
    QCOMPARE(memo.LineCount(), 3);
    QCOMPARE(memo.Line(1), Sjis("二行目"));
    // The caret is after the text.
    memo.undo();
    QCOMPARE(memo.Text(), text);
    QCOMPARE(memo.textCursor().position(), memo.toPlainText().size());
}

QTEST_MAIN(TestToolkit)
#include "tst_toolkit.moc"

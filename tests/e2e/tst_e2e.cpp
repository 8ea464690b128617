// Kivelo tried as a user would: the built program in a real X server (Xvfb with openbox), driven
// only from outside with real X input (xdotool), and its ledger files read back by a reader of
// this test's own. Every process the test starts is ended by its id.
#include "tests/ledgerbytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A process of this test's, ended by its id (SIGTERM, then SIGKILL) when the object goes.
class Child {
public:
    Child(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
    {
        process_.setProcessEnvironment(environment);
        process_.setProgram(program);
        process_.setArguments(arguments);
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(QProcess::nullDevice());
        process_.start();
        process_.waitForStarted(5000);
    }
    ~Child() { End(); }
    qint64 Pid() const { return process_.processId(); }
    bool Running() const { return process_.state() == QProcess::Running; }
    bool WaitForExit(int milliseconds)
    {
        // waitForFinished() is false for a process already seen to end.
        return process_.state() == QProcess::NotRunning || process_.waitForFinished(milliseconds);
    }
    void End()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
        if (!process_.waitForFinished(3000)) {
            ::kill(static_cast<pid_t>(process_.processId()), SIGKILL);
            process_.waitForFinished(3000);
        }
    }

private:
    QProcess process_;
};

struct Point {
    int X;
    int Y;
    bool operator==(const Point& other) const { return X == other.X && Y == other.Y; }
};

constexpr int ScreenWidth = 1280;
constexpr int ScreenHeight = 1024;

// The characters other than ASCII that the test types. xdotool types a character missing from the
// keymap by remapping a spare key just before, and a client can take the key event before the new
// mapping, losing the character; so they are all put into the keymap before the program starts.
const QString TypedCharacters = QStringLiteral("お　米Ａ電気代");

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void aMonthIsKeptSavedAndOpenedAgain();
    void aMonthTypedAndTakenBackSavesAsBefore();
    void aLedgerThatFailsOnOpenShowsOneErrorBox();
    void aLedgerNamedOnTheCommandLineOpensAtStart();
    void aMissingLedgerOnTheCommandLineIsNotFoundAndTheProgramStays();
    void theWindowsBehindShowTheirOwnPicturesWhenBroughtForward();
    void helpAndVersionNeedNoDisplay_data();
    void helpAndVersionNeedNoDisplay();

private:
    QString Run(const QString& program, const QStringList& arguments);
    void MapTypedCharacters();
    void StartKivelo(const QString& ledger = {});
    void QuitKivelo();
    QString WindowNamed(const QString& title, int timeoutMs = 10000);
    bool NoWindowNamed(const QString& title, int timeoutMs = 10000);
    bool StaysWithoutWindow(const QString& title, int milliseconds);
    bool Activate(const QString& window);
    bool OnTopAndActive(const QString& window, const QStringList& below);
    Point Origin(const QString& window);
    Point PlacedClientOrigin(const QString& window, int outerWidth, int outerHeight);
    Point MainClientOrigin(const QString& window);
    void Click(Point point, int clicks = 1);
    void Type(const QString& text);
    void Key(const QString& key);
    void Screenshot(const QString& window, const QString& name);
    void KeepPicture(const QString& window, const QString& name);
    bool ShowsOwnPicture(const QString& window, QColor own);
    QString WindowOver(const QString& from);
    bool Gone(const QString& window);
    void AnswerFileDialog(const QString& path);
    void SaveAsThroughMenu(const QString& path);
    Point OpenEditor(int row, const QString& title, int outerWidth, int outerHeight);
    void CloseEditor(const QString& title, Point ok);

    QProcessEnvironment environment_;
    QString display_;
    QString kivelo_;
    QString output_;
    QTemporaryDir home_;
    std::unique_ptr<Child> xvfb_;
    std::unique_ptr<Child> windowManager_;
    std::unique_ptr<Child> program_;
    QString mainWindow_;
    Point main_ {};
};

const QString MainTitle = QStringLiteral("Kivelo　Ｖｅｒ１．5");
const QString ErrorBoxTitle = QStringLiteral("家計簿1.5");

void TestEndToEnd::initTestCase()
{
    kivelo_ = QStringLiteral(KIVELO_BINARY);
    output_ = QStringLiteral(E2E_OUTPUT);
    QDir().mkpath(output_);
    QVERIFY2(QFile::exists(kivelo_), qPrintable(kivelo_));
    for (const char* tool : { "Xvfb", "openbox", "xdotool", "xwininfo", "xprop", "xmodmap", "import" })
        QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(), tool);

    // A display number of our own: the first whose lock file does not exist.
    for (int number = 40 + getpid() % 40;; ++number)
        if (!QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number))) {
            display_ = QStringLiteral(":%1").arg(number);
            break;
        }
    environment_ = QProcessEnvironment::systemEnvironment();
    environment_.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment_.insert(QStringLiteral("DISPLAY"), display_);
    environment_.insert(QStringLiteral("HOME"), home_.path());
    environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_.path());
    environment_.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    // The settings (the recent list) go to the test's own home; and without a desktop named in the
    // environment Qt has no platform theme, so the file dialogs are Qt's own, which the test types
    // into.
    environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.path() + QStringLiteral("/.config"));
    for (const char* desktop : { "QT_QPA_PLATFORMTHEME", "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP",
             "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID" })
        environment_.remove(QString::fromLatin1(desktop));
    // -noreset: the server keeps its keymap when its last client goes.
    xvfb_ = std::make_unique<Child>(QStringLiteral("Xvfb"),
        QStringList { display_, "-screen", "0", QStringLiteral("%1x%2x24").arg(ScreenWidth).arg(ScreenHeight),
            "-nolisten", "tcp", "-noreset" },
        environment_);
    QTRY_VERIFY_WITH_TIMEOUT(QProcess::execute(QStringLiteral("sh"),
                                 { "-c", QStringLiteral("DISPLAY=%1 xdpyinfo >/dev/null 2>&1").arg(display_) })
            == 0,
        10000);
    windowManager_ = std::make_unique<Child>(QStringLiteral("openbox"), QStringList {}, environment_);
    // openbox is running once it has named itself on the root window.
    QTRY_VERIFY_WITH_TIMEOUT(Run(QStringLiteral("xprop"), { "-root", "_NET_SUPPORTING_WM_CHECK" }).contains("window id"),
        10000);
    MapTypedCharacters();
}

void TestEndToEnd::cleanupTestCase()
{
    program_.reset();
    windowManager_.reset();
    xvfb_.reset();
}

QString TestEndToEnd::Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessEnvironment(environment_);
    process.start(program, arguments);
    process.waitForFinished(20000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

void TestEndToEnd::MapTypedCharacters()
{
    QStringList spare;
    for (const QString& line : Run(QStringLiteral("xmodmap"), { "-pke" }).split(QLatin1Char('\n'))) {
        QStringList words = line.simplified().split(QLatin1Char(' '));
        if (words.size() == 3 && words[0] == QLatin1String("keycode") && words[2] == QLatin1String("="))
            spare << words[1];
    }
    QVERIFY2(spare.size() >= TypedCharacters.size(), "the keymap has too few spare keys");
    QStringList expressions;
    for (int i = 0; i < TypedCharacters.size(); ++i) {
        QString keysym = QStringLiteral("U%1").arg(TypedCharacters[i].unicode(), 4, 16, QLatin1Char('0')).toUpper();
        expressions << "-e" << QStringLiteral("keycode %1 = %2 %2").arg(spare[i], keysym);
    }
    Run(QStringLiteral("xmodmap"), expressions);
    QString keymap = Run(QStringLiteral("xmodmap"), { "-pke" });
    for (QChar character : TypedCharacters)
        QVERIFY2(keymap.contains(QStringLiteral("U%1").arg(character.unicode(), 4, 16, QLatin1Char('0')).toUpper()),
            "a typed character is not in the keymap");
}

QString TestEndToEnd::WindowNamed(const QString& title, int timeoutMs)
{
    QString pattern = QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$');
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        QStringList ids = Run(QStringLiteral("xdotool"), { "search", "--onlyvisible", "--name", pattern })
                              .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (!ids.isEmpty())
            return ids.last();
        if (timer.elapsed() >= timeoutMs)
            return {};
        QTest::qWait(50);
    }
}

bool TestEndToEnd::NoWindowNamed(const QString& title, int timeoutMs)
{
    QString pattern = QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$');
    return QTest::qWaitFor(
        [&] { return Run(QStringLiteral("xdotool"), { "search", "--onlyvisible", "--name", pattern }).trimmed().isEmpty(); },
        timeoutMs);
}

// True when no window of that name is shown at any moment for the whole time.
bool TestEndToEnd::StaysWithoutWindow(const QString& title, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        if (!WindowNamed(title, 0).isEmpty())
            return false;
    return true;
}

bool TestEndToEnd::Activate(const QString& window)
{
    Run(QStringLiteral("xdotool"), { "windowactivate", "--sync", window });
    return QTest::qWaitFor(
        [&] { return Run(QStringLiteral("xdotool"), { "getactivewindow" }).trimmed() == window; }, 10000);
}

// The window is the active one and stands over the windows `below` in the window manager's
// stacking list, which runs from the bottom to the top.
bool TestEndToEnd::OnTopAndActive(const QString& window, const QStringList& below)
{
    QStringList stacking;
    for (const QString& id : Run(QStringLiteral("xprop"), { "-root", "_NET_CLIENT_LIST_STACKING" })
                                 .section(QLatin1Char('#'), 1)
                                 .split(QLatin1Char(','), Qt::SkipEmptyParts))
        stacking << QString::number(id.trimmed().toULongLong(nullptr, 16));
    qsizetype place = stacking.indexOf(window);
    for (const QString& other : below)
        if (place < 0 || stacking.indexOf(other) < 0 || stacking.indexOf(other) > place)
            return false;
    return Run(QStringLiteral("xdotool"), { "getactivewindow" }).trimmed() == window;
}

Point TestEndToEnd::Origin(const QString& window)
{
    QString info = Run(QStringLiteral("xwininfo"), { "-id", window });
    auto number = [&](const char* label) {
        QRegularExpression expression(QString::fromLatin1(label) + QStringLiteral(":\\s*(-?\\d+)"));
        return expression.match(info).captured(1).toInt();
    };
    return { number("Absolute upper-left X"), number("Absolute upper-left Y") };
}

// The client origin of a window that centres itself at its outer size, once the window manager
// has framed it and the window has placed itself accordingly.
Point TestEndToEnd::PlacedClientOrigin(const QString& window, int outerWidth, int outerHeight)
{
    Point expected { (ScreenWidth - outerWidth) / 2, (ScreenHeight - outerHeight) / 2 };
    Point client {};
    bool placed = QTest::qWaitFor(
        [&] {
            QStringList extents = Run(QStringLiteral("xprop"), { "-id", window, "_NET_FRAME_EXTENTS" })
                                      .section(QLatin1Char('='), 1)
                                      .split(QLatin1Char(','), Qt::SkipEmptyParts);
            if (extents.size() != 4)
                return false;
            client = Origin(window);
            return Point { client.X - extents[0].trimmed().toInt(), client.Y - extents[2].trimmed().toInt() }
                == expected;
        },
        10000);
    return placed ? client : Point { -1, -1 };
}

Point TestEndToEnd::MainClientOrigin(const QString& window)
{
    // The title panel of 予算と経過 is the topmost lime area; its first lime pixel is client
    // (1, 81), inside the panel's one-pixel bevel. The window is maximised and on top first.
    QString shot = output_ + QStringLiteral("/locate.png");
    Point found { -1, -1 };
    QTest::qWaitFor(
        [&] {
            if (!Run(QStringLiteral("xprop"), { "-id", window, "_NET_WM_STATE" }).contains("MAXIMIZED_HORZ"))
                return false;
            Run(QStringLiteral("import"), { "-window", "root", shot });
            QImage image(shot);
            Point window = Origin(mainWindow_);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixelColor(x, y) == QColor(0, 255, 0)) {
                        found = { x - 1, y - 81 };
                        // The client area starts below the menu bar, inside the window.
                        return found.X == window.X && found.Y > window.Y;
                    }
            return false;
        },
        10000);
    return found;
}

// xdotool sends its events through the X server in order, so each click or key reaches the
// program after the ones before; only a new window must be waited for.
void TestEndToEnd::Click(Point point, int clicks)
{
    Run(QStringLiteral("xdotool"),
        { "mousemove", "--sync", QString::number(point.X), QString::number(point.Y), "click", "--repeat",
            QString::number(clicks), "--delay", "60", "1" });
}

void TestEndToEnd::Type(const QString& text) { Run(QStringLiteral("xdotool"), { "type", "--delay", "20", text }); }

void TestEndToEnd::Key(const QString& key) { Run(QStringLiteral("xdotool"), { "key", key }); }

void TestEndToEnd::Screenshot(const QString& window, const QString& name)
{
    QVERIFY(Activate(window));
    KeepPicture(window, name);
}

// Waits until the picture of the window ("root" for the whole screen) stops changing before it is
// kept.
void TestEndToEnd::KeepPicture(const QString& window, const QString& name)
{
    QString path = output_ + QLatin1Char('/') + name + QStringLiteral(".png");
    QImage last;
    QTest::qWaitFor(
        [&] {
            Run(QStringLiteral("import"), { "-window", window, path });
            QImage now(path);
            bool steady = !now.isNull() && now == last;
            last = now;
            return steady;
        },
        5000);
}

void TestEndToEnd::StartKivelo(const QString& ledger)
{
    program_ = std::make_unique<Child>(kivelo_, ledger.isEmpty() ? QStringList {} : QStringList { ledger }, environment_);
    QVERIFY(program_->Running());
    mainWindow_ = WindowNamed(MainTitle);
    QVERIFY(!mainWindow_.isEmpty());
    QString help = WindowNamed(QStringLiteral("ヘルプ"));
    QString analysis = WindowNamed(QStringLiteral("使用状況の分析"));
    QVERIFY(!help.isEmpty());
    QVERIFY(!analysis.isEmpty());
    // The main window comes up on top of the two others and active by itself.
    QVERIFY(QTest::qWaitFor([&] { return OnTopAndActive(mainWindow_, { help, analysis }); }, 10000));
    QVERIFY(Activate(mainWindow_));
    main_ = MainClientOrigin(mainWindow_);
    QVERIFY(main_.X >= 0);
}

void TestEndToEnd::QuitKivelo()
{
    Click({ main_.X + 84, main_.Y + 12 });  // BitBtn1: ends the program, the ledger being saved
    bool ended = program_->WaitForExit(10000);
    if (!ended)
        Run(QStringLiteral("import"), { "-window", "root", output_ + QStringLiteral("/still-running.png") });
    QVERIFY(ended);
    program_.reset();
}

// The window that takes the activation from `from`: a dialog or a box the program opened.
QString TestEndToEnd::WindowOver(const QString& from)
{
    QString active;
    QTest::qWaitFor(
        [&] {
            active = Run(QStringLiteral("xdotool"), { "getactivewindow" }).trimmed();
            return !active.isEmpty() && active != from;
        },
        10000);
    return active == from ? QString() : active;
}

bool TestEndToEnd::Gone(const QString& window)
{
    return QTest::qWaitFor(
        [&] { return !Run(QStringLiteral("xwininfo"), { "-id", window }).contains("IsViewable"); }, 10000);
}

// The file dialog opens with the focus in its name field; once it has gone, the program has
// taken the name.
void TestEndToEnd::AnswerFileDialog(const QString& path)
{
    QString dialog = WindowOver(mainWindow_);
    QVERIFY(!dialog.isEmpty());
    Key(QStringLiteral("ctrl+a"));
    Type(path);
    Key(QStringLiteral("Return"));
    QVERIFY(Gone(dialog));
}

// ファイル, then its third item, 名前をつけて保存, then the name in the real file dialog.
void TestEndToEnd::SaveAsThroughMenu(const QString& path)
{
    QVERIFY(Activate(mainWindow_));
    Point window = Origin(mainWindow_);
    Click({ window.X + 25, window.Y + (main_.Y - window.Y) / 2 });  // the menu bar lies above the client area
    for (int item = 0; item < 3; ++item)
        Key(QStringLiteral("Down"));
    Key(QStringLiteral("Return"));
    AnswerFileDialog(path);
}

namespace {

// The centre of a string grid's cell: grids have a two-pixel frame, columns of 70 pixels and
// rows of the given heights, each followed by a one-pixel line.
Point GridCell(Point grid, int col, const QList<int>& rowHeights, int row, int colWidth = 70)
{
    int top = 0;
    for (int r = 0; r < row; ++r)
        top += rowHeights.value(r, rowHeights.last()) + 1;
    return { grid.X + 2 + col * (colWidth + 1) + colWidth / 2,
        grid.Y + 2 + top + rowHeights.value(row, rowHeights.last()) / 2 };
}

Point Offset(Point origin, int x, int y) { return { origin.X + x, origin.Y + y }; }

const QList<int> OnHandRows { 24, 24, 25, 25, 24 };
const QList<int> DailyRows { 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 21, 20 };
const QList<int> ListRows { 24 };
const QList<int> BudgetRows { 24, 26, 24, 24 };
const QList<int> EditorRows { 24 };

} // namespace

// A double click on a row of 予算と経過 opens its editor; the client origin of the editor once it
// is active and placed at the centre.
Point TestEndToEnd::OpenEditor(int row, const QString& title, int outerWidth, int outerHeight)
{
    Click(GridCell(Offset(main_, 0, 104), 1, BudgetRows, row), 2);
    QString editor = WindowNamed(title);
    if (editor.isEmpty() || !QTest::qWaitFor([&] { return WindowOver(mainWindow_) == editor; }, 10000))
        return { -1, -1 };
    return PlacedClientOrigin(editor, outerWidth, outerHeight);
}

// The editor's OK closes it; the main window then takes the clicks again.
void TestEndToEnd::CloseEditor(const QString& title, Point ok)
{
    Click(ok);
    QVERIFY(NoWindowNamed(title));
    QVERIFY(Activate(mainWindow_));
}

void TestEndToEnd::aMonthIsKeptSavedAndOpenedAgain()
{
    const QString first = home_.path() + QStringLiteral("/month.ZMR");
    const QString second = home_.path() + QStringLiteral("/copy.ZMR");

    StartKivelo();
    Point grid3 = Offset(main_, 0, 240);
    Point grid4 = Offset(main_, 152, 80);
    Point grid5 = Offset(main_, 616, 40);
    Point okButton = Offset(main_, 664 + 32, 501 + 12);

    // Money on hand: the wallet and the bank, then leave the grid.
    Click(GridCell(grid3, 1, OnHandRows, 1));
    Type(QStringLiteral("30000"));
    Click(GridCell(grid3, 1, OnHandRows, 2));
    Type(QStringLiteral("80000"));

    // The period: 12月25日 onwards.
    Click(Offset(main_, 288 + 64 + 12, 40 + 5 + 11));
    Type(QStringLiteral("12"));
    Click(Offset(main_, 288 + 120 + 12, 40 + 5 + 11));
    Type(QStringLiteral("25"));
    Click(Offset(main_, 288 + 240 + 32, 40 + 5 + 12));

    // Food on the first day: the sample "お　米" and a new "お　米" item of our own.
    Click(GridCell(grid4, 2, DailyRows, 1), 2);
    Click(GridCell(grid5, 1, ListRows, 1));
    Type(QStringLiteral("3000"));
    Click(GridCell(grid5, 0, ListRows, 3));
    Type(QStringLiteral("お　米"));
    Click(GridCell(grid5, 1, ListRows, 3));
    Type(QStringLiteral("1200"));
    Click(okButton);

    // Utilities on the second day: an automatic bank payment.
    Click(GridCell(grid4, 3, DailyRows, 2), 2);
    Click(GridCell(grid5, 0, ListRows, 5));
    Type(QStringLiteral("Ａ電気代"));
    Click(GridCell(grid5, 1, ListRows, 5));
    Type(QStringLiteral("5000"));
    Click(okButton);

    // Leaving the on-hand grid totals it; picking the bank cell and then a day cell does that.
    Click(GridCell(grid3, 1, OnHandRows, 1));
    Click(GridCell(grid4, 4, DailyRows, 1));

    // The income budget editor.
    Point form2 = OpenEditor(1, QStringLiteral("Form2"), 200, 410);
    QVERIFY(form2.X >= 0);
    Click(GridCell(Offset(form2, 24, 16), 1, EditorRows, 1));
    Type(QStringLiteral("250000"));
    CloseEditor(QStringLiteral("Form2"), Offset(form2, 40 + 56, 352 + 12));

    // The expense budget editor.
    Point form3 = OpenEditor(2, QStringLiteral("Form3"), 353, 568);
    QVERIFY(form3.X >= 0);
    Click(GridCell(Offset(form3, 24, 0), 1, EditorRows, 1));
    Type(QStringLiteral("40000"));
    CloseEditor(QStringLiteral("Form3"), Offset(form3, 24 + 60, 512 + 12));

    // The memo, the charts, then Save As through the real dialog.
    Click(Offset(main_, 140, 50));
    Key(QStringLiteral("ctrl+a"));
    Type(QStringLiteral("gas meter 12/28"));
    Click(Offset(main_, 48 + 12, 12));  // SpeedButton3, the graph: a new analysis window
    QString analysis = WindowOver(mainWindow_);
    QVERIFY(!analysis.isEmpty());
    SaveAsThroughMenu(first);
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(first).size(), qint64(336780), 10000);

    Screenshot(WindowNamed(QStringLiteral("ヘルプ")), QStringLiteral("help"));
    Screenshot(analysis, QStringLiteral("analysis"));
    Screenshot(mainWindow_, QStringLiteral("main-first-run"));
    QuitKivelo();

    // A new run: open the file and save it under another name.
    StartKivelo();
    Click(Offset(main_, 12, 12));  // SpeedButton1, open
    AnswerFileDialog(first);
    SaveAsThroughMenu(second);
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(second).size(), qint64(336780), 10000);
    Screenshot(mainWindow_, QStringLiteral("main"));
    QuitKivelo();

    for (const QString& path : { first, second }) {
        LedgerBytes ledger(path);
        QCOMPARE(ledger.Size(), qsizetype(336780));
        QCOMPARE(ledger.OnHand(1, 1), QByteArray("30000"));
        QCOMPARE(ledger.OnHand(1, 2), QByteArray("75000"));                 // 80000 less the payment
        QCOMPARE(ledger.OnHand(1, 4), QByteArray("105000"));
        QCOMPARE(ledger.Status(1, 2), QByteArray("105000"));                // 実質残高
        QCOMPARE(ledger.Detail(3, 2, 0, 5), ShiftJis(QStringLiteral("A電気代")));  // booked
        QCOMPARE(ledger.Detail(3, 2, 1, 5), QByteArray("5000"));
        QCOMPARE(ledger.Detail(2, 1, 0, 3), ShiftJis(QStringLiteral("お　米")));
        QCOMPARE(ledger.Detail(2, 1, 0, 1), ShiftJis(QStringLiteral("お　米")));
        QCOMPARE(ledger.Daily(2, 1), QByteArray("4200"));
        QCOMPARE(ledger.Daily(3, 2), QByteArray("5000"));
        QCOMPARE(ledger.Daily(1, 18), QByteArray("9200"));                  // the month's spending
        QCOMPARE(ledger.Income(1, 1), QByteArray("250000"));
        QCOMPARE(ledger.Income(1, 12), QByteArray("250000"));
        QCOMPARE(ledger.Income(0, 1), ShiftJis(QStringLiteral("給　与")));
        QCOMPARE(ledger.Expense(1, 1), QByteArray("40000"));
        QCOMPARE(ledger.Expense(1, 18), QByteArray("40000"));
        QCOMPARE(ledger.Daily(2, 0), ShiftJis(QStringLiteral("12月25日")));
        QCOMPARE(ledger.Daily(9, 0), ShiftJis(QStringLiteral("1月1日")));
        QCOMPARE(ledger.Daily(32, 0), ShiftJis(QStringLiteral("1月24日")));
        QCOMPARE(ledger.Month(), QByteArray("12"));
        QCOMPARE(ledger.StartDay(), QByteArray("25"));
        QCOMPARE(ledger.Memo(), QByteArray("gas meter 12/28"));
    }
    QCOMPARE(LedgerBytes(second).Bytes(), LedgerBytes(first).Bytes());
}

// A month typed from the keyboard and confirmed, then taken back with Ctrl+Z, step by step: saved
// again, the file is the one saved before the typing, byte for byte.
void TestEndToEnd::aMonthTypedAndTakenBackSavesAsBefore()
{
    const QString before = home_.path() + QStringLiteral("/before.ZMR");
    const QString after = home_.path() + QStringLiteral("/after.ZMR");
    StartKivelo();
    SaveAsThroughMenu(before);
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(before).size(), qint64(336780), 10000);
    Point grid3 = Offset(main_, 0, 240);
    Point grid4 = Offset(main_, 152, 80);
    Point grid5 = Offset(main_, 616, 40);

    Click(GridCell(grid3, 1, OnHandRows, 2));
    Type(QStringLiteral("80000"));
    Click(Offset(main_, 288 + 64 + 12, 40 + 5 + 11));  // the period; leaving the on-hand grid totals it
    Type(QStringLiteral("12"));
    Click(Offset(main_, 288 + 120 + 12, 40 + 5 + 11));
    Type(QStringLiteral("25"));
    Click(Offset(main_, 288 + 240 + 32, 40 + 5 + 12));
    Click(GridCell(grid4, 3, DailyRows, 2), 2);
    Click(GridCell(grid5, 0, ListRows, 5));
    Type(QStringLiteral("Ａ電気代"));
    Click(GridCell(grid5, 1, ListRows, 5));
    Type(QStringLiteral("5000"));
    Click(Offset(main_, 664 + 32, 501 + 12));  // OK: booked off the bank
    Point form3 = OpenEditor(2, QStringLiteral("Form3"), 353, 568);
    QVERIFY(form3.X >= 0);
    Click(GridCell(Offset(form3, 24, 0), 1, EditorRows, 1));
    Type(QStringLiteral("40000"));
    Key(QStringLiteral("ctrl+z"));  // the editor's own typing
    Type(QStringLiteral("45000"));
    CloseEditor(QStringLiteral("Form3"), Offset(form3, 24 + 60, 512 + 12));
    Click(Offset(main_, 140, 50));
    Type(QStringLiteral("gas"));

    // The 編集 menu, open, names the step it would take back: kept as a picture of the screen.
    Key(QStringLiteral("F10"));
    Key(QStringLiteral("Right"));
    KeepPicture(QStringLiteral("root"), QStringLiteral("undo-menu"));
    Key(QStringLiteral("Escape"));
    Key(QStringLiteral("Escape"));

    // More Ctrl+Z than there are steps: the ones after the first step take back nothing.
    QVERIFY(Activate(mainWindow_));
    Run(QStringLiteral("xdotool"), { "key", "--delay", "30", "--repeat", "15", "ctrl+z" });
    SaveAsThroughMenu(after);
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(after).size(), qint64(336780), 10000);
    QuitKivelo();
    QCOMPARE(LedgerBytes(after).Bytes(), LedgerBytes(before).Bytes());
}

// A ledger whose income total is no integer: Open shows the failure in one error box, which does
// not come back once dismissed; the user corrects the total in the income editor and saves.
void TestEndToEnd::aLedgerThatFailsOnOpenShowsOneErrorBox()
{
    const QString damaged = home_.path() + QStringLiteral("/damaged.ZMR");
    const QString corrected = home_.path() + QStringLiteral("/corrected.ZMR");
    QByteArray bytes(336780, '\0');  // every slot empty
    bytes.replace(LedgerBytes::IncomeOffset(1, 12), 4, QByteArray("\x03" "abc", 4));
    QFile file(damaged);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();

    StartKivelo();
    Click(Offset(main_, 12, 12));  // SpeedButton1, open
    AnswerFileDialog(damaged);
    QString box = WindowNamed(ErrorBoxTitle);
    QVERIFY(!box.isEmpty());
    QVERIFY(Activate(box));
    Key(QStringLiteral("Return"));
    QVERIFY(Gone(box));
    QVERIFY2(StaysWithoutWindow(ErrorBoxTitle, 2000), "the error box came back");

    // The total is recomputed by the editor's OK, once the bad text in its row is typed over.
    QVERIFY(Activate(mainWindow_));
    Point form2 = OpenEditor(1, QStringLiteral("Form2"), 200, 410);
    QVERIFY(form2.X >= 0);
    Click(GridCell(Offset(form2, 24, 16), 1, EditorRows, 1));
    Type(QStringLiteral("260000"));
    Click(GridCell(Offset(form2, 24, 16), 1, QList<int> { 24, 24, 24, 25, 24 }, 12));
    Type(QStringLiteral("0"));
    CloseEditor(QStringLiteral("Form2"), Offset(form2, 40 + 56, 352 + 12));
    QVERIFY(WindowNamed(ErrorBoxTitle, 0).isEmpty());
    Click(Offset(main_, 36, 12));  // SpeedButton2: the first Save of a run asks for a name
    AnswerFileDialog(corrected);
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(corrected).size(), qint64(336780), 10000);
    QuitKivelo();
    QCOMPARE(LedgerBytes(corrected).Income(1, 12), QByteArray("260000"));
    QCOMPARE(LedgerBytes(corrected).Income(1, 1), QByteArray("260000"));
}

namespace {

// A ledger of empty slots but for the texts given at their offsets.
void WriteLedger(const QString& path, const QList<QPair<qsizetype, QByteArray>>& texts)
{
    QByteArray bytes(336780, '\0');
    for (const auto& [offset, text] : texts) {
        bytes[offset] = char(text.size());
        bytes.replace(offset + 1, text.size(), text);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

} // namespace

// `kivelo month.ZMR`, as a file manager starts it for a double-clicked ledger: the grids hold the
// ledger's values, which a Save As writes back unchanged; the windows carry the menu entry's name
// and an icon, and their captions as they are.
void TestEndToEnd::aLedgerNamedOnTheCommandLineOpensAtStart()
{
    const QString month = home_.path() + QStringLiteral("/2024-12.ZMR");
    const QString copy = home_.path() + QStringLiteral("/2024-12-copy.ZMR");
    const QByteArray memo = ShiftJis(QStringLiteral("ガス検針 12/28"));
    WriteLedger(month,
        { { 336368 + (1 * 6 + 1) * 13, "30000" }, { 1742 + (2 * 20 + 1) * 13, "4200" },
            { 1742 + (0 * 20 + 1) * 13, ShiftJis(QStringLiteral("食　費")) }, { 336362, "12" }, { 336365, "25" },
            { 336524, memo } });
    StartKivelo(month);
    QString windowClass = Run(QStringLiteral("xprop"), { "-id", mainWindow_, "WM_CLASS" });
    QVERIFY2(windowClass.contains(QStringLiteral("\"kivelo\", \"kivelo\"")), qPrintable(windowClass));
    QVERIFY(Run(QStringLiteral("xprop"), { "-id", mainWindow_, "_NET_WM_ICON" }).contains(QStringLiteral("Icon (")));
    QString caption = Run(QStringLiteral("xprop"), { "-id", mainWindow_, "_NET_WM_NAME" });
    QVERIFY2(caption.contains(QLatin1Char('"') + MainTitle + QLatin1Char('"')), qPrintable(caption));
    SaveAsThroughMenu(copy);
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(copy).size(), qint64(336780), 10000);
    Screenshot(mainWindow_, QStringLiteral("main-from-command-line"));
    QuitKivelo();
    LedgerBytes saved(copy);
    QCOMPARE(saved.OnHand(1, 1), QByteArray("30000"));
    QCOMPARE(saved.Daily(2, 1), QByteArray("4200"));
    QCOMPARE(saved.Daily(0, 1), ShiftJis(QStringLiteral("食　費")));
    QCOMPARE(saved.Month(), QByteArray("12"));
    QCOMPARE(saved.StartDay(), QByteArray("25"));
    QCOMPARE(saved.Memo(), memo);
}

// A ledger named on the command line that is not there: Open's error box, and the program goes on
// with its windows until the user ends it.
void TestEndToEnd::aMissingLedgerOnTheCommandLineIsNotFoundAndTheProgramStays()
{
    const QString missing = home_.path() + QStringLiteral("/missing.ZMR");
    program_ = std::make_unique<Child>(kivelo_, QStringList { missing }, environment_);
    QString box = WindowNamed(ErrorBoxTitle);
    QVERIFY(!box.isEmpty());
    Screenshot(box, QStringLiteral("missing-on-command-line"));
    Key(QStringLiteral("Return"));
    QVERIFY(Gone(box));
    QVERIFY(program_->Running());
    mainWindow_ = WindowNamed(MainTitle);
    QVERIFY(!mainWindow_.isEmpty());
    QVERIFY(Activate(mainWindow_));
    main_ = MainClientOrigin(mainWindow_);
    QVERIFY(main_.X >= 0);
    QuitKivelo();
}

// The help and analysis windows start covered by the main window and are painted once the user
// brings them forward: each then shows its own picture, with none of the main window's purple
// left over on it.
void TestEndToEnd::theWindowsBehindShowTheirOwnPicturesWhenBroughtForward()
{
    StartKivelo();
    // Covered by the main window, the analysis window has drawn nothing: not even the Mincho font
    // that only its charts use is loaded.
    auto minchoLoaded = [this] {
        QFile maps(QStringLiteral("/proc/%1/maps").arg(program_->Pid()));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/ipamp.ttf");
    };
    QVERIFY(!minchoLoaded());
    QVERIFY(ShowsOwnPicture(WindowNamed(QStringLiteral("ヘルプ")), QColor(255, 255, 255)));      // the help text's box
    QVERIFY(ShowsOwnPicture(WindowNamed(QStringLiteral("使用状況の分析")), QColor(255, 255, 128)));  // the charts' plot areas
    QVERIFY(minchoLoaded());
    QVERIFY(Activate(mainWindow_));
    QuitKivelo();
}

bool TestEndToEnd::ShowsOwnPicture(const QString& window, QColor own)
{
    const QColor mainBackground(128, 0, 128);
    if (!Activate(window))
        return false;
    QString path = output_ + QStringLiteral("/brought-forward.png");
    return QTest::qWaitFor(
        [&] {
            Run(QStringLiteral("import"), { "-window", window, path });
            QImage image = QImage(path).convertToFormat(QImage::Format_RGB32);
            bool hasOwn = false;
            for (int y = 0; y < image.height(); ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    if (line[x] == mainBackground.rgb())
                        return false;
                    hasOwn = hasOwn || line[x] == own.rgb();
                }
            }
            return !image.isNull() && hasOwn;
        },
        10000);
}

void TestEndToEnd::helpAndVersionNeedNoDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("printed");
    QTest::newRow("--help names the ledger argument") << QStringList { "--help" } << 0 << "Usage: ";
    QTest::newRow("--version gives the name and version") << QStringList { "--version" } << 0 << "kivelo 1.5\n";
    QTest::newRow("two ledgers are bad usage") << QStringList { "a.ZMR", "b.ZMR" } << 1 << "one ledger at a time";
}

// No X server and no Qt platform: only --help and --version can run like this, before the
// application object would need a display.
void TestEndToEnd::helpAndVersionNeedNoDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, printed);
    QProcessEnvironment environment = environment_;
    environment.remove(QStringLiteral("DISPLAY"));
    if (status == 1)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(kivelo_, arguments);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitCode(), status);
    QString output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    QVERIFY2(output.contains(printed), qPrintable(output));
    if (arguments == QStringList { "--help" })
        QVERIFY2(output.contains(QStringLiteral("[FILE.ZMR]")), qPrintable(output));
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_e2e.moc"

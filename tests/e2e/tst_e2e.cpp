// Kivelo tried as a user would: the built program in a real X server (Xvfb with openbox), driven
// only from outside with real X input (xdotool), and its ledger files read back by a reader of
// this test's own. Every process the test starts is ended by its id.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <iconv.h>
#include <memory>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Shift-JIS bytes of a UTF-8 text, straight from iconv: this test does not use the program's
// conversions.
QByteArray ShiftJis(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    iconv_t converter = iconv_open("CP932", "UTF-8");
    QByteArray out(utf8.size() * 2 + 4, '\0');
    char* in = utf8.data();
    size_t inLeft = utf8.size();
    char* target = out.data();
    size_t targetLeft = out.size();
    iconv(converter, &in, &inLeft, &target, &targetLeft);
    iconv_close(converter);
    out.resize(out.size() - targetLeft);
    return out;
}

// The ledger file as this test reads it: 336,780 bytes of length-prefixed slots.
class LedgerBytes {
public:
    explicit LedgerBytes(const QString& path)
    {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            bytes_ = file.readAll();
    }
    qsizetype Size() const { return bytes_.size(); }
    const QByteArray& Bytes() const { return bytes_; }
    QByteArray Slot(qsizetype offset) const
    {
        int length = static_cast<unsigned char>(bytes_.at(offset));
        return bytes_.mid(offset + 1, length);
    }
    // A 13-byte cell of an area of `rows` rows.
    QByteArray Cell(qsizetype area, int rows, int col, int row) const { return Slot(area + (col * rows + row) * 13); }
    QByteArray Income(int col, int row) const { return Cell(0, 31, col, row); }
    QByteArray Expense(int col, int row) const { return Cell(806, 31, col, row); }
    QByteArray Status(int col, int row) const { return Cell(1612, 5, col, row); }
    QByteArray Daily(int col, int row) const { return Cell(1742, 20, col, row); }
    QByteArray Detail(int col, int row, int listCol, int listRow) const
    {
        return Slot(10322 + col * 9880 + row * 494 + listCol * 247 + listRow * 13);
    }
    QByteArray OnHand(int col, int row) const { return Cell(336368, 6, col, row); }
    QByteArray Month() const { return Slot(336362); }
    QByteArray StartDay() const { return Slot(336365); }
    QByteArray Memo() const { return Slot(336524); }

private:
    QByteArray bytes_;
};

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
};

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void aMonthIsKeptSavedAndOpenedAgain();

private:
    QString Run(const QString& program, const QStringList& arguments);
    void StartKivelo();
    void QuitKivelo();
    QString WindowNamed(const QString& title, int timeoutMs = 10000);
    Point Origin(const QString& window);
    Point MainClientOrigin();
    void Click(Point point, int clicks = 1);
    void Type(const QString& text);
    void Key(const QString& key);
    void Pause(int milliseconds = 250) { QTest::qWait(milliseconds); }
    void Screenshot(const QString& window, const QString& name);
    void SaveThroughDialog(const QString& path);
    void SaveAsThroughMenu(const QString& mainWindow, const QString& path);

    QProcessEnvironment environment_;
    QString display_;
    QString kivelo_;
    QString output_;
    QTemporaryDir home_;
    std::unique_ptr<Child> xvfb_;
    std::unique_ptr<Child> windowManager_;
    std::unique_ptr<Child> program_;
    Point main_ {};
};

void TestEndToEnd::initTestCase()
{
    kivelo_ = QStringLiteral(KIVELO_BINARY);
    output_ = QStringLiteral(E2E_OUTPUT);
    QDir().mkpath(output_);
    QVERIFY2(QFile::exists(kivelo_), qPrintable(kivelo_));
    for (const char* tool : { "Xvfb", "openbox", "xdotool", "xwininfo", "import" })
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
    xvfb_ = std::make_unique<Child>(QStringLiteral("Xvfb"),
        QStringList { display_, "-screen", "0", "1280x1024x24", "-nolisten", "tcp" }, environment_);
    QTRY_VERIFY_WITH_TIMEOUT(QProcess::execute(QStringLiteral("sh"),
                                 { "-c", QStringLiteral("DISPLAY=%1 xdpyinfo >/dev/null 2>&1").arg(display_) })
            == 0,
        10000);
    windowManager_ = std::make_unique<Child>(QStringLiteral("openbox"), QStringList {}, environment_);
    Pause(1000);
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

QString TestEndToEnd::WindowNamed(const QString& title, int timeoutMs)
{
    QString pattern = QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$');
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QStringList ids = Run(QStringLiteral("xdotool"), { "search", "--onlyvisible", "--name", pattern })
                              .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (!ids.isEmpty())
            return ids.last();
        QTest::qWait(100);
    }
    return {};
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

Point TestEndToEnd::MainClientOrigin()
{
    // The title panel of 予算と経過 is the topmost lime area; its first lime pixel is client
    // (1, 81), inside the panel's one-pixel bevel.
    QString shot = output_ + QStringLiteral("/locate.png");
    Run(QStringLiteral("import"), { "-window", "root", shot });
    QImage image(shot);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == QColor(0, 255, 0))
                return { x - 1, y - 81 };
    return { -1, -1 };
}

void TestEndToEnd::Click(Point point, int clicks)
{
    Run(QStringLiteral("xdotool"), { "mousemove", QString::number(point.X), QString::number(point.Y) });
    Pause(80);
    Run(QStringLiteral("xdotool"),
        { "click", "--repeat", QString::number(clicks), "--delay", "60", "1" });
    Pause();
}

void TestEndToEnd::Type(const QString& text)
{
    Run(QStringLiteral("xdotool"), { "type", "--delay", "40", text });
    Pause();
}

void TestEndToEnd::Key(const QString& key)
{
    Run(QStringLiteral("xdotool"), { "key", key });
    Pause();
}

void TestEndToEnd::Screenshot(const QString& window, const QString& name)
{
    Run(QStringLiteral("xdotool"), { "windowactivate", "--sync", window });
    Pause(400);
    Run(QStringLiteral("import"), { "-window", window, output_ + QLatin1Char('/') + name + QStringLiteral(".png") });
}

void TestEndToEnd::StartKivelo()
{
    program_ = std::make_unique<Child>(kivelo_, QStringList {}, environment_);
    QVERIFY(program_->Running());
    QString main = WindowNamed(QStringLiteral("Kivelo　Ｖｅｒ１．5"));
    QVERIFY(!main.isEmpty());
    QVERIFY(!WindowNamed(QStringLiteral("ヘルプ")).isEmpty());
    QVERIFY(!WindowNamed(QStringLiteral("使用状況の分析")).isEmpty());
    Pause(800);
    Run(QStringLiteral("xdotool"), { "windowactivate", "--sync", main });
    Pause(400);
    main_ = MainClientOrigin();
    QVERIFY(main_.X >= 0);
}

void TestEndToEnd::QuitKivelo()
{
    Click({ main_.X + 84, main_.Y + 12 });  // BitBtn1: ends the program without a question
    bool ended = program_->WaitForExit(10000);
    if (!ended)
        Run(QStringLiteral("import"), { "-window", "root", output_ + QStringLiteral("/still-running.png") });
    QVERIFY(ended);
    program_.reset();
}

void TestEndToEnd::SaveThroughDialog(const QString& path)
{
    // The file dialog opens with the focus in its name field.
    Pause(800);
    Key(QStringLiteral("ctrl+a"));
    Type(path);
    Key(QStringLiteral("Return"));
    Pause(800);
}

// ファイル, then its third item, 名前をつけて保存, then the name in the real file dialog.
void TestEndToEnd::SaveAsThroughMenu(const QString& mainWindow, const QString& path)
{
    Run(QStringLiteral("xdotool"), { "windowactivate", "--sync", mainWindow });
    Pause(400);
    Point window = Origin(mainWindow);
    Click({ window.X + 25, window.Y + (main_.Y - window.Y) / 2 });  // the menu bar lies above the client area
    for (int item = 0; item < 3; ++item)
        Key(QStringLiteral("Down"));
    Key(QStringLiteral("Return"));
    SaveThroughDialog(path);
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

} // namespace

void TestEndToEnd::aMonthIsKeptSavedAndOpenedAgain()
{
    const QList<int> onHandRows { 24, 24, 25, 25, 24 };
    const QList<int> dailyRows { 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 21, 20 };
    const QList<int> listRows { 24 };
    const QList<int> budgetRows { 24, 26, 24, 24 };
    const QString first = home_.path() + QStringLiteral("/month.ZMR");
    const QString second = home_.path() + QStringLiteral("/copy.ZMR");

    StartKivelo();
    Point grid3 = Offset(main_, 0, 240);
    Point grid4 = Offset(main_, 152, 80);
    Point grid5 = Offset(main_, 616, 40);
    Point okButton = Offset(main_, 664 + 32, 501 + 12);

    // Money on hand: the wallet and the bank, then leave the grid.
    Click(GridCell(grid3, 1, onHandRows, 1));
    Type(QStringLiteral("30000"));
    Click(GridCell(grid3, 1, onHandRows, 2));
    Type(QStringLiteral("80000"));

    // The period: 12月25日 onwards.
    Click(Offset(main_, 288 + 64 + 12, 40 + 5 + 11));
    Type(QStringLiteral("12"));
    Click(Offset(main_, 288 + 120 + 12, 40 + 5 + 11));
    Type(QStringLiteral("25"));
    Click(Offset(main_, 288 + 240 + 32, 40 + 5 + 12));

    // Food on the first day: the sample "お　米" and a new "お　米" item of our own.
    Click(GridCell(grid4, 2, dailyRows, 1), 2);
    Click(GridCell(grid5, 1, listRows, 1));
    Type(QStringLiteral("3000"));
    Click(GridCell(grid5, 0, listRows, 3));
    Type(QStringLiteral("お　米"));
    Click(GridCell(grid5, 1, listRows, 3));
    Type(QStringLiteral("1200"));
    Click(okButton);

    // Utilities on the second day: an automatic bank payment.
    Click(GridCell(grid4, 3, dailyRows, 2), 2);
    Click(GridCell(grid5, 0, listRows, 5));
    Type(QStringLiteral("Ａ電気代"));
    Click(GridCell(grid5, 1, listRows, 5));
    Type(QStringLiteral("5000"));
    Click(okButton);

    // Leaving the on-hand grid totals it; picking the bank cell and then a day cell does that.
    Click(GridCell(grid3, 1, onHandRows, 1));
    Click(GridCell(grid4, 4, dailyRows, 1));

    // The income budget editor.
    Click(GridCell(Offset(main_, 0, 104), 1, budgetRows, 1), 2);
    QString income = WindowNamed(QStringLiteral("Form2"));
    QVERIFY(!income.isEmpty());
    Point form2 = Origin(income);
    Click(GridCell(Offset(form2, 24, 16), 1, { 24 }, 1));
    Type(QStringLiteral("250000"));
    Click(Offset(form2, 40 + 56, 352 + 12));
    Pause(500);

    // The expense budget editor.
    Click(GridCell(Offset(main_, 0, 104), 1, budgetRows, 2), 2);
    QString expense = WindowNamed(QStringLiteral("Form3"));
    QVERIFY(!expense.isEmpty());
    Point form3 = Origin(expense);
    Click(GridCell(Offset(form3, 24, 0), 1, { 24 }, 1));
    Type(QStringLiteral("40000"));
    Click(Offset(form3, 24 + 60, 512 + 12));
    Pause(500);

    // The memo, the charts, then Save As through the real dialog.
    Click(Offset(main_, 140, 50));
    Key(QStringLiteral("ctrl+a"));
    Type(QStringLiteral("gas meter 12/28"));
    Click(Offset(main_, 48 + 12, 12));  // SpeedButton3, the graph
    Pause(800);
    QString main = WindowNamed(QStringLiteral("Kivelo　Ｖｅｒ１．5"));
    SaveAsThroughMenu(main, first);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(first), 5000);

    QString analysis = WindowNamed(QStringLiteral("使用状況の分析"));
    Screenshot(WindowNamed(QStringLiteral("ヘルプ")), QStringLiteral("help"));
    Screenshot(analysis, QStringLiteral("analysis"));
    Screenshot(main, QStringLiteral("main-first-run"));
    QuitKivelo();

    // A new run: open the file and save it under another name.
    StartKivelo();
    Click(Offset(main_, 12, 12));  // SpeedButton1, open
    SaveThroughDialog(first);
    Pause(500);
    main = WindowNamed(QStringLiteral("Kivelo　Ｖｅｒ１．5"));
    SaveAsThroughMenu(main, second);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(second), 5000);
    Screenshot(main, QStringLiteral("main"));
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

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_e2e.moc"

// Kivelo tried as a user would: the built program in a real X server (Xvfb with openbox), driven
// only from outside with real X input (xdotool), and its ledger files read back by a reader of
// this test's own. Every process the test starts is ended by its id.
#include "tests/e2e/desktop.h"

using namespace e2e;

class TestEndToEnd : public QObject, public Desktop {
    Q_OBJECT
private slots:
    void initTestCase() { Start(); }
    void cleanupTestCase() { Stop(); }
    void aMonthIsKeptSavedAndOpenedAgain();
    void aMonthTypedAndTakenBackSavesAsBefore();
    void aNameOfAnEarlierMonthIsTakenAndSaved();
    void aLedgerThatFailsOnOpenShowsOneErrorBox();
    void aLedgerNamedOnTheCommandLineOpensAtStart();
    void aMissingLedgerOnTheCommandLineIsNotFoundAndTheProgramStays();
    void theWindowsBehindShowTheirOwnPicturesWhenBroughtForward();
    void helpAndVersionNeedNoDisplay_data();
    void helpAndVersionNeedNoDisplay();

private:
    bool ShowsOwnPicture(const QString& window, QColor own);
};

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

// A month opened from a folder with an earlier month: "牛" typed into a name cell, ↓ and Enter take
// the name used before with its amount, OK confirms the list, and the month is saved.
void TestEndToEnd::aNameOfAnEarlierMonthIsTakenAndSaved()
{
    QDir(home_.path()).mkpath(QStringLiteral("names"));
    const QString november = home_.path() + QStringLiteral("/names/2025-11.ZMR");
    const QString december = home_.path() + QStringLiteral("/names/2025-12.ZMR");
    QByteArray earlier = DecemberRecord();
    WriteSlot(earlier, LedgerBytes::DetailOffset(5, 1, 0, 1), ShiftJis(QStringLiteral("牛乳")));
    WriteSlot(earlier, LedgerBytes::DetailOffset(5, 1, 1, 1), "198");
    for (const auto& [path, bytes] : { std::pair(november, earlier), std::pair(december, DecemberRecord()) }) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    StartKivelo(december);
    Point grid4 = Offset(main_, 152, 80);
    Point grid5 = Offset(main_, 616, 40);
    Click(GridCell(grid4, 3, DailyRows, 1), 2);  // 12月2日, 食　費
    Click(GridCell(grid5, 0, ListRows, 6));
    Type(QStringLiteral("牛"));
    Key(QStringLiteral("Down"));
    KeepPicture(QStringLiteral("root"), QStringLiteral("names-offered"));
    Key(QStringLiteral("Return"));
    Click(Offset(main_, 664 + 32, 501 + 12));  // OK
    const QString saved = home_.path() + QStringLiteral("/names/saved.ZMR");
    SaveAsThroughMenu(saved);
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(saved).size(), qint64(336780), 10000);
    QuitKivelo();
    QCOMPARE(LedgerBytes(saved).Detail(3, 1, 0, 6), ShiftJis(QStringLiteral("牛乳")));
    QCOMPARE(LedgerBytes(saved).Detail(3, 1, 1, 6), QByteArray("198"));
    QCOMPARE(LedgerBytes(saved).Daily(3, 1), QByteArray("198"));
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

// What the end-to-end tests share: Kivelo under an X server of their own, driven as a user drives it.
#pragma once

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

namespace e2e {

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
    // Once it has ended: whether it ended by itself, and with which status.
    bool EndedNormally() const { return process_.exitStatus() == QProcess::NormalExit; }
    int ExitCode() const { return process_.exitCode(); }
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

inline constexpr int ScreenWidth = 1280;
inline constexpr int ScreenHeight = 1024;

// The characters other than ASCII that the test types. xdotool types a character missing from the
// keymap by remapping a spare key just before, and a client can take the key event before the new
// mapping, losing the character; so they are all put into the keymap before the program starts.
inline const QString TypedCharacters = QStringLiteral("お　米Ａ電気代牛");


// Kivelo in a real X server of the test's own (Xvfb with openbox), driven only from outside with
// real X input (xdotool): the server and the window manager, the program's start and end, and what
// a user does with the mouse and the keys, with the geometry of the main window's grids. Every
// process it starts is ended by its id.
class Desktop {
public:
    // Starts the X server and the window manager, the typed characters in the keymap; and ends them.
    void Start();
    void Stop();

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
    // The screen the server has, and the zoom Kivelo is expected to draw at.
    int screenWidth_ = ScreenWidth;
    int screenHeight_ = ScreenHeight;
    double scale_ = 1.0;
};

inline const QString MainTitle = QStringLiteral("Kivelo　Ｖｅｒ１．5");
inline const QString ErrorBoxTitle = QStringLiteral("家計簿1.5");

inline void Desktop::Start()
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
    // So do the recovery files: one left by a Kivelo of the user's would be offered at the start.
    environment_.insert(QStringLiteral("XDG_STATE_HOME"), home_.path() + QStringLiteral("/.local/state"));
    for (const char* desktop : { "QT_QPA_PLATFORMTHEME", "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP",
             "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID" })
        environment_.remove(QString::fromLatin1(desktop));
    // -noreset: the server keeps its keymap when its last client goes.
    xvfb_ = std::make_unique<Child>(QStringLiteral("Xvfb"),
        QStringList { display_, "-screen", "0", QStringLiteral("%1x%2x24").arg(screenWidth_).arg(screenHeight_),
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

inline void Desktop::Stop()
{
    program_.reset();
    windowManager_.reset();
    xvfb_.reset();
}

inline QString Desktop::Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessEnvironment(environment_);
    process.start(program, arguments);
    process.waitForFinished(20000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline void Desktop::MapTypedCharacters()
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

inline QString Desktop::WindowNamed(const QString& title, int timeoutMs)
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

inline bool Desktop::NoWindowNamed(const QString& title, int timeoutMs)
{
    QString pattern = QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$');
    return QTest::qWaitFor(
        [&] { return Run(QStringLiteral("xdotool"), { "search", "--onlyvisible", "--name", pattern }).trimmed().isEmpty(); },
        timeoutMs);
}

// True when no window of that name is shown at any moment for the whole time.
inline bool Desktop::StaysWithoutWindow(const QString& title, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        if (!WindowNamed(title, 0).isEmpty())
            return false;
    return true;
}

inline bool Desktop::Activate(const QString& window)
{
    Run(QStringLiteral("xdotool"), { "windowactivate", "--sync", window });
    return QTest::qWaitFor(
        [&] { return Run(QStringLiteral("xdotool"), { "getactivewindow" }).trimmed() == window; }, 10000);
}

// The window is the active one and stands over the windows `below` in the window manager's
// stacking list, which runs from the bottom to the top.
inline bool Desktop::OnTopAndActive(const QString& window, const QStringList& below)
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

inline Point Desktop::Origin(const QString& window)
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
inline Point Desktop::PlacedClientOrigin(const QString& window, int outerWidth, int outerHeight)
{
    Point expected { (screenWidth_ - outerWidth) / 2, (screenHeight_ - outerHeight) / 2 };
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

inline Point Desktop::MainClientOrigin(const QString& window)
{
    // The title panel of 予算と経過 is the topmost lime area; its first lime pixel is client
    // (1, 81), inside the panel's one-pixel bevel, at the zoom expected. The window is maximised
    // and on top first.
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
                        found = { x - qRound(scale_), y - qRound(81 * scale_) };
                        // The client area starts below the menu bar, inside the window.
                        if (std::abs(found.X - window.X) > 1 || found.Y <= window.Y)
                            return false;
                        found.X = window.X;
                        return true;
                    }
            return false;
        },
        10000);
    return found;
}

// xdotool sends its events through the X server in order, so each click or key reaches the
// program after the ones before; only a new window must be waited for.
inline void Desktop::Click(Point point, int clicks)
{
    Run(QStringLiteral("xdotool"),
        { "mousemove", "--sync", QString::number(point.X), QString::number(point.Y), "click", "--repeat",
            QString::number(clicks), "--delay", "60", "1" });
}

inline void Desktop::Type(const QString& text) { Run(QStringLiteral("xdotool"), { "type", "--delay", "20", text }); }

inline void Desktop::Key(const QString& key) { Run(QStringLiteral("xdotool"), { "key", key }); }

inline void Desktop::Screenshot(const QString& window, const QString& name)
{
    QVERIFY(Activate(window));
    KeepPicture(window, name);
}

// Waits until the picture of the window ("root" for the whole screen) stops changing before it is
// kept.
inline void Desktop::KeepPicture(const QString& window, const QString& name)
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

inline void Desktop::StartKivelo(const QString& ledger)
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

inline void Desktop::QuitKivelo()
{
    Click({ main_.X + 84, main_.Y + 12 });  // BitBtn1: ends the program, the ledger being saved
    bool ended = program_->WaitForExit(10000);
    if (!ended)
        Run(QStringLiteral("import"), { "-window", "root", output_ + QStringLiteral("/still-running.png") });
    QVERIFY(ended);
    program_.reset();
}

// The window that takes the activation from `from`: a dialog or a box the program opened.
inline QString Desktop::WindowOver(const QString& from)
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

inline bool Desktop::Gone(const QString& window)
{
    return QTest::qWaitFor(
        [&] { return !Run(QStringLiteral("xwininfo"), { "-id", window }).contains("IsViewable"); }, 10000);
}

// The file dialog opens with the focus in its name field; once it has gone, the program has
// taken the name.
inline void Desktop::AnswerFileDialog(const QString& path)
{
    QString dialog = WindowOver(mainWindow_);
    QVERIFY(!dialog.isEmpty());
    Key(QStringLiteral("ctrl+a"));
    Type(path);
    Key(QStringLiteral("Return"));
    QVERIFY(Gone(dialog));
}

// ファイル, then its third item, 名前をつけて保存, then the name in the real file dialog.
inline void Desktop::SaveAsThroughMenu(const QString& path)
{
    QVERIFY(Activate(mainWindow_));
    Point window = Origin(mainWindow_);
    Click({ window.X + 25, window.Y + (main_.Y - window.Y) / 2 });  // the menu bar lies above the client area
    for (int item = 0; item < 3; ++item)
        Key(QStringLiteral("Down"));
    Key(QStringLiteral("Return"));
    AnswerFileDialog(path);
}


// The centre of a string grid's cell: grids have a two-pixel frame, columns of 70 pixels and
// rows of the given heights, each followed by a one-pixel line.
inline Point GridCell(Point grid, int col, const QList<int>& rowHeights, int row, int colWidth = 70)
{
    int top = 0;
    for (int r = 0; r < row; ++r)
        top += rowHeights.value(r, rowHeights.last()) + 1;
    return { grid.X + 2 + col * (colWidth + 1) + colWidth / 2,
        grid.Y + 2 + top + rowHeights.value(row, rowHeights.last()) / 2 };
}

inline Point Offset(Point origin, int x, int y) { return { origin.X + x, origin.Y + y }; }

inline const QList<int> OnHandRows { 24, 24, 25, 25, 24 };
inline const QList<int> DailyRows { 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 21, 20 };
inline const QList<int> ListRows { 24 };
inline const QList<int> BudgetRows { 24, 26, 24, 24 };
inline const QList<int> EditorRows { 24 };


// A double click on a row of 予算と経過 opens its editor; the client origin of the editor once it
// is active and placed at the centre.
inline Point Desktop::OpenEditor(int row, const QString& title, int outerWidth, int outerHeight)
{
    Click(GridCell(Offset(main_, 0, 104), 1, BudgetRows, row), 2);
    QString editor = WindowNamed(title);
    if (editor.isEmpty() || !QTest::qWaitFor([&] { return WindowOver(mainWindow_) == editor; }, 10000))
        return { -1, -1 };
    return PlacedClientOrigin(editor, outerWidth, outerHeight);
}

// The editor's OK closes it; the main window then takes the clicks again.
inline void Desktop::CloseEditor(const QString& title, Point ok)
{
    Click(ok);
    QVERIFY(NoWindowNamed(title));
    QVERIFY(Activate(mainWindow_));
}


} // namespace e2e

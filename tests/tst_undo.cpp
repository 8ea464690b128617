// The undo history on its own: a grid, a memory area and values, changed by actions that run
// through the guard as the windows' handlers do; what each undo and redo gives back.
#include "toolkit/failure.h"
#include "toolkit/stringgrid.h"
#include "undo/history.h"

#include <QTest>
#include <array>
#include <memory>

using toolkit::Changes;
using toolkit::Shows;
using toolkit::Types;
using Part = undo::Recorder::Part;

namespace {

// What the history watches here, all of it, for comparing.
struct State {
    std::string A1, B1, Area, Where, Kept;
    bool operator==(const State& other) const
    {
        return std::tie(A1, B1, Area, Where, Kept) == std::tie(other.A1, other.B1, other.Area, other.Where, other.Kept);
    }
};

char* toString(const State& state)
{
    return QTest::toString(QStringLiteral("A1=%1 B1=%2 area=%3 where=%4 kept=%5")
                               .arg(QString::fromStdString(state.A1), QString::fromStdString(state.B1),
                                   QString::fromStdString(state.Area), QString::fromStdString(state.Where),
                                   QString::fromStdString(state.Kept)));
}

} // namespace

class TestUndo : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void stepsAreWhatTheUserDid_data();
    void stepsAreWhatTheUserDid();
    void eachUndoAndRedoGivesBackItsState_data();
    void eachUndoAndRedoGivesBackItsState();
    void undoingTheFirstStepLeavesTheUserWhereTheyStarted();
    void theSavedStepIsKnownAgain();
    void theOldestStepsGoPastTheMemoryLimit();
    void aFailingActionIsStillOneStep();

private:
    State Now() const { return { grid->Cell(0, 1), grid->Cell(1, 1), area, where, kept }; }
    // One user action, as a window's handler runs it; the script's words are the actions.
    void Run(const QString& word);

    std::unique_ptr<toolkit::StringGrid> grid;
    std::string area;   // four one-byte units
    std::string where;  // where the user is, such as an entry cell
    std::string kept;   // a value kept with the data as a whole, such as a file name
    std::unique_ptr<undo::Recorder> recorder;
    std::unique_ptr<undo::History> history;
};

void TestUndo::init()
{
    grid = std::make_unique<toolkit::StringGrid>(nullptr, "Grid");
    area = "0000";
    where = "A1";
    kept = "old.ZMR";
    recorder = std::make_unique<undo::Recorder>();
    recorder->WatchGrid(*grid, Part::Content);
    recorder->WatchArea(area.data(), area.size(), 1, Part::Content);
    recorder->WatchValue([this] { return where; }, [this](const std::string& text) { where = text; }, Part::Cursor);
    recorder->WatchValue([this] { return kept; }, [this](const std::string& text) { kept = text; }, Part::Kept);
    history = std::make_unique<undo::History>(*recorder,
        [](const toolkit::Action&, const std::optional<undo::Place>& typed) {
            return typed ? QStringLiteral("typing") : QStringLiteral("command");
        });
}

void TestUndo::cleanup()
{
    history.reset();
    recorder.reset();
    grid.reset();
}

// "a:x" types x into A1, "b:x" into B1, "clear" gives A1 back its empty text, "pick:X" moves where
// the user is, "total:n" is a command that writes n into the area's first unit, "rename:x" a
// command that changes the kept value, "saveas:x" a look that changes it, "look" a look that
// changes nothing, "undo" and "redo".
void TestUndo::Run(const QString& word)
{
    QString name = word.section(':', 0, 0);
    std::string value = word.section(':', 1).toStdString();
    if (name == "a" || name == "b")
        for (char key : value)
            toolkit::Guard(Types, [&] {
                int col = name == "a" ? 0 : 1;
                grid->SetCell(col, 1, grid->Cell(col, 1) + key);
            });
    else if (name == "clear")  // Escape: the cell typed into gets its text back
        toolkit::Guard(Types, [&] { grid->SetCell(0, 1, ""); });
    else if (name == "pick")
        toolkit::Guard(Shows, [&] { where = value; });
    else if (name == "total")
        toolkit::Guard(Changes("total"), [&] { area[0] = value[0]; });
    else if (name == "rename")
        toolkit::Guard(Changes("rename"), [&] { kept = value; });
    else if (name == "saveas")
        toolkit::Guard(Shows, [&] { kept = value; });
    else if (name == "look")
        toolkit::Guard(Shows, [] {});
    else if (name == "undo")
        toolkit::Guard(Shows, [&] { history->Undo(); });
    else if (name == "redo")
        toolkit::Guard(Shows, [&] { history->Redo(); });
    else
        QFAIL(qPrintable(word));
}

void TestUndo::stepsAreWhatTheUserDid_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("last");
    QTest::newRow("keys into one cell are one step") << "a:1 a:2 a:3" << 1 << "typing";
    QTest::newRow("another cell starts another step") << "a:1 b:2 a:3" << 3 << "typing";
    QTest::newRow("a look between keys ends the step") << "a:1 look a:2" << 2 << "typing";
    QTest::newRow("a command is a step of its own") << "a:1 total:5" << 2 << "total";
    QTest::newRow("a command that changes nothing is no step") << "a:1 total:0" << 1 << "typing";
    QTest::newRow("a pick is no step") << "pick:B1" << 0 << "";
    QTest::newRow("typing back to where it began is no step") << "b:1 a:12 clear" << 1 << "typing";
    QTest::newRow("a new step after an undo drops the redo") << "a:1 b:2 undo total:5" << 2 << "total";
}

void TestUndo::stepsAreWhatTheUserDid()
{
    QFETCH(QString, script);
    QFETCH(int, steps);
    QFETCH(QString, last);
    for (const QString& word : script.split(' '))
        Run(word);
    QCOMPARE(history->UndoCount(), steps);
    QCOMPARE(history->UndoName(), last);
    QCOMPARE(history->RedoCount(), 0);
}

void TestUndo::eachUndoAndRedoGivesBackItsState_data()
{
    QTest::addColumn<QString>("script");
    QTest::newRow("typing and commands") << "a:12 b:3 total:7 a:4";
    QTest::newRow("a pick before the first step goes back with it") << "pick:B1 b:5 pick:A1 a:6";
    QTest::newRow("a pick after an undo keeps the step to redo") << "a:1 pick:B1 b:2 undo pick:C3 look";
    QTest::newRow("a pick before anything, after undoing all") << "a:1 b:2 undo undo pick:Z9";
    QTest::newRow("a pick after an undo, where the step to redo moved too")
        << "a:1 pick:B1 b:2 pick:A1 a:5 undo undo pick:C3";
    QTest::newRow("a kept value goes back with its own step only") << "a:1 rename:new.ZMR b:2 saveas:as.ZMR a:3";
    QTest::newRow("a kept value given after undoing its step") << "rename:new.ZMR a:1 undo undo saveas:as.ZMR b:2";
}

// Every state the script passes through after a step is given back by the undos, newest first,
// and the redos give them back again in their order.
void TestUndo::eachUndoAndRedoGivesBackItsState()
{
    QFETCH(QString, script);
    for (const QString& word : script.split(' '))
        Run(word);
    // The steps left to redo lead on from the state the script ended with, and back to it.
    State atEnd = Now();
    int leftToRedo = history->RedoCount();
    for (int step = 0; step < leftToRedo; ++step)
        Run("redo");
    for (int step = 0; step < leftToRedo; ++step)
        Run("undo");
    QCOMPARE(Now(), atEnd);
    std::vector<State> states { Now() };
    while (history->UndoCount() > 0) {
        Run("undo");
        states.push_back(Now());
    }
    for (auto state = states.rbegin() + 1; state != states.rend(); ++state) {
        Run("redo");
        QCOMPARE(Now(), *state);
    }
    QCOMPARE(history->RedoCount(), leftToRedo);
    // Whatever the script left to redo comes back too, and undoing everything then gives back the
    // start, but for the kept value, which goes back only where a step of its own changed it.
    while (history->RedoCount() > 0)
        Run("redo");
    while (history->UndoCount() > 0)
        Run("undo");
    QCOMPARE(Now().A1, std::string());
    QCOMPARE(Now().B1, std::string());
    QCOMPARE(Now().Area, std::string("0000"));
}

void TestUndo::undoingTheFirstStepLeavesTheUserWhereTheyStarted()
{
    Run("pick:B1");
    Run("b:7");
    Run("undo");
    QCOMPARE(grid->Cell(1, 1), std::string());
    QCOMPARE(where, std::string("B1"));
}

void TestUndo::theSavedStepIsKnownAgain()
{
    Run("a:1");
    history->MarkSaved();
    QVERIFY(history->AtSaved());
    Run("a:2");  // the save ended the typing: a new step
    QVERIFY(!history->AtSaved());
    Run("undo");
    QVERIFY(history->AtSaved());
    Run("undo");
    QVERIFY(!history->AtSaved());
    Run("redo");
    QVERIFY(history->AtSaved());
    Run("look");  // a look changes nothing that is saved
    QVERIFY(history->AtSaved());
}

void TestUndo::theOldestStepsGoPastTheMemoryLimit()
{
    history = std::make_unique<undo::History>(*recorder, [](auto&&...) { return QString(); }, 20000);
    for (int step = 0; step < 1000; ++step)
        Run(step % 2 ? "a:1" : "b:1");
    QVERIFY(history->Memory() <= 20000);
    QVERIFY(history->UndoCount() > 10);
    QVERIFY(history->UndoCount() < 1000);
    while (history->UndoCount() > 0)
        Run("undo");
    QCOMPARE(grid->Cell(0, 1).size() + grid->Cell(1, 1).size(), 1000 - size_t(history->RedoCount()));
    QVERIFY(!history->AtSaved());  // the start went with the oldest steps
}

void TestUndo::aFailingActionIsStillOneStep()
{
    toolkit::SetErrorSinkForTest([](const std::string&) {});
    toolkit::Guard(Changes("half"), [&] {
        area[1] = '5';
        throw toolkit::Failure("failed");
    });
    toolkit::SetErrorSinkForTest({});
    QCOMPARE(history->UndoName(), QStringLiteral("half"));
    Run("undo");
    QCOMPARE(area, std::string("0000"));
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"

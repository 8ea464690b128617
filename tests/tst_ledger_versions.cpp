// The earlier versions a save keeps beside a ledger, in real folders: what each version holds,
// which ones thinning keeps as the clock moves on, and a save that cannot keep one.
#include "ledger/ledgerfile.h"
#include "ledger/record.h"
#include "ledger/versions.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <map>
#include <set>
#include <ctime>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::time_t LocalTime(int year, int month, int day, int hour, int minute)
{
    std::tm local {};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

// "a.20261120-1800.ZMR" style names for a time given as "2026-11-20 18:00".
QString VersionName(const QString& when)
{
    QDateTime time = QDateTime::fromString(when, QStringLiteral("yyyy-MM-dd HH:mm"));
    return QStringLiteral("a.") + time.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".ZMR");
}

} // namespace

class TestLedgerVersions : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { SetVersionClockForTest(nullptr); }

    void eachSaveKeepsTheFileItReplaces();
    void thinningKeepsTheRulesSet_data();
    void thinningKeepsTheRulesSet();
    void aSaveThatCannotKeepAVersionGoesAhead();
    void aSaveKilledAtAnySystemCallLeavesOnlyWholeRecords();
};

void TestLedgerVersions::eachSaveKeepsTheFileItReplaces()
{
    QTemporaryDir dir;
    std::string path = QFile::encodeName(dir.filePath("a.ZMR")).toStdString();
    std::vector<QByteArray> saved;
    for (char fill : { '1', '2', '3', '4', '5' }) {
        std::memset(LedgerRecord, fill, RecordSize);
        QCOMPARE(WriteLedgerFile(path), 0);
        saved.push_back(ReadAll(dir.filePath("a.ZMR")));
    }
    std::vector<LedgerVersion> versions = VersionsOf(path);
    QCOMPARE(versions.size(), size_t(4));
    for (size_t i = 0; i < versions.size(); ++i)  // newest first: the file the last save replaced
        QCOMPARE(ReadAll(QString::fromStdString(versions[i].Path)), saved[3 - i]);
    QCOMPARE(ReadAll(dir.filePath("a.ZMR")), saved[4]);
}

void TestLedgerVersions::thinningKeepsTheRulesSet_data()
{
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QStringList>("removed");
    // The clock reads 2026-12-09 12:00.
    QTest::newRow("the last 7 days keep every version")
        << QStringList { "2026-12-09 11:00", "2026-12-09 10:59", "2026-12-02 12:01" } << QStringList {};
    QTest::newRow("after that, the last of each day")
        << QStringList { "2026-11-20 18:00", "2026-11-19 23:59", "2026-09-10 08:00" }
        << QStringList { "2026-11-20 09:00", "2026-11-19 00:01" };
    QTest::newRow("after 3 months, the last of each month")
        << QStringList { "2026-09-08 23:00", "2026-08-31 10:00", "2026-07-15 10:00", "2025-01-02 00:00" }
        << QStringList { "2026-09-01 10:00", "2026-08-01 10:00" };
    QStringList week;
    for (int minutes = 1; minutes <= 101; ++minutes)
        week << QDateTime(QDate(2026, 12, 9), QTime(12, 0)).addSecs(-60 * minutes).toString("yyyy-MM-dd HH:mm");
    QTest::newRow("a week keeps 100 at the most") << week.mid(0, 100) << week.mid(100);
}

void TestLedgerVersions::thinningKeepsTheRulesSet()
{
    QFETCH(QStringList, kept);
    QFETCH(QStringList, removed);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(".kivelo-versions"));
    for (const QString& when : kept + removed) {
        QFile version(dir.filePath(".kivelo-versions/" + VersionName(when)));
        QVERIFY(version.open(QIODevice::WriteOnly));
    }
    SetVersionClockForTest([] { return LocalTime(2026, 12, 9, 12, 0); });
    ThinVersions(QFile::encodeName(dir.filePath("a.ZMR")).toStdString());
    QStringList expected;
    for (const QString& when : kept)
        expected << VersionName(when);
    QStringList left = QDir(dir.filePath(".kivelo-versions")).entryList(QDir::Files);
    expected.sort();
    left.sort();
    QCOMPARE(left, expected);
}

void TestLedgerVersions::aSaveThatCannotKeepAVersionGoesAhead()
{
    QTemporaryDir dir;
    std::string path = QFile::encodeName(dir.filePath("a.ZMR")).toStdString();
    std::memset(LedgerRecord, '1', RecordSize);
    QCOMPARE(WriteLedgerFile(path), 0);
    // A file where the folder of versions would go: no version can be kept.
    QFile blocker(dir.filePath(".kivelo-versions"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    std::memset(LedgerRecord, '2', RecordSize);
    QVERIFY(WriteLedgerFile(path) != 0);
    QCOMPARE(ReadAll(dir.filePath("a.ZMR")), QByteArray(int(RecordSize), '2'));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        (QStringList { ".kivelo-versions", "a.ZMR" }));
}

// A save of a ledger that has an earlier content, stopped by SIGKILL at each of its system calls in
// turn, as strace finds them in a whole save (strace counts the calls of each system call apart, so
// each one is named with its count): the ledger is the old or the new record, each file among the
// versions a whole old record, and nothing else is left in either folder. The calls are those of
// the saving process: the two moves that put the new content in place run in a child of their own,
// which a kill of the process does not reach (the kills at the process's wait for it cover that).
void TestLedgerVersions::aSaveKilledAtAnySystemCallLeavesOnlyWholeRecords()
{
    QTemporaryDir dir;
    QString ledger = dir.filePath("a.ZMR");
    const QByteArray before(int(RecordSize), 'a');
    const QByteArray after(int(RecordSize), 'b');
    auto start = [&] {
        QDir(dir.filePath(".kivelo-versions")).removeRecursively();
        QFile file(ledger);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(before) == before.size();
    };
    auto strace = [&](const QStringList& options) {
        QProcess process;
        process.start(QStringLiteral("strace"), options + QStringList { "-f", SAVE_ONCE, ledger, "b" });
        process.waitForFinished(30000);
        return process.exitCode();
    };
    QVERIFY(start());
    QString trace = dir.filePath("trace.txt");
    QCOMPARE(strace({ "-o", trace }), 0);
    std::vector<std::pair<QString, int>> calls;  // each system call, with its count among its kind
    std::map<QString, int> counts;
    QRegularExpression call(QStringLiteral("^(\\d+)\\s+([a-z0-9_]+)\\("));
    QString saver;
    for (const QByteArray& line : ReadAll(trace).split('\n'))
        if (QRegularExpressionMatch match = call.match(QString::fromLatin1(line)); match.hasMatch()) {
            if (saver.isEmpty())
                saver = match.captured(1);
            if (match.captured(1) == saver)
                calls.emplace_back(match.captured(2), ++counts[match.captured(2)]);
        }
    QFile::remove(trace);
    QVERIFY2(counts["link"] == 1 && counts["wait4"] >= 1,
        "a save links the earlier version, and waits for the child that puts the new content in place");
    std::set<QString> outcomes;
    for (const auto& [name, count] : calls) {
        QVERIFY(start());
        strace({ "-o", "/dev/null", "-e", QStringLiteral("inject=%1:signal=KILL:when=%2").arg(name).arg(count) });
        QString at = QStringLiteral(" (killed at %1 #%2)").arg(name).arg(count);
        QByteArray now = ReadAll(ledger);
        QVERIFY2(now == before || now == after, qPrintable("the ledger is no whole record" + at));
        QStringList left = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        left.removeOne(QStringLiteral(".kivelo-versions"));
        QVERIFY2(left == QStringList { "a.ZMR" }, qPrintable(left.join(", ") + at));
        QStringList versions = QDir(dir.filePath(".kivelo-versions"))
                                   .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QString& version : versions)
            QVERIFY2(QRegularExpression(QStringLiteral("^a\\.\\d{8}-\\d{6}\\.ZMR$")).match(version).hasMatch()
                    && ReadAll(dir.filePath(".kivelo-versions/" + version)) == before,
                qPrintable(version + at));
        outcomes.insert(QString::fromLatin1(now.left(1)) + (versions.isEmpty() ? "" : "+version"));
    }
    // Killed before, between and after the two steps that count: no version yet, the version kept
    // and the old record still in place, the new record in place.
    QCOMPARE(outcomes, (std::set<QString> { "a", "a+version", "b+version" }));
}

QTEST_GUILESS_MAIN(TestLedgerVersions)
#include "tst_ledger_versions.moc"

// Another writer of the ledger on screen, played by the test with real files and processes: the
// lock of another Kivelo (a live process of the test's), another program's save, a file replaced
// behind the window's back, a stale lock, a file only touched.
#include "app/form1.h"
#include "ledger/ledgerfile.h"
#include "ledger/lock.h"
#include "ledger/record.h"
#include "ledger/versions.h"
#include "tests/ledgerbytes.h"
#include "gui.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace gui;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

QByteArray BootId()
{
    QFile boot(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    return boot.open(QIODevice::ReadOnly) ? boot.readAll().trimmed() : QByteArray();
}

// A lock as another Kivelo of this host leaves it beside `ledger`; `process` is its number and,
// after a colon, when it started.
void WriteLock(const QString& ledger, const QByteArray& process)
{
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    QFile lock(QString::fromStdString(LockFileOf(Native(ledger))));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write("hanako," + QByteArray(host) + "," + process + ",1765270000," + BootId() + "\n");
}

} // namespace

class TestForm1Writers : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void aLedgerAnotherKiveloHoldsIsAskedAboutFirst_data();
    void aLedgerAnotherKiveloHoldsIsAskedAboutFirst();
    void aStaleLockIsTakenOverWithoutAWord();
    void theLockGoesWithTheLedger();
    void aFileChangedByAnotherWriterIsAskedAboutBeforeItIsReplaced_data();
    void aFileChangedByAnotherWriterIsAskedAboutBeforeItIsReplaced();

private:
    QString Path(const char* name) const { return dir->filePath(QString::fromLatin1(name)); }
    // Another program's save of the ledger: a whole record of `fill`.
    void SaveAsAnotherWriter(const QString& ledger, char fill)
    {
        std::memset(LedgerRecord, fill, RecordSize);
        WriteLedgerFile(Native(ledger));
    }
    void Open(const QString& ledger)
    {
        answers->FileNames = { ledger };
        form->N2->trigger();
    }

    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DialogAnswers> answers;
    QStringList questions;
    QString reply;  // the button the questions are answered with
    QProcess otherKivelo;
};

void TestForm1Writers::init()
{
    dir = std::make_unique<QTemporaryDir>();
    answers = std::make_unique<DialogAnswers>();
    answers->Answer = toolkit::SaveChangesAnswer::Discard;
    questions.clear();
    toolkit::SetQuestionAnswerForTest([this](const QString& text) {
        questions << text.section('\n', 0, 0);
        return reply;
    });
    form = StartMainWindow(errors);
    QVERIFY(form);
}

void TestForm1Writers::cleanup()
{
    StopMainWindow(form);
    answers.reset();
    toolkit::SetQuestionAnswerForTest(nullptr);
    otherKivelo.kill();
    otherKivelo.waitForFinished();
}

void TestForm1Writers::aLedgerAnotherKiveloHoldsIsAskedAboutFirst_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("opened");
    QTest::newRow("開く opens it all the same") << "開く" << true;
    QTest::newRow("キャンセル leaves the ledger on screen") << "キャンセル" << false;
}

void TestForm1Writers::aLedgerAnotherKiveloHoldsIsAskedAboutFirst()
{
    QFETCH(QString, answer);
    QFETCH(bool, opened);
    SaveAsAnotherWriter(Path("month.ZMR"), 'a');
    otherKivelo.start(QStringLiteral("sleep"), { "60" });
    QVERIFY(otherKivelo.waitForStarted());
    WriteLock(Path("month.ZMR"), QByteArray::number(otherKivelo.processId()));
    reply = answer;
    Open(Path("month.ZMR"));
    QCOMPARE(questions, QStringList { "このファイルは別の家計簿で開かれています" });
    QCOMPARE(form->LedgerFileName == Path("month.ZMR"), opened);
    // The other Kivelo keeps its lock either way.
    QVERIFY(ReadAll(QString::fromStdString(LockFileOf(Native(Path("month.ZMR"))))).startsWith("hanako,"));
}

void TestForm1Writers::aStaleLockIsTakenOverWithoutAWord()
{
    SaveAsAnotherWriter(Path("month.ZMR"), 'a');
    // Whatever runs under its number now started after it.
    WriteLock(Path("month.ZMR"), QByteArray::number(qint64(GoneProcess())) + ":1");
    Open(Path("month.ZMR"));
    QVERIFY(questions.isEmpty());
    QCOMPARE(form->LedgerFileName, Path("month.ZMR"));
    QByteArray lock = ReadAll(QString::fromStdString(LockFileOf(Native(Path("month.ZMR")))));
    QVERIFY2(lock.contains("," + QByteArray::number(::getpid()) + ":"), lock.constData());
}

void TestForm1Writers::theLockGoesWithTheLedger()
{
    SaveAsAnotherWriter(Path("a.ZMR"), 'a');
    SaveAsAnotherWriter(Path("b.ZMR"), 'b');
    QString lockA = QString::fromStdString(LockFileOf(Native(Path("a.ZMR"))));
    QString lockB = QString::fromStdString(LockFileOf(Native(Path("b.ZMR"))));
    Open(Path("a.ZMR"));
    QVERIFY(QFile::exists(lockA));
    Open(Path("b.ZMR"));
    QVERIFY(!QFile::exists(lockA));
    QVERIFY(QFile::exists(lockB));
    QVERIFY(form->close());
    QVERIFY(!QFile::exists(lockB));
}

void TestForm1Writers::aFileChangedByAnotherWriterIsAskedAboutBeforeItIsReplaced_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<char>("saved");  // what the ledger holds after the Save
    QTest::newRow("another Kivelo saved it; キャンセル leaves its bytes") << "save" << "キャンセル" << true << 'a';
    QTest::newRow("another Kivelo saved it; 上書き保存 writes ours") << "save" << "上書き保存" << true << 'm';
    QTest::newRow("another Kivelo saved it; 名前をつけて保存 saves elsewhere") << "save" << "名前をつけて保存" << true << 'a';
    QTest::newRow("replaced by a rename; キャンセル") << "rename" << "キャンセル" << true << 'a';
    QTest::newRow("only touched: the same bytes, a new time") << "touch" << "" << false << 'm';
}

void TestForm1Writers::aFileChangedByAnotherWriterIsAskedAboutBeforeItIsReplaced()
{
    QFETCH(QString, change);
    QFETCH(QString, answer);
    QFETCH(bool, asked);
    QFETCH(char, saved);
    QString ledger = Path("month.ZMR");
    form->Memo1->SetText("mine");
    answers->FileNames = { ledger };
    form->SaveAs1->trigger();
    QByteArray mine = ReadAll(ledger);
    if (change == "save") {
        SaveAsAnotherWriter(ledger, 'a');
    } else if (change == "rename") {
        SaveAsAnotherWriter(Path("elsewhere.ZMR"), 'a');
        QVERIFY(::rename(Native(Path("elsewhere.ZMR")).c_str(), Native(ledger).c_str()) == 0);
    } else {
        timespec later[2] = { { 0, UTIME_NOW }, { 0, UTIME_NOW } };
        later[1].tv_sec = std::time(nullptr) + 60;
        later[1].tv_nsec = 0;
        QVERIFY(::utimensat(AT_FDCWD, Native(ledger).c_str(), later, 0) == 0);
    }
    QByteArray theirs = ReadAll(ledger);
    form->Memo1->SetText("mine, changed");
    reply = answer;
    answers->FileNames = { Path("other.ZMR") };
    form->Save1->trigger();
    QCOMPARE(questions,
        asked ? QStringList { "このファイルは開いた後に他のプログラムによって変更されています。" } : QStringList {});
    QByteArray now = ReadAll(ledger);
    if (saved == 'a') {
        QVERIFY(now == theirs);
    } else {
        QCOMPARE(LedgerBytes(ledger).Memo(), QByteArray("mine, changed"));
        // The file replaced is kept: the other writer's, or ours when it was only touched.
        QCOMPARE(ReadAll(QString::fromStdString(VersionsOf(Native(ledger)).front().Path)), change == "touch" ? mine : theirs);
    }
    QCOMPARE(QFile::exists(Path("other.ZMR")), answer == "名前をつけて保存");
}

QTEST_MAIN(TestForm1Writers)
#include "tst_form1_writers.moc"

// The month kept against a death of the program, in a real main window with real files: when the
// recovery file is written and when it goes, a month given back exactly with its list on screen,
// and the offer of what a Kivelo no longer running has left.
#include "app/form1.h"
#include "app/recoverykeeper.h"
#include "ledger/record.h"
#include "ledger/recovery.h"
#include "gui.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace gui;

class TestForm1Recovery : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void theMonthIsKeptAtOnceAfterACommandAndSoonAfterKeys();
    void theFileGoesWhenTheMonthIsSavedOrTheWindowClosed_data();
    void theFileGoesWhenTheMonthIsSavedOrTheWindowClosed();
    void aKeptMonthComesBackExactlyWithItsListOnScreen();
    void whatAKiveloNoLongerRunningLeftIsOffered_data();
    void whatAKiveloNoLongerRunningLeftIsOffered();

private:
    QString Own() const { return QString::fromStdString(OwnRecoveryFile()); }
    QByteArray SaveBytes()
    {
        form->AssembleRecord();
        return QByteArray(reinterpret_cast<const char*>(LedgerRecord), int(RecordSize));
    }

    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
    std::unique_ptr<QTemporaryDir> state;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DialogAnswers> answers;
    QStringList questions;
    QString reply;
};

void TestForm1Recovery::init()
{
    state = std::make_unique<QTemporaryDir>();
    dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_STATE_HOME", state->path().toUtf8());
    answers = std::make_unique<DialogAnswers>();
    questions.clear();
    toolkit::SetQuestionAnswerForTest([this](const QString& text) {
        questions << text;
        return reply;
    });
    form = StartMainWindow(errors);
    QVERIFY(form);
}

void TestForm1Recovery::cleanup()
{
    StopMainWindow(form);
    answers.reset();
    toolkit::SetQuestionAnswerForTest(nullptr);
}

void TestForm1Recovery::theMonthIsKeptAtOnceAfterACommandAndSoonAfterKeys()
{
    TypeInto(form->StringGrid3, 1, 1, "1200");
    QVERIFY(!QFile::exists(Own()));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(Own()), 1000);  // keys: within half a second
    std::optional<Recovery> kept = ReadRecovery(OwnRecoveryFile());
    QVERIFY(kept);
    QCOMPARE(QByteArray::fromStdString(kept->Record), SaveBytes());
    DoubleClickCell(form->StringGrid4, 2, 1);
    TypeInto(form->StringGrid5, 1, 1, "300");
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QByteArray afterOk = SaveBytes();
    QTRY_VERIFY_WITH_TIMEOUT(ReadRecovery(OwnRecoveryFile())->Record == afterOk.toStdString(), 200);  // a command: at once
}

void TestForm1Recovery::theFileGoesWhenTheMonthIsSavedOrTheWindowClosed_data()
{
    QTest::addColumn<QString>("end");
    QTest::newRow("a save") << "save";
    QTest::newRow("closing, 保存しない") << "discard";
    QTest::newRow("a request from outside to end keeps it") << "request";
}

void TestForm1Recovery::theFileGoesWhenTheMonthIsSavedOrTheWindowClosed()
{
    QFETCH(QString, end);
    TypeInto(form->StringGrid3, 1, 1, "1200");
    form->Keeper->KeepNow();
    QVERIFY(QFile::exists(Own()));
    if (end == "save") {
        answers->FileNames = { dir->filePath("month.ZMR") };
        form->Save1->trigger();
    } else if (end == "discard") {
        answers->Answer = toolkit::SaveChangesAnswer::Discard;
        QVERIFY(form->close());
    } else {
        form->EndOnRequest();
        QCOMPARE(answers->Questions, 0);
    }
    QTRY_COMPARE_WITH_TIMEOUT(QFile::exists(Own()), end == "request", 1000);
}

void TestForm1Recovery::aKeptMonthComesBackExactlyWithItsListOnScreen()
{
    TypeInto(form->StringGrid3, 1, 2, "80000");
    DoubleClickCell(form->StringGrid4, 3, 2);
    TypeInto(form->StringGrid5, 0, 1, "Ａ電気代");
    TypeInto(form->StringGrid5, 1, 1, "5000");
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    DoubleClickCell(form->StringGrid4, 4, 1);
    TypeInto(form->StringGrid5, 1, 3, "1200");  // left unconfirmed
    Recovery kept = form->CaptureRecovery();
    QByteArray saved = SaveBytes();
    std::string unconfirmed = form->StringGrid5->Cell(1, 3);
    StopMainWindow(form);
    form = StartMainWindow(errors);
    form->RestoreRecovery(kept);
    QCOMPARE(SaveBytes(), saved);
    QVERIFY(form->OpenList == (GridCell { 4, 1 }));
    QCOMPARE(form->StringGrid5->Cell(1, 3), unconfirmed);
    QVERIFY(form->LedgerChanged);
}

void TestForm1Recovery::whatAKiveloNoLongerRunningLeftIsOffered_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("restored");
    QTest::addColumn<bool>("kept");
    QTest::newRow("復元 shows the month, and the file goes") << "復元" << true << false;
    QTest::newRow("破棄 removes the file") << "破棄" << false << false;
    QTest::newRow("あとで keeps it for the next start") << "あとで" << false << true;
}

void TestForm1Recovery::whatAKiveloNoLongerRunningLeftIsOffered()
{
    QFETCH(QString, answer);
    QFETCH(bool, restored);
    QFETCH(bool, kept);
    TypeInto(form->StringGrid3, 1, 1, "4321");
    form->Edit1->SetText("12");
    Recovery captured = form->CaptureRecovery();
    captured.Ledger = QFile::encodeName(dir->filePath("12.ZMR")).toStdString();
    // One left by a Kivelo still running (this process), which is left alone, and one by a Kivelo of
    // this host that has gone.
    std::string running = QFile::encodeName(state->filePath("kivelo/recovery-2.kivelo")).toStdString();
    WriteRecovery(running, captured);
    Recovery left = *ReadRecovery(running);
    left.Process = { GoneProcess(), 1 };  // whatever runs under its number now started later
    QString file = state->filePath("kivelo/recovery-1.kivelo");
    WriteRecovery(QFile::encodeName(file).toStdString(), left);
    StopMainWindow(form);
    form = StartMainWindow(errors);
    reply = answer;
    form->OfferRecoveries();
    QCOMPARE(questions.size(), 1);
    QVERIFY(questions[0].startsWith("保存されていない変更が残っています\n\n12.ZMR（12月）\n最後の変更: "));
    QCOMPARE(form->StringGrid3->Cell(1, 1), std::string(restored ? "4321" : ""));
    QCOMPARE(form->LedgerFileName, restored ? dir->filePath("12.ZMR") : QString());
    QCOMPARE(QFile::exists(file), kept);
    QVERIFY(QFile::exists(state->filePath("kivelo/recovery-2.kivelo")));
}

QTEST_MAIN(TestForm1Recovery)
#include "tst_form1_recovery.moc"

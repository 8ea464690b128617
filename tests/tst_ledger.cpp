// The ledger record's layout, its slots and the ledger file's reads and writes, without a window.
#include "ledger/ledgerfile.h"
#include "ledger/record.h"
#include "ledger/tables.h"
#include "tests/filefaults.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using toolkit::Sjis;

namespace {

QByteArray Bytes(std::string_view text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

std::string Native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// The message of the failure `action` throws, or "" when it throws none.
template <class Action> QByteArray FailureOf(Action action)
{
    try {
        action();
    } catch (const toolkit::Failure& failure) {
        return Bytes(failure.Message());
    }
    return QByteArray();
}

// What a folder holds besides the earlier versions of its ledgers.
QStringList Entries(const QString& folder)
{
    QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
    entries.removeOne(QStringLiteral(".kivelo-versions"));
    return entries;
}

// A 15-byte text whose twelfth byte is the lead byte of "食".
std::string FifteenBytes()
{
    return Sjis("ABCDEFGHIJK食DE");
}

} // namespace

class TestLedger : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ResetTables();
        std::memset(LedgerRecord, 0, RecordSize);
    }

    void slotOffsets_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("expected");
        auto add = [](const char* name, const RecordArea& area, int column, int row, int expected) {
            QTest::newRow(name) << int(area.SlotOffset(column, row)) << expected;
        };
        add("the income total is the income area's 43rd slot", IncomeArea, 1, 12, (31 + 12) * 13);
        add("the expense total follows 31 slots of names", ExpenseArea, 1, 18, 806 + (31 + 18) * 13);
        add("the bank balance is in the on-hand area's second column", OnHandArea, 1, 2, 336368 + (6 + 2) * 13);
        add("the savings cell ends the status area", StatusArea, 1, 4, 1612 + (5 + 4) * 13);
        add("daily cell (0, 0) starts the daily area", DailyArea, 0, 0, 1742);
        add("daily cell (5, 7) is at 1742 + (5 x 20 + 7) x 13", DailyArea, 5, 7, 1742 + (5 * 20 + 7) * 13);
        add("daily cell (32, 19) is the daily area's last", DailyArea, 32, 19, 1742 + (32 * 20 + 19) * 13);
        add("list (2, 1) column 0 row 1", DetailArea, DetailColumn(2, 1, 0), 1, 10322 + 2 * 9880 + 1 * 494 + 13);
        add("list (17, 9) column 1 row 5", DetailArea, DetailColumn(17, 9, 1), 5,
            10322 + 17 * 9880 + 9 * 494 + 247 + 5 * 13);
        add("list (32, 19) column 1 row 18 is the last list slot", DetailArea, DetailColumn(32, 19, 1), 18,
            10322 + 32 * 9880 + 19 * 494 + 247 + 18 * 13);
        add("the period month", PeriodMonthArea, 0, 0, 336362);
        add("the period start day", PeriodDayArea, 0, 0, 336365);
        add("the memo", MemoArea, 0, 0, 336524);
    }

    void slotOffsets()
    {
        QFETCH(int, offset);
        QFETCH(int, expected);
        QCOMPARE(offset, expected);
    }

    void areasFillTheRecordInFileOrder()
    {
        size_t next = 0;
        for (const RecordArea& area : RecordAreas) {
            QCOMPARE(area.Offset, next);
            next += area.Size();
        }
        QCOMPARE(next, size_t(336780));
        QCOMPARE(RecordSize, size_t(336780));
    }

    void lengthByteIsClampedToTheSlot_data()
    {
        QTest::addColumn<int>("areaIndex");
        QTest::addColumn<int>("lengthByte");
        QTest::addColumn<int>("length");
        QTest::newRow("a cell slot reads at most 12 bytes") << 3 << 13 << 12;
        QTest::newRow("a cell slot with length 255 reads 12 bytes") << 3 << 255 << 12;
        QTest::newRow("a full cell slot reads its 12 bytes") << 3 << 12 << 12;
        QTest::newRow("a period slot reads at most 2 bytes") << 5 << 3 << 2;
        QTest::newRow("a period slot with length 200 reads 2 bytes") << 6 << 200 << 2;
        QTest::newRow("the memo slot reads up to 255 bytes") << 8 << 255 << 255;
        QTest::newRow("an empty slot reads nothing") << 8 << 0 << 0;
    }

    void lengthByteIsClampedToTheSlot()
    {
        QFETCH(int, areaIndex);
        QFETCH(int, lengthByte);
        QFETCH(int, length);
        const RecordArea& area = RecordAreas[areaIndex];
        int last = area.Columns - 1;
        int lastRow = area.Rows - 1;
        size_t offset = area.SlotOffset(last, lastRow);
        std::memset(LedgerRecord + offset + 1, 'x', area.Capacity());
        LedgerRecord[offset] = static_cast<unsigned char>(lengthByte);
        std::string_view text = SlotText(area, last, lastRow);
        QCOMPARE(int(text.size()), length);
        QCOMPARE(int(SlotLength(LedgerRecord, area, last, lastRow)), length);
        if (length > 0)
            QCOMPARE(static_cast<const void*>(text.data()), static_cast<const void*>(LedgerRecord + offset + 1));
        QVERIFY(reinterpret_cast<const unsigned char*>(text.data()) + text.size() <= LedgerRecord + RecordSize);
    }

    void takenTablesClampTheLengthByte()
    {
        size_t lastList = DetailArea.SlotOffset(DetailColumn(32, 19, 1), 18);
        LedgerRecord[lastList] = 255;
        std::memset(LedgerRecord + lastList + 1, 'L', 12);
        size_t budget = ExpenseArea.SlotOffset(1, 18);
        LedgerRecord[budget] = 40;
        std::memset(LedgerRecord + budget + 1, '9', 12);
        TakeDetailArea();
        TakeBudgetAreas();
        QCOMPARE(Bytes(DetailLists[32][19][1][18].View()), QByteArray(12, 'L'));
        QCOMPARE(Bytes(ExpenseBudget[1][18].View()), QByteArray(12, '9'));
        // Saved again, the slots say what was read.
        std::memset(LedgerRecord, 0, RecordSize);
        PutDetailArea();
        PutBudgetAreas();
        QCOMPARE(int(LedgerRecord[lastList]), 12);
        QCOMPARE(int(LedgerRecord[budget]), 12);
    }

    void putSlotCutsByBytesAndZeroesTheRest_data()
    {
        QTest::addColumn<int>("areaIndex");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("kept");
        QTest::newRow("a 15-byte cell keeps 11 whole bytes and a lone lead byte")
            << 3 << Bytes(FifteenBytes()) << Bytes(FifteenBytes().substr(0, 12));
        QTest::newRow("a short cell keeps all of its text") << 3 << QByteArray("1200") << QByteArray("1200");
        QTest::newRow("a month of three digits keeps two") << 5 << QByteArray("123") << QByteArray("12");
        QTest::newRow("a memo of 300 bytes keeps 255") << 8 << QByteArray(300, 'm') << QByteArray(255, 'm');
        QTest::newRow("an empty text leaves length 0") << 3 << QByteArray() << QByteArray();
    }

    void putSlotCutsByBytesAndZeroesTheRest()
    {
        QFETCH(int, areaIndex);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, kept);
        const RecordArea& area = RecordAreas[areaIndex];
        size_t offset = area.SlotOffset(0, 0);
        std::memset(LedgerRecord + offset, 0xEE, area.Rows > 1 ? area.SlotSize * 2 : area.SlotSize);
        PutSlot(area, 0, 0, std::string_view(text.constData(), size_t(text.size())));
        QCOMPARE(int(LedgerRecord[offset]), int(kept.size()));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(LedgerRecord + offset + 1), kept.size()), kept);
        for (size_t i = 1 + size_t(kept.size()); i < area.SlotSize; ++i)
            QCOMPARE(int(LedgerRecord[offset + i]), 0);
        if (area.Rows > 1)
            QCOMPARE(int(LedgerRecord[offset + area.SlotSize]), 0xEE);
    }

    void budgetAreasKeepTheirColumnsApart()
    {
        std::memset(LedgerRecord + ExpenseArea.Offset, 0xEE, ExpenseArea.Size());
        ExpenseBudget[0][19].Assign("name19");
        ExpenseBudget[1][0].Assign(Sjis("予　算"));
        IncomeBudget[1][30].Assign("income30");
        PutBudgetAreas();
        QCOMPARE(Bytes(SlotText(ExpenseArea, 0, 19)), QByteArray("name19"));
        QCOMPARE(Bytes(SlotText(ExpenseArea, 1, 0)), Bytes(Sjis("予　算")));
        QCOMPARE(int(LedgerRecord[806 + 31 * 13]), int(Sjis("予　算").size()));
        QCOMPARE(Bytes(SlotText(IncomeArea, 1, 30)), QByteArray("income30"));
        for (int column = 0; column < 2; ++column)
            for (int slot = 20; slot < 31; ++slot)
                QCOMPARE(QByteArray(reinterpret_cast<const char*>(LedgerRecord + 806 + (column * 31 + slot) * 13), 13),
                    QByteArray(13, '\0'));

        ResetTables();
        PutSlot(ExpenseArea, 0, 20, "slot20");
        TakeBudgetAreas();
        QCOMPARE(Bytes(ExpenseBudget[1][0].View()), Bytes(Sjis("予　算")));
        QCOMPARE(Bytes(ExpenseBudget[0][19].View()), QByteArray("name19"));
    }

    void detailAreaRoundTrips()
    {
        for (int c = 0; c < 33; ++c)
            for (int r = 0; r < 20; ++r)
                for (int k = 0; k < 2; ++k)
                    for (int j = 0; j < 19; ++j)
                        DetailLists[c][r][k][j].Assign(
                            QByteArray::number(((c * 20 + r) * 2 + k) * 19 + j).toStdString());
        PutDetailArea();
        QCOMPARE(Bytes(SlotText(LedgerRecord, DetailArea, DetailColumn(4, 3, 1), 7)),
            QByteArray::number(((4 * 20 + 3) * 2 + 1) * 19 + 7));
        QCOMPARE(int(LedgerRecord[10322 + 4 * 9880 + 3 * 494 + 247 + 7 * 13]), 4);
        ResetTables();
        TakeDetailArea();
        for (int c = 0; c < 33; ++c)
            for (int r = 0; r < 20; ++r)
                for (int k = 0; k < 2; ++k)
                    for (int j = 0; j < 19; ++j)
                        QCOMPARE(
                            Bytes(DetailLists[c][r][k][j].View()), QByteArray::number(((c * 20 + r) * 2 + k) * 19 + j));
    }

    void openFailuresHaveTheRuntimeTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("a name that does not exist is not found")
            << "missing.ZMR" << Bytes(Sjis("ﾌｧｲﾙが見つかりません"));
        QTest::newRow("a name in a folder that does not exist is not found")
            << "missing/a.ZMR" << Bytes(Sjis("ﾌｧｲﾙが見つかりません"));
        QTest::newRow("a folder is refused") << "folder" << Bytes(Sjis("ﾌｧｲﾙへのｱｸｾｽが拒否されました"));
        QTest::newRow("a name below a plain file is an invalid name")
            << "plain.ZMR/inner.ZMR" << Bytes(Sjis("不正なﾌｧｲﾙ名です"));
        QTest::newRow("a name of 300 bytes is an invalid name")
            << QString(300, QLatin1Char('n')) << Bytes(Sjis("不正なﾌｧｲﾙ名です"));
        QTest::newRow("a link to itself is any other I/O error with its number")
            << "loop.ZMR" << Bytes(Sjis("I/O ｴﾗｰ (40)"));
        QTest::newRow("a FIFO is refused without waiting for a writer")
            << "fifo" << Bytes(Sjis("ﾌｧｲﾙへのｱｸｾｽが拒否されました"));
        QTest::newRow("a character device is refused") << "/dev/zero" << Bytes(Sjis("ﾌｧｲﾙへのｱｸｾｽが拒否されました"));
    }

    void openFailuresHaveTheRuntimeTexts()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, message);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        WriteAll(dir.filePath("plain.ZMR"), "x");
        QVERIFY(QFile::link(dir.filePath("loop.ZMR"), dir.filePath("loop.ZMR")));
        QCOMPARE(::mkfifo(Native(dir.filePath("fifo")).c_str(), 0644), 0);
        LedgerFile file;
        QString path = QDir::isAbsolutePath(name) ? name : dir.filePath(name);
        ::alarm(10); // an open that waits ends the test here instead of hanging it
        QByteArray failure = FailureOf([&] { file.OpenForReading(Native(path)); });
        ::alarm(0);
        QCOMPARE(failure, message);
    }

    void tooManyOpenFilesHasItsText()
    {
        QTemporaryDir dir;
        WriteAll(dir.filePath("a.ZMR"), QByteArray(int(RecordSize), '\0'));
        LedgerFile file;
        QByteArray openMessage;
        QByteArray saveMessage;
        {
            NoFreeDescriptor noDescriptor;
            openMessage = FailureOf([&] { file.OpenForReading(Native(dir.filePath("a.ZMR"))); });
            saveMessage = FailureOf([&] { WriteLedgerFile(Native(dir.filePath("b.ZMR"))); });
        }
        QCOMPARE(openMessage, Bytes(Sjis("ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます")));
        QCOMPARE(saveMessage, Bytes(Sjis("ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { "a.ZMR" });
    }

    void readsStartAtTheLastWholeRecord_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("recordRead"); // -1 for none
        QTest::addColumn<bool>("endsShort");
        QTest::newRow("an empty file is at its end at once") << 0 << -1 << false;
        QTest::newRow("one record reads once") << int(RecordSize) << 0 << false;
        QTest::newRow("two records read the second only") << int(2 * RecordSize) << 1 << false;
        QTest::newRow("a record and 100 bytes read it, then past the end") << int(RecordSize + 100) << 0 << true;
        QTest::newRow("three records and 100 bytes read the third, then past the end")
            << int(3 * RecordSize + 100) << 2 << true;
        QTest::newRow("100 bytes read past the end") << 100 << -1 << true;
    }

    void readsStartAtTheLastWholeRecord()
    {
        QFETCH(int, size);
        QFETCH(int, recordRead);
        QFETCH(bool, endsShort);
        QTemporaryDir dir;
        QByteArray bytes(size, 'r');
        for (int record = 0; record * qsizetype(RecordSize) < size; ++record)
            bytes[record * qsizetype(RecordSize)] = char('0' + record);
        WriteAll(dir.filePath("a.ZMR"), bytes);
        LedgerFile file;
        file.OpenForReading(Native(dir.filePath("a.ZMR")));
        QList<char> read;
        QByteArray failure;
        while (failure.isEmpty() && !file.AtEnd()) {
            failure = FailureOf([&] { file.ReadRecord(); });
            if (failure.isEmpty())
                read.append(char(LedgerRecord[0]));
        }
        QCOMPARE(read, recordRead < 0 ? QList<char>() : QList<char> { char('0' + recordRead) });
        QCOMPARE(failure, endsShort ? Bytes(Sjis("ﾌｧｲﾙの末尾以降を読み込みました")) : QByteArray());
        file.Close();
    }

    void readOnlyLedgerOpens()
    {
        QTemporaryDir dir;
        QString path = dir.filePath("ro.ZMR");
        QByteArray bytes(int(RecordSize), '\0');
        bytes[0] = 'R';
        WriteAll(path, bytes);
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        WithoutPermissionOverride asAnyUser;
        int writable = ::open(Native(path).c_str(), O_RDWR);
        QCOMPARE(writable, -1); // the file really refuses writing
        QCOMPARE(errno, EACCES);
        LedgerFile file;
        QCOMPARE(FailureOf([&] {
            file.OpenForReading(Native(path));
            file.ReadRecord();
            file.Close();
        }),
            QByteArray());
        QCOMPARE(char(LedgerRecord[0]), 'R');
    }

    void saveFailuresHaveTheRuntimeTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("a folder that does not exist is an invalid name")
            << "missing/a.ZMR" << Bytes(Sjis("不正なﾌｧｲﾙ名です"));
        QTest::newRow("a folder that is a plain file is an invalid name")
            << "plain.ZMR/a.ZMR" << Bytes(Sjis("不正なﾌｧｲﾙ名です"));
        QTest::newRow("a name that is a folder is refused") << "folder" << Bytes(Sjis("ﾌｧｲﾙへのｱｸｾｽが拒否されました"));
        QTest::newRow("a name that is a FIFO is refused and stays a FIFO")
            << "fifo" << Bytes(Sjis("ﾌｧｲﾙへのｱｸｾｽが拒否されました"));
    }

    void saveFailuresHaveTheRuntimeTexts()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, message);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        WriteAll(dir.filePath("plain.ZMR"), "x");
        QCOMPARE(::mkfifo(Native(dir.filePath("fifo")).c_str(), 0644), 0);
        QCOMPARE(FailureOf([&] { WriteLedgerFile(Native(dir.filePath(name))); }), message);
        struct stat fifo { };
        QCOMPARE(::lstat(Native(dir.filePath("fifo")).c_str(), &fifo), 0);
        QVERIFY(S_ISFIFO(fifo.st_mode));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System),
            (QStringList { "fifo", "folder", "plain.ZMR" }));
        QVERIFY(QDir(dir.filePath("folder")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    void failedWriteLeavesThePreviousFile_data()
    {
        QTest::addColumn<bool>("sizeLimit");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("a write cut short by the size limit is a full disk")
            << true << Bytes(Sjis("ﾃﾞｨｽｸがいっぱいです"));
        QTest::newRow("a folder without write permission refuses the save")
            << false << Bytes(Sjis("ﾌｧｲﾙへのｱｸｾｽが拒否されました"));
    }

    void failedWriteLeavesThePreviousFile()
    {
        QFETCH(bool, sizeLimit);
        QFETCH(QByteArray, message);
        QTemporaryDir dir;
        QString path = dir.filePath("a.ZMR");
        QByteArray previous(int(RecordSize), 'p');
        WriteAll(path, previous);
        std::memset(LedgerRecord, 'n', RecordSize);
        QByteArray failure;
        if (sizeLimit) {
            FileSizeLimit limit(4096);
            failure = FailureOf([&] { WriteLedgerFile(Native(path)); });
        } else {
            QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            WithoutPermissionOverride asAnyUser;
            failure = FailureOf([&] { WriteLedgerFile(Native(path)); });
        }
        QVERIFY(QFile::setPermissions(
            dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        QCOMPARE(failure, message);
        QVERIFY(ReadAll(path) == previous);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { "a.ZMR" });
    }

    void saveReplacesTheFileAndKeepsItsPermissions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("a file of mode 0640 stays 0640") << 0640;
        QTest::newRow("a file of mode 0600 stays 0600") << 0600;
    }

    void saveReplacesTheFileAndKeepsItsPermissions()
    {
        QFETCH(int, mode);
        QTemporaryDir dir;
        QString path = dir.filePath("a.ZMR");
        WriteAll(path, QByteArray(2 * int(RecordSize) + 5, 'p'));
        QVERIFY(::chmod(Native(path).c_str(), mode_t(mode)) == 0);
        std::memset(LedgerRecord, 'n', RecordSize);
        WriteLedgerFile(Native(path));
        QVERIFY(ReadAll(path) == QByteArray(int(RecordSize), 'n'));
        struct stat status { };
        QCOMPARE(::stat(Native(path).c_str(), &status), 0);
        QCOMPARE(int(status.st_mode & 07777), mode);

        mode_t mask = ::umask(022);
        WriteLedgerFile(Native(dir.filePath("new.ZMR")));
        ::umask(mask);
        QCOMPARE(::stat(Native(dir.filePath("new.ZMR")).c_str(), &status), 0);
        QCOMPARE(int(status.st_mode & 07777), 0644);
        QCOMPARE(Entries(dir.path()), (QStringList { "a.ZMR", "new.ZMR" }));
    }

    void saveThroughALinkWritesTheFileItNames_data()
    {
        QTest::addColumn<QString>("linkTarget");
        QTest::addColumn<QString>("file");
        QTest::newRow("a link beside the file") << "a.ZMR"
                                                << "a.ZMR";
        QTest::newRow("a relative link into another folder") << "real/a.ZMR"
                                                             << "real/a.ZMR";
        QTest::newRow("a link to a link") << "middle.ZMR"
                                          << "real/a.ZMR";
        QTest::newRow("a dangling link creates the file it names") << "real/new.ZMR"
                                                                   << "real/new.ZMR";
    }

    // The link stays as it was; the file it names, at the end of the chain, gets the new record and
    // keeps its permissions; nothing else appears in either folder.
    void saveThroughALinkWritesTheFileItNames()
    {
        const QString link = "link.ZMR";
        QFETCH(QString, linkTarget);
        QFETCH(QString, file);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("real"));
        WriteAll(dir.filePath("a.ZMR"), QByteArray(int(RecordSize), 'p'));
        WriteAll(dir.filePath("real/a.ZMR"), QByteArray(int(RecordSize), 'p'));
        QVERIFY(::chmod(Native(dir.filePath(file)).c_str(), 0600) == 0 || !QFile::exists(dir.filePath(file)));
        QCOMPARE(::symlink("real/a.ZMR", Native(dir.filePath("middle.ZMR")).c_str()), 0);
        QCOMPARE(::symlink(Native(linkTarget).c_str(), Native(dir.filePath(link)).c_str()), 0);
        QStringList before = Entries(dir.path()) + Entries(dir.filePath("real"));
        std::memset(LedgerRecord, 'n', RecordSize);
        WriteLedgerFile(Native(dir.filePath(link)));
        QCOMPARE(QFile::symLinkTarget(dir.filePath(link)), QFileInfo(dir.filePath(linkTarget)).absoluteFilePath());
        QVERIFY(ReadAll(dir.filePath(file)) == QByteArray(int(RecordSize), 'n'));
        if (file != "real/new.ZMR") {
            struct stat status { };
            QCOMPARE(::stat(Native(dir.filePath(file)).c_str(), &status), 0);
            QCOMPARE(int(status.st_mode & 07777), 0600);
        }
        QStringList after = Entries(dir.path()) + Entries(dir.filePath("real"));
        if (file == "real/new.ZMR")
            before.append("new.ZMR");
        QCOMPARE(after, before);
    }

    // A child saves over and over, two records in turn, and is killed at a random moment within
    // its first few saves. Whenever it dies, the ledger is one of the two records, whole, and the
    // folder holds nothing else.
    void saveKilledAtAnyMomentLeavesOneWholeRecordAndNothingElse()
    {
        QTemporaryDir dir;
        std::string path = Native(dir.filePath("a.ZMR"));
        const QByteArray records[2] = { QByteArray(int(RecordSize), 'a'), QByteArray(int(RecordSize), 'b') };
        std::memset(LedgerRecord, 'a', RecordSize);
        QElapsedTimer timer;
        timer.start();
        for (int save = 0; save < 5; ++save)
            WriteLedgerFile(path);
        const qint64 saveNanoseconds = timer.nsecsElapsed() / 5;
        const unsigned seed = std::random_device()();
        std::mt19937 random(seed);
        std::uniform_int_distribution<qint64> moment(0, 3 * saveNanoseconds);
        const QByteArray context = "seed " + QByteArray::number(seed);
        for (int kill = 0; kill < 200; ++kill) {
            int alive[2];
            QCOMPARE(::pipe2(alive, O_CLOEXEC), 0);
            pid_t saver = ::fork();
            if (saver == 0) {
                for (int save = 0;; ++save) {
                    std::memset(LedgerRecord, save % 2 == 0 ? 'b' : 'a', RecordSize);
                    if (!FailureOf([&] { WriteLedgerFile(path); }).isEmpty())
                        ::_exit(1);
                }
            }
            ::close(alive[1]);
            qint64 delay = moment(random);
            timespec pause { time_t(delay / 1000000000), long(delay % 1000000000) };
            ::nanosleep(&pause, nullptr);
            ::kill(saver, SIGKILL);
            // The pipe ends when every process holding it has ended: the saver and any it started.
            char byte;
            while (::read(alive[0], &byte, 1) > 0) { }
            ::close(alive[0]);
            int status = 0;
            QCOMPARE(::waitpid(saver, &status, 0), saver);
            QVERIFY2(WIFSIGNALED(status), "a save failed before the kill: " + context);
            QByteArray now = ReadAll(dir.filePath("a.ZMR"));
            QVERIFY2(now == records[0] || now == records[1], "the ledger is not a whole record: " + context);
            QVERIFY2(Entries(dir.path()) == QStringList { "a.ZMR" },
                Entries(dir.path()).join(", ").toUtf8() + " after kill " + QByteArray::number(kill) + ", " + context);
            for (const QString& version : Entries(dir.filePath(".kivelo-versions"))) {
                QByteArray kept = ReadAll(dir.filePath(".kivelo-versions/" + version));
                QVERIFY2(version.startsWith("a.") && (kept == records[0] || kept == records[1]),
                    version.toUtf8() + " is no whole version, after kill " + QByteArray::number(kill) + ", " + context);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestLedger)
#include "tst_ledger.moc"

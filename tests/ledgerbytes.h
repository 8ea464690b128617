// The ledger file as the tests read it, with code of their own and not the program's record
// layout: 336,780 bytes of length-prefixed Shift-JIS slots at the offsets the format gives.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <algorithm>
#include <iconv.h>

// Shift-JIS bytes of a UTF-8 text, straight from iconv: the tests do not use the program's
// conversions.
inline QByteArray ShiftJis(const QString& text)
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

// A ledger file as read by the tests.
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
    static qsizetype IncomeOffset(int col, int row) { return (col * 31 + row) * 13; }
    QByteArray Income(int col, int row) const { return Cell(0, 31, col, row); }
    QByteArray Expense(int col, int row) const { return Cell(806, 31, col, row); }
    QByteArray Status(int col, int row) const { return Cell(1612, 5, col, row); }
    QByteArray Daily(int col, int row) const { return Cell(1742, 20, col, row); }
    static qsizetype DetailOffset(int col, int row, int listCol, int listRow)
    {
        return 10322 + col * 9880 + row * 494 + listCol * 247 + listRow * 13;
    }
    QByteArray Detail(int col, int row, int listCol, int listRow) const
    {
        return Slot(DetailOffset(col, row, listCol, listRow));
    }
    QByteArray OnHand(int col, int row) const { return Cell(336368, 6, col, row); }
    QByteArray Month() const { return Slot(336362); }
    QByteArray StartDay() const { return Slot(336365); }
    QByteArray Memo() const { return Slot(336524); }

private:
    QByteArray bytes_;
};

// Writes a 13-byte cell (or any slot of `capacity` bytes) of a record the test builds.
inline void WriteSlot(QByteArray& record, qsizetype offset, const QByteArray& text, int capacity = 12)
{
    QByteArray slot(capacity + 1, '\0');
    slot[0] = char(std::min<qsizetype>(capacity, text.size()));
    slot.replace(1, slot[0], text.left(capacity));
    record.replace(offset, capacity + 1, slot);
}

// A month of December: the day labels 12月1日 to 12月31日 in columns 2 to 32, as the period
// command writes them for month 12 from day 1, and `bank` yen in the bank.
inline QByteArray DecemberRecord(const QByteArray& bank = "100000")
{
    QByteArray record(336780, '\0');
    for (int day = 1; day <= 31; ++day)
        WriteSlot(record, 1742 + ((day + 1) * 20) * 13, ShiftJis(QStringLiteral("12月%1日").arg(day)));
    WriteSlot(record, 336368 + (1 * 6 + 2) * 13, bank);
    return record;
}

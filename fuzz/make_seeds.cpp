// Writes the seed corpus of the ledger fuzz target into a folder: valid ledgers (as saved right
// after start, and with every slot at its capacity), files that are empty, short, one record and
// a bit long, two records, and corrupt ones (length bytes beyond their slots, amounts that are no
// integers or overflow, noise).
#include "ledger/record.h"
#include "ledger/tables.h"
#include "toolkit/text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

std::string folder;

void Write(const char* name, const Bytes& bytes)
{
    std::string path = folder + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
}

Bytes Record()
{
    return Bytes(LedgerRecord, LedgerRecord + RecordSize);
}

Bytes operator+(Bytes first, const Bytes& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// A ledger as saved right after start: the default detail lists, the budget's "0" cells, the
// grid labels and the memo's first text.
Bytes StartLedger()
{
    ResetTables();
    InitDefaultDetailLists();
    for (int row = 1; row <= 18; ++row)
        ExpenseBudget[1][row].Assign("0");
    std::memset(LedgerRecord, 0, RecordSize);
    PutBudgetAreas();
    PutDetailArea();
    const char* labels[] = { "項　目", "食　費", "水道･光熱費", "交通通信費", "車関連費", "被服費" };
    for (int row = 0; row < 6; ++row)
        PutSlot(DailyArea, 0, row, toolkit::Sjis(labels[row]));
    PutSlot(DailyArea, 1, 0, toolkit::Sjis("合　計"));
    PutSlot(DailyArea, 0, 18, toolkit::Sjis("支出計"));
    PutSlot(DailyArea, 1, 18, "0");
    PutSlot(StatusArea, 0, 1, toolkit::Sjis("計算残高"));
    PutSlot(OnHandArea, 0, 1, toolkit::Sjis("財　布"));
    PutSlot(MemoArea, 0, 0, toolkit::Sjis("メモ"));
    return Record();
}

// A month in use: budgets, amounts, a period and a memo of several lines.
Bytes MonthLedger()
{
    Bytes record = StartLedger();
    std::memcpy(LedgerRecord, record.data(), RecordSize);
    PutSlot(IncomeArea, 1, 12, "250000");
    PutSlot(ExpenseArea, 1, 18, "180000");
    for (int row = 1; row <= 17; ++row) {
        PutSlot(ExpenseArea, 1, row, std::to_string(row * 1000));
        PutSlot(DailyArea, 1, row, std::to_string(row * 700));
        PutSlot(DailyArea, 2 + row, row, std::to_string(row * 700));
    }
    PutSlot(DailyArea, 1, 18, "107100");
    PutSlot(PeriodMonthArea, 0, 0, "12");
    PutSlot(PeriodDayArea, 0, 0, "25");
    PutSlot(MemoArea, 0, 0, toolkit::Sjis("家賃\r\n電気代は来月\r\n"));
    return Record();
}

// Every slot at its capacity; the amounts the totals read are numbers of 12 digits.
Bytes FullLedger()
{
    std::string twelve = toolkit::Sjis("雑費雑費雑費");
    for (const RecordArea& area : RecordAreas)
        for (int column = 0; column < area.Columns; ++column)
            for (int row = 0; row < area.Rows; ++row)
                PutSlot(area, column, row, area.SlotSize == CellSlot ? twelve : std::string(area.Capacity(), '9'));
    PutSlot(IncomeArea, 1, 12, "000000300000");
    for (int row = 1; row <= 18; ++row) {
        PutSlot(ExpenseArea, 1, row, "000000003000");
        PutSlot(DailyArea, 1, row, "000000001000");
    }
    return Record();
}

// Amounts the totals cannot take: text, an empty month total, sums that overflow.
Bytes BadAmounts(int which)
{
    Bytes record = MonthLedger();
    std::memcpy(LedgerRecord, record.data(), RecordSize);
    switch (which) {
    case 0:
        PutSlot(ExpenseArea, 1, 3, toolkit::Sjis("三千円"));
        break;
    case 1:
        PutSlot(DailyArea, 1, 18, "");
        PutSlot(IncomeArea, 1, 12, "$7FFFFFFF");
        break;
    default:
        for (int row = 1; row <= 17; ++row) {
            PutSlot(ExpenseArea, 1, row, "2147483647");
            PutSlot(DailyArea, 1, row, "-2147483648");
        }
        break;
    }
    return Record();
}

// Every length byte of every slot says 255.
Bytes OverlongLengths()
{
    Bytes record = FullLedger();
    for (const RecordArea& area : RecordAreas)
        for (int column = 0; column < area.Columns; ++column)
            for (int row = 0; row < area.Rows; ++row)
                record[area.SlotOffset(column, row)] = 255;
    return record;
}

Bytes Noise(size_t size, uint32_t seed)
{
    Bytes bytes(size);
    for (unsigned char& byte : bytes) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<unsigned char>(seed >> 24);
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    folder = argv[1];
    Bytes start = StartLedger();
    Bytes month = MonthLedger();
    Bytes full = FullLedger();
    Write("empty.ZMR", {});
    Write("short.ZMR", Bytes(start.begin(), start.begin() + 100));
    Write("start.ZMR", start);
    Write("month.ZMR", month);
    Write("full.ZMR", full);
    Write("two-records.ZMR", start + month);
    Write("long.ZMR", month + Bytes(100, 'x'));
    Write("bad-amount-text.ZMR", BadAmounts(0));
    Write("bad-amount-empty-total.ZMR", BadAmounts(1));
    Write("bad-amount-overflow.ZMR", BadAmounts(2));
    Write("overlong-lengths.ZMR", OverlongLengths());
    Write("noise.ZMR", Noise(RecordSize, 12345));
    Write("noise-short.ZMR", Noise(RecordSize - 1, 54321));
    return 0;
}

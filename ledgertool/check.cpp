#include "ledgertool/commands.h"

#include "ledger/textout.h"
#include "toolkit/convert.h"
#include "toolkit/text.h"

#include <cstdint>
#include <limits>

namespace {

// An amount cell as the program would read it: empty, a value, or text its conversion rejects.
struct Amount {
    enum class State { Empty, Value, Invalid } Kind = State::Empty;
    int64_t Value = 0;

    static Amount Of(std::string_view text)
    {
        if (text.empty())
            return {};
        std::optional<int32_t> value = toolkit::TryIntFromText(text);
        if (!value)
            return { State::Invalid, 0 };
        return { State::Value, *value };
    }
};

// The amount cells of each area: columns and rows, inclusive.
struct AmountCells {
    const RecordArea* Area;
    int FirstColumn, LastColumn, FirstRow, LastRow;
};
constexpr AmountCells AmountAreas[] = {
    { &IncomeArea, 1, 1, 1, 30 },
    { &ExpenseArea, 1, 1, 1, 19 },
    { &StatusArea, 1, 1, 1, 4 },
    { &DailyArea, 1, 32, 1, 19 },
    { &OnHandArea, 1, 1, 1, 4 },
};

constexpr int FirstDay = 2, LastDay = 32;
constexpr int LastCategory = 17, DayTotalRow = 18, BankRow = 19, TotalColumn = 1;
constexpr int FirstItem = 1, LastItem = 17, SpareItem = 18;

class Checker {
public:
    Checker(const std::string& name, const LedgerImage& image, std::string& out)
        : name_(name)
        , image_(image)
        , out_(out)
    {
    }

    int Run()
    {
        CheckSize();
        if (!image_.HasRecord())
            return problems_;
        CheckLengthBytes();
        CheckAmountCells();
        CheckDayCellsAgainstLists();
        CheckDayTotals();
        CheckRowTotals();
        CheckBankItems();
        return problems_;
    }

private:
    void Report(const std::string& where, const std::string& what)
    {
        out_ += name_;
        out_ += ": ";
        out_ += where;
        out_ += ": ";
        out_ += what;
        out_ += '\n';
        ++problems_;
    }

    std::string_view Text(const RecordArea& area, int column, int row) const { return image_.Text(area, column, row); }
    Amount Day(int column, int row) const { return Amount::Of(Text(DailyArea, column, row)); }

    void CheckSize()
    {
        if (image_.TrailingBytes != 0)
            Report("file",
                "size " + std::to_string(image_.Size) + " is not a multiple of " + std::to_string(RecordSize) + " ("
                    + std::to_string(image_.Records) + " whole records and " + std::to_string(image_.TrailingBytes)
                    + " bytes more)");
        else if (!image_.HasRecord())
            Report("file", "holds no record");
    }

    void CheckLengthBytes()
    {
        for (const RecordArea& area : RecordAreas)
            for (int column = 0; column < area.Columns; ++column)
                for (int row = 0; row < area.Rows; ++row) {
                    unsigned length = image_.LengthByte(area, column, row);
                    if (length > area.Capacity())
                        Report(SlotPlace(area, column, row),
                            "length byte " + std::to_string(length) + " is above the slot's capacity of "
                                + std::to_string(area.Capacity()));
                }
    }

    void CheckAmount(const RecordArea& area, int column, int row)
    {
        std::string_view text = Text(area, column, row);
        if (Amount::Of(text).Kind == Amount::State::Invalid)
            Report(SlotPlace(area, column, row), "amount " + QuotedText(text) + " is not an integer");
    }

    void CheckAmountCells()
    {
        for (const AmountCells& cells : AmountAreas)
            for (int column = cells.FirstColumn; column <= cells.LastColumn; ++column)
                for (int row = cells.FirstRow; row <= cells.LastRow; ++row)
                    CheckAmount(*cells.Area, column, row);
        for (int dayColumn = 0; dayColumn < 33; ++dayColumn)
            for (int dayRow = 0; dayRow < 20; ++dayRow)
                for (int item = FirstItem; item <= LastItem; ++item)
                    CheckAmount(DetailArea, DetailColumn(dayColumn, dayRow, 1), item);
    }

    // The sum of non-empty amounts, as the program adds them; nothing when one of them is not an
    // integer, which is reported on its own.
    template <class AmountAt> std::optional<int64_t> Sum(int first, int last, AmountAt amountAt) const
    {
        int64_t sum = 0;
        for (int i = first; i <= last; ++i) {
            Amount amount = amountAt(i);
            if (amount.Kind == Amount::State::Invalid)
                return std::nullopt;
            sum += amount.Value;
        }
        return sum;
    }

    // Reports a total cell whose value is not `sum`; a sum outside 32 bits is reported as such,
    // since the program fails on it with an overflow.
    void CompareTotal(
        int column, int row, std::optional<int64_t> sum, const std::string& totalName, const std::string& sumName)
    {
        Amount total = Day(column, row);
        if (!sum || total.Kind == Amount::State::Invalid)
            return;
        std::string where = SlotPlace(DailyArea, column, row);
        if (*sum < std::numeric_limits<int32_t>::min() || *sum > std::numeric_limits<int32_t>::max()) {
            Report(where, sumName + ", " + std::to_string(*sum) + ", leaves the 32-bit range");
            return;
        }
        // An empty total counts as 0: it is what a cell holds before its first sum.
        if (total.Value != *sum)
            Report(where,
                totalName + QuotedText(Text(DailyArea, column, row)) + " differs from " + sumName + ", "
                    + std::to_string(*sum));
    }

    void CheckDayCellsAgainstLists()
    {
        for (int column = FirstDay; column <= LastDay; ++column)
            for (int row = 1; row <= BankRow; ++row) {
                if (row == DayTotalRow)
                    continue;
                int amounts = DetailColumn(column, row, 1);
                CompareTotal(column, row,
                    Sum(FirstItem, LastItem, [&](int item) { return Amount::Of(Text(DetailArea, amounts, item)); }),
                    "day cell ", "the sum of its detail list");
            }
    }

    void CheckDayTotals()
    {
        for (int column = FirstDay; column <= LastDay; ++column)
            CompareTotal(column, DayTotalRow, Sum(1, LastCategory, [&](int row) { return Day(column, row); }),
                "day total ", "the sum of rows 1 to 17");
    }

    void CheckRowTotals()
    {
        for (int row = 1; row <= BankRow; ++row)
            CompareTotal(TotalColumn, row, Sum(FirstDay, LastDay, [&](int column) { return Day(column, row); }),
                row == BankRow ? "bank total " : "row total ",
                row == BankRow ? "the sum of row 19" : "the sum of columns 2 to 32");
    }

    // The detail list's OK books every item it holds, the spare row included.
    void CheckBankItems()
    {
        static const std::string unbookedMark = toolkit::Sjis("Ａ");
        for (int dayColumn = 0; dayColumn < 33; ++dayColumn)
            for (int dayRow = 0; dayRow < 20; ++dayRow)
                for (int item = FirstItem; item <= SpareItem; ++item) {
                    int names = DetailColumn(dayColumn, dayRow, 0);
                    std::string_view name = Text(DetailArea, names, item);
                    if (name.substr(0, unbookedMark.size()) == unbookedMark)
                        Report(SlotPlace(DetailArea, names, item),
                            "bank item " + QuotedText(name) + " is not booked against the bank balance");
                }
    }

    const std::string& name_;
    const LedgerImage& image_;
    std::string& out_;
    int problems_ = 0;
};

} // namespace

int CheckLedger(const std::string& name, const LedgerImage& image, std::string& out)
{
    return Checker(name, image, out).Run();
}

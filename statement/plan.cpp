#include "statement/plan.h"

#include "ledger/record.h"
#include "ledger/tables.h"
#include "statement/names.h"
#include "toolkit/convert.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <algorithm>
#include <map>

namespace statement {

namespace {

constexpr int FirstDay = 2;
constexpr int LastDay = 32;
constexpr int FirstLine = 1;
constexpr int LastLine = 17;   // row 18 of a list is a spare slot, never summed
constexpr int LastBankLine = 18;
constexpr int DayTotalRow = 18;
constexpr int LastTotalledRow = 19;

std::string_view ListText(const unsigned char* record, const ListCell& list, int column, int line)
{
    return SlotText(record, DetailArea, DetailColumn(list.Column, list.Category, column), line);
}

// The day columns by month and day, from the labels "12月3日" of the daily table's top row.
std::map<std::pair<int, int>, int> DayColumns(const unsigned char* record)
{
    std::map<std::pair<int, int>, int> columns;
    for (int col = FirstDay; col <= LastDay; ++col) {
        std::string label = toolkit::Utf8FromSjis(SlotText(record, DailyArea, col, 0));
        size_t month = label.find("月");
        size_t day = label.find("日");
        if (month == std::string::npos || day == std::string::npos || day < month)
            continue;
        std::optional<int32_t> m = toolkit::TryIntFromText(label.substr(0, month));
        std::optional<int32_t> d = toolkit::TryIntFromText(label.substr(month + 3, day - month - 3));
        if (m && d)
            columns.try_emplace({ *m, *d }, col);
    }
    return columns;
}

// A list's items by their booked name and amount, for counting duplicates.
using ItemKey = std::pair<std::string, int64_t>;

std::map<ItemKey, int> ItemsOf(const unsigned char* record, const ListCell& list)
{
    std::map<ItemKey, int> items;
    for (int line = FirstLine; line <= LastLine; ++line) {
        std::optional<int32_t> amount = toolkit::TryIntFromText(ListText(record, list, 1, line));
        std::string_view name = ListText(record, list, 0, line);
        if (amount && !name.empty())
            ++items[{ BookedForm(name), *amount }];
    }
    return items;
}

} // namespace

const char* StateName(State state)
{
    switch (state) {
    case State::New: return "new";
    case State::Duplicate: return "duplicate";
    case State::Outside: return "outside";
    case State::Deposit: return "deposit";
    case State::Refund: return "refund";
    case State::Full: return "full";
    case State::Unchecked: return "unchecked";
    }
    return "";
}

const char* StateLabel(State state)
{
    switch (state) {
    case State::New: return "取り込む";
    case State::Duplicate: return "取り込み済み";
    case State::Outside: return "期間外";
    case State::Deposit: return "入金";
    case State::Refund: return "返金";
    case State::Full: return "明細が満杯";
    case State::Unchecked: return "選ばれていません";
    }
    return "";
}

int ImportPlan::Count(State state) const
{
    return int(std::count_if(Rows.begin(), Rows.end(), [&](const PlannedRow& row) { return row.Now == state; }));
}

ImportPlan PlanImport(const unsigned char* record, const std::vector<Purchase>& purchases, const Categoriser& categoriser,
    const std::vector<Choice>& choices)
{
    ImportPlan plan;
    std::map<std::pair<int, int>, int> days = DayColumns(record);
    if (days.empty()) {
        plan.Failure = "集計期間を設定してください";
        return plan;
    }
    std::map<ListCell, std::map<ItemKey, int>> items;    // what each list held before the import
    std::map<std::pair<ListCell, ItemKey>, int> arrived; // how many of each came with it
    std::map<ListCell, std::vector<bool>> taken;         // the lines of each list in use
    for (size_t i = 0; i < purchases.size(); ++i) {
        const Purchase& purchase = purchases[i];
        const Choice choice = i < choices.size() ? choices[i] : Choice();
        PlannedRow row;
        row.From = purchase;
        auto day = days.find({ purchase.When.Month, purchase.When.Day });
        row.Column = day == days.end() ? 0 : day->second;
        if (purchase.Kind != Flow::Spent) {
            row.Now = purchase.Kind == Flow::Deposited ? State::Deposit : State::Refund;
            row.Name = StoredName(purchase.Description, false);
            plan.Rows.push_back(std::move(row));
            continue;
        }
        Categorised categorised = categoriser.Of(purchase.Description);
        row.Category = categorised.Category;
        row.Bank = categorised.Bank;
        row.Rule = categorised.From;
        if (choice.Category) {
            row.Category = *choice.Category;
            row.Rule = Source::User;
        }
        if (choice.Bank)
            row.Bank = *choice.Bank;
        row.Name = StoredName(purchase.Description, row.Bank);
        bool claimed = !purchase.FromBank || row.Rule != Source::None;
        row.Now = claimed ? State::New : State::Unchecked;
        if (row.Column == 0) {
            row.Now = State::Outside;
            plan.Rows.push_back(std::move(row));
            continue;
        }
        ListCell list { row.Column, row.Category };
        auto held = items.find(list);
        if (held == items.end())
            held = items.emplace(list, ItemsOf(record, list)).first;
        ItemKey key { BookedForm(row.Name), int64_t(purchase.Amount) };
        int& seen = arrived[{ list, key }];
        ++seen;
        auto already = held->second.find(key);
        if (already != held->second.end() && seen <= already->second)
            row.Now = State::Duplicate;
        if (choice.Include)
            row.Now = *choice.Include ? State::New : State::Unchecked;
        if (row.Now == State::New) {
            auto lines = taken.find(list);
            if (lines == taken.end()) {
                std::vector<bool> used(LastLine + 1, false);
                for (int line = FirstLine; line <= LastLine; ++line)
                    used[size_t(line)] = !ListText(record, list, 0, line).empty() || !ListText(record, list, 1, line).empty();
                lines = taken.emplace(list, std::move(used)).first;
            }
            auto free = std::find(lines->second.begin() + FirstLine, lines->second.end(), false);
            if (free == lines->second.end()) {
                row.Now = State::Full;
            } else {
                *free = true;
                row.ListLine = int(free - lines->second.begin());
            }
        }
        plan.Rows.push_back(std::move(row));
    }
    return plan;
}

std::vector<ListCell> ListsTouched(const ImportPlan& plan)
{
    std::vector<ListCell> lists;
    for (const PlannedRow& row : plan.Rows)
        if (row.Now == State::New)
            lists.push_back({ row.Column, row.Category });
    std::sort(lists.begin(), lists.end());
    lists.erase(std::unique(lists.begin(), lists.end()), lists.end());
    return lists;
}

std::optional<std::string> PlaceInRecord(unsigned char* record, const ImportPlan& plan)
{
    using toolkit::AddAmounts;
    using toolkit::IntFromText;
    using toolkit::SubtractAmounts;
    using toolkit::TextFromInt;
    try {
        for (const ListCell& list : ListsTouched(plan)) {
            const int nameColumn = DetailColumn(list.Column, list.Category, 0);
            const int amountColumn = DetailColumn(list.Column, list.Category, 1);
            for (const PlannedRow& row : plan.Rows)
                if (row.Now == State::New && row.Column == list.Column && row.Category == list.Category) {
                    PutSlot(record, DetailArea, nameColumn, row.ListLine, row.Name);
                    PutSlot(record, DetailArea, amountColumn, row.ListLine, TextFromInt(row.From.Amount));
                }
            // The bank items are booked, each off the balance, and renamed.
            for (int line = FirstLine; line <= LastBankLine; ++line) {
                std::string name(SlotText(record, DetailArea, nameColumn, line));
                if (name.compare(0, BankMark().size(), BankMark()) != 0)
                    continue;
                int32_t balance = IntFromText(SlotText(record, OnHandArea, 1, 2));
                int32_t amount = IntFromText(SlotText(record, DetailArea, amountColumn, line));
                PutSlot(record, OnHandArea, 1, 2, TextFromInt(SubtractAmounts(balance, amount)));
                PutSlot(record, DetailArea, nameColumn, line, "A" + name.substr(BankMark().size(), size_t(CellText::Capacity) - 1));
            }
            int32_t sum = 0;
            for (int line = FirstLine; line <= LastLine; ++line)
                if (std::string_view amount = SlotText(record, DetailArea, amountColumn, line); !amount.empty())
                    sum = AddAmounts(sum, IntFromText(amount));
            PutSlot(record, DailyArea, list.Column, list.Category, TextFromInt(sum));
        }
        // The totals as the list's OK makes them: each day's running sum, then each row's.
        for (int col = FirstDay; col <= LastDay; ++col) {
            int32_t sum = 0;
            for (int row = 1; row <= Categories; ++row)
                if (std::string_view amount = SlotText(record, DailyArea, col, row); !amount.empty()) {
                    sum = AddAmounts(sum, IntFromText(amount));
                    PutSlot(record, DailyArea, col, DayTotalRow, TextFromInt(sum));
                }
        }
        for (int row = 1; row <= LastTotalledRow; ++row) {
            int32_t sum = 0;
            for (int col = FirstDay; col <= LastDay; ++col)
                if (std::string_view amount = SlotText(record, DailyArea, col, row); !amount.empty()) {
                    sum = AddAmounts(sum, IntFromText(amount));
                    PutSlot(record, DailyArea, 1, row, TextFromInt(sum));
                }
        }
        std::string_view income = SlotText(record, IncomeArea, 1, 12);
        std::string_view spent = SlotText(record, DailyArea, 1, DayTotalRow);
        if (!income.empty() && !spent.empty())
            PutSlot(record, StatusArea, 1, 1, TextFromInt(SubtractAmounts(IntFromText(income), IntFromText(spent))));
    } catch (const toolkit::Failure& failure) {
        return failure.Message();
    }
    return std::nullopt;
}

} // namespace statement

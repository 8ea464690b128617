// An import planned on a month: each purchase's day column (by the day labels of the period),
// category, name as stored, and what becomes of it; and the plan carried out on a record as the
// list's OK would carry it out. The preview window shows a plan, `kivelo-ledger import` prints
// one, and both place it, so the two cannot disagree.
#pragma once

#include "statement/categories.h"
#include "statement/reader.h"

#include <optional>
#include <string>
#include <vector>

namespace statement {

enum class State {
    New,       // will be imported
    Duplicate, // the list of its day and category holds it already
    Outside,   // no day of the period
    Deposit,   // money in: not spending
    Refund,    // money given back
    Full,      // the list already holds 17 items
    Unchecked, // a bank withdrawal no rule claims: cash, a transfer, a card's bill
};
const char* StateName(State state);  // "new", "duplicate", …
const char* StateLabel(State state); // as the preview says it, UTF-8

// What the user chose for a row in the preview; nothing where the plan's own choice stands.
struct Choice {
    std::optional<bool> Include;
    std::optional<int> Category;
    std::optional<bool> Bank;
};

struct PlannedRow {
    Purchase From;
    int Column = 0;        // 2 to 32; 0 when no day label has the date
    int Category = 0;      // 1 to 17; 0 for money in and refunds
    std::string Name;      // Shift-JIS, as stored: "Ａ…" for a bank payment
    bool Bank = false;
    Source Rule = Source::None;
    State Now = State::New;
    int ListLine = 0;      // 1 to 17 for a row that will be imported
};

struct ImportPlan {
    std::vector<PlannedRow> Rows;
    // Why nothing can be imported into the month (UTF-8): "集計期間を設定してください".
    std::optional<std::string> Failure;
    int Count(State state) const;
};

// `choices` is empty or one per purchase.
ImportPlan PlanImport(const unsigned char* record, const std::vector<Purchase>& purchases, const Categoriser& categoriser,
    const std::vector<Choice>& choices = {});

// The lists a plan adds to, in the order they are confirmed: by day column, then category.
struct ListCell {
    int Column = 0;
    int Category = 0;
    bool operator==(const ListCell& other) const { return Column == other.Column && Category == other.Category; }
    bool operator<(const ListCell& other) const
    {
        return Column != other.Column ? Column < other.Column : Category < other.Category;
    }
};
std::vector<ListCell> ListsTouched(const ImportPlan& plan);

// The new rows into `record`, each list then confirmed as its OK confirms it: the "Ａ" items booked
// off the bank balance and renamed "A…", the list stored, its sum into the day's cell, the day and
// category totals and the calculated balance made again. On a conversion that fails, returns the
// error box's message (Shift-JIS) and the record is to be thrown away.
std::optional<std::string> PlaceInRecord(unsigned char* record, const ImportPlan& plan);

} // namespace statement

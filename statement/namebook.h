// The item names a household has used, for offering them as a name is typed: every name with
// its uses, the latest month it was used in and its last amount, looked up by what begins it,
// folded as the import folds names (width, kana, case). A bank payment, booked "A…" (an "A"
// before a Japanese name) or not yet "Ａ…", is offered as "Ａ…" so that the list's OK books it.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct RecordArea;

namespace statement {

struct OfferedName {
    std::string Name;   // Shift-JIS, as it goes into the cell
    std::string Amount; // Shift-JIS, the amount it had the last time; may be empty
    int Uses = 0;
    int Latest = 0;     // the order of the latest month it was used in: larger is later
};

class NameBook {
public:
    // Every item with a name in the lists of a 336,780-byte record, as used in month `month`.
    void AddRecord(const unsigned char* record, int month);
    // The names of rows `first` to `last` of column 0 of a budget area, each with its amount in
    // column 1, as used in month `month`.
    void AddBudget(const unsigned char* record, const RecordArea& area, int first, int last, int month);
    // One item of month `month`; an empty name is left out.
    void Add(std::string_view name, std::string_view amount, int month);

    // At most `most` names that begin with `typed` (Shift-JIS, folded), the most used first, ties
    // by the latest month, then by name. Nothing for an empty text.
    std::vector<OfferedName> Offer(std::string_view typed, size_t most = 8) const;
    // The same over several books at once, a name's uses added up (the folder's months and the
    // month on screen).
    static std::vector<OfferedName> Offer(const std::vector<const NameBook*>& books, std::string_view typed, size_t most = 8);

    size_t Size() const { return names_.size(); }

private:
    // Each name that begins with the folded `prefix`, with its folded form.
    void Matching(const std::string& prefix, std::vector<std::pair<const std::string*, const OfferedName*>>& found) const;

    struct Entry {
        std::string Folded;
        OfferedName Offered;
    };
    std::unordered_map<std::string, size_t> byFolded_;
    std::vector<Entry> names_;
    mutable std::vector<size_t> sorted_; // names_ by Folded, made again when names are added
    mutable bool sortedValid_ = false;
};

} // namespace statement

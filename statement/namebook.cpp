#include "statement/namebook.h"

#include "ledger/record.h"
#include "statement/names.h"
#include "toolkit/text.h"

#include <algorithm>

namespace statement {

void NameBook::AddRecord(const unsigned char* record, int month)
{
    for (int day = 2; day <= 32; ++day)
        for (int category = 1; category <= 17; ++category)
            for (int line = 1; line <= 17; ++line) {
                std::string_view name = SlotText(record, DetailArea, DetailColumn(day, category, 0), line);
                if (!name.empty())
                    Add(name, SlotText(record, DetailArea, DetailColumn(day, category, 1), line), month);
            }
}

void NameBook::AddBudget(const unsigned char* record, const RecordArea& area, int first, int last, int month)
{
    for (int row = first; row <= last; ++row)
        Add(SlotText(record, area, 0, row), SlotText(record, area, 1, row), month);
}

void NameBook::Add(std::string_view name, std::string_view amount, int month)
{
    if (name.empty() || !toolkit::IsValidSjis(name))
        return;
    // A booked bank payment is offered unbooked, so that OK books it again in its new month.
    bool booked = IsBookedBankName(name);
    std::string offered = booked ? BankMark() + std::string(name.substr(1)) : std::string(name);
    if (offered.size() > 12)
        offered = std::string(name);
    std::string folded = FoldStoredName(offered);
    auto [at, added] = byFolded_.try_emplace(folded, names_.size());
    if (added) {
        names_.push_back({ folded, { offered, std::string(amount), 0, month } });
        sortedValid_ = false;
    }
    OfferedName& entry = names_[at->second].Offered;
    ++entry.Uses;
    if (month >= entry.Latest) {
        entry.Latest = month;
        if (!amount.empty())
            entry.Amount = std::string(amount);
    }
}

void NameBook::Matching(const std::string& prefix, std::vector<std::pair<const std::string*, const OfferedName*>>& found) const
{
    if (!sortedValid_) {
        sorted_.resize(names_.size());
        for (size_t i = 0; i < names_.size(); ++i)
            sorted_[i] = i;
        std::sort(sorted_.begin(), sorted_.end(), [this](size_t a, size_t b) { return names_[a].Folded < names_[b].Folded; });
        sortedValid_ = true;
    }
    auto first = std::lower_bound(sorted_.begin(), sorted_.end(), prefix,
        [this](size_t index, const std::string& key) { return names_[index].Folded < key; });
    for (auto it = first; it != sorted_.end() && names_[*it].Folded.compare(0, prefix.size(), prefix) == 0; ++it)
        found.emplace_back(&names_[*it].Folded, &names_[*it].Offered);
}

std::vector<OfferedName> NameBook::Offer(std::string_view typed, size_t most) const { return Offer({ this }, typed, most); }

std::vector<OfferedName> NameBook::Offer(const std::vector<const NameBook*>& books, std::string_view typed, size_t most)
{
    std::string prefix = FoldStoredName(typed);
    if (prefix.empty())
        return {};
    std::vector<std::pair<const std::string*, const OfferedName*>> found;
    for (const NameBook* book : books)
        book->Matching(prefix, found);
    // A name in several books is one name: its uses added, its latest month and amount kept.
    std::unordered_map<std::string_view, OfferedName> merged;
    for (const auto& [folded, offered] : found) {
        auto [at, added] = merged.try_emplace(*folded, *offered);
        if (added)
            continue;
        at->second.Uses += offered->Uses;
        if (offered->Latest >= at->second.Latest) {
            at->second.Latest = offered->Latest;
            at->second.Name = offered->Name;
            if (!offered->Amount.empty())
                at->second.Amount = offered->Amount;
        }
    }
    std::vector<OfferedName> offers;
    offers.reserve(merged.size());
    for (auto& [folded, offered] : merged)
        offers.push_back(std::move(offered));
    auto better = [](const OfferedName& a, const OfferedName& b) {
        if (a.Uses != b.Uses)
            return a.Uses > b.Uses;
        if (a.Latest != b.Latest)
            return a.Latest > b.Latest;
        return a.Name < b.Name;
    };
    size_t count = std::min(most, offers.size());
    std::partial_sort(offers.begin(), offers.begin() + std::ptrdiff_t(count), offers.end(), better);
    offers.resize(count);
    return offers;
}

} // namespace statement

#include "statement/categories.h"

#include "ledger/fileaccess.h"
#include "ledger/folder.h"
#include "ledger/ledgerimage.h"
#include "ledger/record.h"
#include "statement/names.h"
#include "toolkit/convert.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace statement {

const char* SourceName(Source source)
{
    return source == Source::User ? "user" : source == Source::Learned ? "learned" : "none";
}

void Categoriser::SetRules(std::vector<Rule> rules)
{
    rules_ = std::move(rules);
    foldedRules_.clear();
    for (const Rule& rule : rules_)
        foldedRules_.push_back(FoldName(rule.Text));
}

void Categoriser::Count(const std::string& folded, int category, bool bank)
{
    if (folded.empty())
        return;
    Counts& counts = learned_[folded];
    ++counts.PerCategory[size_t(category)];
    counts.Bank += bank ? 1 : 0;
    ++counts.Total;
}

void Categoriser::LearnFrom(const unsigned char* record)
{
    const std::string& mark = BankMark();
    for (int day = 2; day <= 32; ++day)
        for (int category = 1; category <= Categories; ++category)
            for (int line = 1; line <= 17; ++line) {
                std::string_view name = SlotText(record, DetailArea, DetailColumn(day, category, 0), line);
                std::string_view amount = SlotText(record, DetailArea, DetailColumn(day, category, 1), line);
                if (name.empty() || amount.empty())
                    continue;
                if (name.substr(0, mark.size()) == mark)
                    Count(FoldStoredName(name.substr(mark.size())), category, true);
                else if (IsBookedBankName(name))
                    Count(FoldStoredName(name.substr(1)), category, true);
                Count(FoldStoredName(name), category, false);
            }
}

int Categoriser::LearnFromFolder(const std::string& folder, const std::string& exceptName)
{
    std::vector<std::string> files;
    LedgerFilesIn(folder.empty() ? "." : folder, files);
    files.erase(std::remove_if(files.begin(), files.end(), [&](const std::string& file) { return NameOf(file) == exceptName; }),
        files.end());
    int read = 0;
    LedgerImage image;
    for (const std::string& file : files) {
        if (ReadLedgerImage(file, image) || !image.HasRecord())
            continue;
        LearnFrom(image.Record.get());
        ++read;
    }
    return read;
}

const Categoriser::Counts* Categoriser::Learned(const std::string& storedName) const
{
    auto found = learned_.find(FoldStoredName(storedName));
    return found == learned_.end() ? nullptr : &found->second;
}

Categorised Categoriser::Of(std::string_view utf8Description) const
{
    std::string folded = FoldName(utf8Description);
    for (size_t i = 0; i < rules_.size(); ++i)
        if (!foldedRules_[i].empty() && folded.find(foldedRules_[i]) != std::string::npos)
            return { rules_[i].Category, rules_[i].Bank, Source::User };
    // The name as stored, and as the rest of a bank payment's name.
    const Counts* counts = Learned(StoredName(utf8Description, false));
    if (!counts)
        counts = Learned(StoredName(utf8Description, true).substr(BankMark().size()));
    if (!counts)
        return {};
    // The most frequent category; a tie goes to the upper row.
    int best = 1;
    for (int category = 2; category <= Categories; ++category)
        if (counts->PerCategory[size_t(category)] > counts->PerCategory[size_t(best)])
            best = category;
    return { best, counts->Bank * 2 > counts->Total, Source::Learned };
}

// Each rule as "TEXT+CATEGORY+BANK", the text percent-encoded, the rules joined by "/": characters
// that Qt's INI format writes as they stand, unquoted.
std::string EncodeRules(const std::vector<Rule>& rules)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (const Rule& rule : rules) {
        if (!out.empty())
            out += '/';
        for (unsigned char c : rule.Text) {
            if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
                out += char(c);
            } else {
                out += '%';
                out += hex[c >> 4];
                out += hex[c & 15];
            }
        }
        out += '+' + std::to_string(rule.Category) + (rule.Bank ? "+1" : "+0");
    }
    return out;
}

std::vector<Rule> DecodeRules(std::string_view text)
{
    std::vector<Rule> rules;
    auto hexValue = [](char c) { return c >= 'A' ? (c & ~0x20) - 'A' + 10 : c - '0'; };
    while (!text.empty()) {
        size_t end = std::min(text.find('/'), text.size());
        std::string_view item = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        size_t space = item.find('+');
        size_t second = space == std::string_view::npos ? space : item.find('+', space + 1);
        if (second == std::string_view::npos)
            continue;
        Rule rule;
        for (size_t i = 0; i < space; ++i) {
            if (item[i] == '%' && i + 2 < space) {
                rule.Text += char(hexValue(item[i + 1]) * 16 + hexValue(item[i + 2]));
                i += 2;
            } else {
                rule.Text += item[i];
            }
        }
        std::optional<int32_t> category = toolkit::TryIntFromText(item.substr(space + 1, second - space - 1));
        if (rule.Text.empty() || !category || *category < 1 || *category > Categories)
            continue;
        rule.Category = *category;
        rule.Bank = item.substr(second + 1) == "1";
        rules.push_back(std::move(rule));
    }
    return rules;
}

std::string SettingsFilePath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base = config && *config ? config : std::string(std::getenv("HOME") ? std::getenv("HOME") : "") + "/.config";
    return base + "/kivelo/kivelo.conf";
}

// The settings file is Qt's INI format; the rules' value is plain ASCII, so it is read as it
// stands from the line "rules=..." of the group "[import]".
std::vector<Rule> RulesFromSettingsFile(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    bool inImport = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inImport = line == "[import]";
            continue;
        }
        std::string prefix = std::string(RulesKey) + "=";
        if (inImport && line.compare(0, prefix.size(), prefix) == 0) {
            std::string value = line.substr(prefix.size());
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            return DecodeRules(value);
        }
    }
    return {};
}

} // namespace statement

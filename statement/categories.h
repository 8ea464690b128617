// Which category a statement's purchase belongs to: the household's own rules first, then what
// it did in its earlier months (an item of the same name, folded, in the month on screen or in
// any ledger of its folder), else 雑　費, unclassified.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace statement {

constexpr int Categories = 17;
// The row captioned "雑　費" in the daily table, where an unclassified purchase goes.
constexpr int Unclassified = 16;

// Text contained in a description (compared folded) puts it into a category, and with `Bank` as
// an automatic bank payment ("Ａ…").
struct Rule {
    std::string Text; // UTF-8
    int Category = Unclassified;
    bool Bank = false;
    bool operator==(const Rule& other) const
    {
        return Text == other.Text && Category == other.Category && Bank == other.Bank;
    }
};

enum class Source { User, Learned, None };
const char* SourceName(Source source); // "user", "learned", "none"

struct Categorised {
    int Category = Unclassified;
    bool Bank = false;
    Source From = Source::None;
};

class Categoriser {
public:
    void SetRules(std::vector<Rule> rules);
    const std::vector<Rule>& Rules() const { return rules_; }

    // Every item with an amount in the lists of a 336,780-byte record.
    void LearnFrom(const unsigned char* record);
    // The last record of each ledger (a name ending in ".ZMR", in any case) in `folder`, but for
    // the one named `exceptName` (the ledger on screen, learnt from as it stands). Returns how
    // many were read.
    int LearnFromFolder(const std::string& folder, const std::string& exceptName = {});

    Categorised Of(std::string_view utf8Description) const;

private:
    struct Counts {
        std::array<int, Categories + 1> PerCategory {};
        int Bank = 0;
        int Total = 0;
    };
    void Count(const std::string& folded, int category, bool bank);
    const Counts* Learned(const std::string& storedName) const;

    std::vector<Rule> rules_;
    std::vector<std::string> foldedRules_;
    std::unordered_map<std::string, Counts> learned_; // by folded name
};

// Rules as one line of ASCII for the settings file, and back: each rule's text (percent-encoded),
// category and bank flag.
std::string EncodeRules(const std::vector<Rule>& rules);
std::vector<Rule> DecodeRules(std::string_view text);
// The rules kept in the user's settings ($XDG_CONFIG_HOME/kivelo/kivelo.conf), read without Qt
// so that the command-line companion reads the same rules as the window.
std::vector<Rule> RulesFromSettingsFile(const std::string& path);
std::string SettingsFilePath();
constexpr const char* RulesKey = "rules"; // in the group "import"

} // namespace statement

// Reading the statement files of Japanese banks, cards and payment apps: the encoding, the
// layout (an issuer's by its header words, or any header with a date, an amount and a
// description column), the dates and the amounts. A row that cannot be read is kept with its line
// and the reason, never guessed. Knows nothing about ledgers or windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace statement {

struct Date {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    bool operator==(const Date& other) const { return Key() == other.Key(); }
    bool operator<(const Date& other) const { return Key() < other.Key(); }
    int Key() const { return (Year * 100 + Month) * 100 + Day; }
};

// What a row did with the money.
enum class Flow {
    Spent,     // a purchase or a withdrawal
    Deposited, // money in: a salary, a transfer in, a charge of a prepaid card
    Refunded,  // a purchase given back: a negative amount or a refund column
};

struct Purchase {
    std::string File;        // as given
    int Line = 0;            // of the file, from 1; the first line of a purchase of several rows
    Date When;
    std::string Description; // UTF-8, trimmed
    int64_t Amount = 0;      // whole yen, never negative
    Flow Kind = Flow::Spent;
    bool FromBank = false;   // a bank account's statement: its withdrawals are not all spending
};

struct UnreadRow {
    std::string File;
    int Line = 0;
    std::string Reason; // UTF-8, "日付が読めません"
    std::string Text;   // the line as decoded
};

struct Statement {
    std::string File;
    std::string Issuer; // "三菱UFJ銀行", or "一般の明細" for a header read by its column names
    std::vector<Purchase> Purchases; // oldest first
    std::vector<UnreadRow> Unread;
    // Why nothing could be read (UTF-8): "明細の見出しが見つかりません（金額の列がありません）".
    std::optional<std::string> Failure;
};

// Statements larger than this are refused unread.
constexpr size_t LargestStatement = 8 * 1024 * 1024;

// The statement in `bytes`, named `file`.
Statement ReadStatement(const std::string& file, std::string_view bytes);
// The statement in the file `path`; a file that cannot be read is a Failure.
Statement ReadStatementFile(const std::string& path);

// Several statement files read one after the other: their purchases in date order (a day's in
// the order of the files and their lines), the rows that could not be read, and each file that
// gave nothing with the reason.
struct Statements {
    std::vector<Purchase> Purchases;
    std::vector<UnreadRow> Unread;
    std::vector<std::pair<std::string, std::string>> Failures; // file, reason (UTF-8)
};
Statements ReadStatementFiles(const std::vector<std::string>& paths);

// The forms met in statements; nothing when the text is not one.
std::optional<Date> ParseDate(std::string_view utf8);
// An amount in yen, signed; `Blank` for an empty or "-" field.
struct Amount {
    bool Blank = false;
    int64_t Value = 0;
};
std::optional<Amount> ParseAmount(std::string_view utf8);

// The issuers recognised by their header words or lines, for the preview and the README.
std::vector<std::string> KnownIssuers();

} // namespace statement

#include "ledgertool/commands.h"

#include "ledger/textout.h"
#include "toolkit/convert.h"
#include "toolkit/text.h"

#include <cstdio>

namespace {

// One item of a detail list, as Shift-JIS texts.
struct DetailItem {
    int DayColumn;
    int DayRow;
    int ListRow;
    std::string_view DayLabel; // row 0 of its column of the daily table
    std::string_view Category; // column 0 of its row
    std::string_view Name;
    std::string_view Amount;
};

enum class BankMark { None, Unbooked, Booked };

BankMark BankMarkOf(std::string_view name)
{
    static const std::string unbooked = toolkit::Sjis("Ａ");
    if (name.substr(0, unbooked.size()) == unbooked)
        return BankMark::Unbooked;
    if (!name.empty() && name[0] == 'A')
        return BankMark::Booked;
    return BankMark::None;
}

// The items of the lists of the day cells, day by day, row by row, in list order. Rows without a
// name and without an amount are no items; the spare list row 18 is none either.
template <class Visit> void ForEachItem(const LedgerImage& image, Visit visit)
{
    for (int dayColumn = 2; dayColumn <= 32; ++dayColumn)
        for (int dayRow = 1; dayRow <= 19; ++dayRow)
            for (int listRow = 1; listRow <= 17; ++listRow) {
                DetailItem item { dayColumn, dayRow, listRow, image.Text(DailyArea, dayColumn, 0),
                    image.Text(DailyArea, 0, dayRow),
                    image.Text(DetailArea, DetailColumn(dayColumn, dayRow, 0), listRow),
                    image.Text(DetailArea, DetailColumn(dayColumn, dayRow, 1), listRow) };
                if (!item.Name.empty() || !item.Amount.empty())
                    visit(item);
            }
}

// A ledger text in the output's encoding. Shift-JIS output keeps the file's bytes; a cut
// character, which a spreadsheet could join with the separator after it, becomes "?".
std::string OutputText(std::string_view sjis, bool cp932)
{
    if (!cp932)
        return toolkit::Utf8FromSjis(sjis);
    if (toolkit::IsValidSjis(sjis))
        return std::string(sjis);
    return toolkit::Sjis(toolkit::Utf8FromSjis(sjis));
}

// A day label "12月25日" as month and day; nothing when the label is not of that form.
struct MonthDay {
    int Month;
    int Day;
};

std::optional<int> LeadingNumber(std::string_view& text)
{
    size_t digits = 0;
    int value = 0;
    while (digits < text.size() && digits < 4 && text[digits] >= '0' && text[digits] <= '9')
        value = value * 10 + (text[digits++] - '0');
    if (digits == 0 || (digits < text.size() && text[digits] >= '0' && text[digits] <= '9'))
        return std::nullopt;
    text.remove_prefix(digits);
    return value;
}

bool TakePrefix(std::string_view& text, std::string_view prefix)
{
    if (text.substr(0, prefix.size()) != prefix)
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

std::optional<MonthDay> ParseDayLabel(std::string_view label)
{
    static const std::string month = toolkit::Sjis("月");
    static const std::string day = toolkit::Sjis("日");
    std::optional<int> m = LeadingNumber(label);
    if (!m || !TakePrefix(label, month))
        return std::nullopt;
    std::optional<int> d = LeadingNumber(label);
    if (!d || !TakePrefix(label, day) || !label.empty())
        return std::nullopt;
    return MonthDay { *m, *d };
}

int DaysInMonth(int year, int month)
{
    static const int days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// The calendar date of each day column, or the reason it has none. The year starts at `year`
// and advances where the labels pass from 12月 to 1月.
struct ColumnDate {
    std::string Date; // y-m-d
    std::string Problem;
};

std::vector<ColumnDate> ColumnDates(const LedgerImage& image, int year)
{
    std::vector<ColumnDate> dates(33);
    int previousMonth = 0;
    for (int column = 2; column <= 32; ++column) {
        std::string_view label = image.Text(DailyArea, column, 0);
        std::string where = SlotPlace(DailyArea, column, 0) + ": day label " + QuotedText(label);
        std::optional<MonthDay> monthDay = ParseDayLabel(label);
        if (!monthDay) {
            dates[column].Problem = where + (label.empty() ? " is empty: the period was never set" : " is not a date");
            continue;
        }
        if (previousMonth == 12 && monthDay->Month == 1)
            ++year;
        previousMonth = monthDay->Month;
        if (year > 9999 || monthDay->Month < 1 || monthDay->Month > 12 || monthDay->Day < 1
            || monthDay->Day > DaysInMonth(year, monthDay->Month)) {
            dates[column].Problem = where + " is not a date in " + std::to_string(year);
            continue;
        }
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, monthDay->Month, monthDay->Day);
        dates[column].Date = date;
    }
    return dates;
}

// HomeBank's payment codes: 3 cash, 11 direct debit (0 none to 4 bank transfer, 5 the former
// internal transfer, 6 debit card to 10 FI fee, then direct debit).
constexpr int HomeBankCash = 3;
constexpr int HomeBankDirectDebit = 11;

} // namespace

void CsvOfLedger(const LedgerImage& image, bool cp932, std::string& out)
{
    out += "day,category,item,amount,bank\r\n";
    ForEachItem(image, [&](const DetailItem& item) {
        AppendTextField(out, OutputText(item.DayLabel, cp932), ',');
        out += ',';
        AppendTextField(out, OutputText(item.Category, cp932), ',');
        out += ',';
        AppendTextField(out, OutputText(item.Name, cp932), ',');
        out += ',';
        AppendAmountField(out, OutputText(item.Amount, cp932), ',');
        out += ',';
        BankMark mark = BankMarkOf(item.Name);
        out += mark == BankMark::Unbooked ? "unbooked" : mark == BankMark::Booked ? "booked" : "";
        out += "\r\n";
    });
}

std::optional<std::string> HomeBankOfLedger(const LedgerImage& image, int year, std::string& out)
{
    std::vector<ColumnDate> dates = ColumnDates(image, year);
    std::optional<std::string> problem;
    std::string lines;
    ForEachItem(image, [&](const DetailItem& item) {
        // A name without an amount is no transaction: every list starts with sample names.
        if (problem || item.Amount.empty())
            return;
        const ColumnDate& date = dates[item.DayColumn];
        if (!date.Problem.empty()) {
            problem = date.Problem;
            return;
        }
        std::optional<int32_t> amount = toolkit::TryIntFromText(item.Amount);
        if (!amount) {
            problem = SlotPlace(DetailArea, DetailColumn(item.DayColumn, item.DayRow, 1), item.ListRow) + ": amount "
                + QuotedText(item.Amount) + " is not an integer";
            return;
        }
        lines += date.Date;
        lines += ';';
        lines += std::to_string(BankMarkOf(item.Name) == BankMark::None ? HomeBankCash : HomeBankDirectDebit);
        lines += ";;;";
        AppendTextField(lines, toolkit::Utf8FromSjis(item.Name), ';');
        lines += ';';
        lines += std::to_string(-int64_t(*amount)); // spending is negative
        lines += ';';
        AppendTextField(lines, toolkit::Utf8FromSjis(item.Category), ';');
        lines += ";\n";
    });
    if (!problem)
        out += lines;
    return problem;
}

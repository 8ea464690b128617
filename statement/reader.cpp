#include "statement/reader.h"

#include "statement/names.h"
#include "toolkit/text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>

namespace statement {

namespace {

// ---- Text ----

// A UTF-8 byte order mark is dropped; strict UTF-8 is taken as it is; anything else is code
// page 932, as Windows writes it.
std::string Decode(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (IsStrictUtf8(bytes))
        return std::string(bytes);
    return toolkit::Utf8FromSjis(bytes);
}

// Full-width digits and signs made ASCII, for the numbers of dates and amounts.
std::string AsciiDigits(std::string_view utf8)
{
    std::string out;
    size_t at = 0;
    while (at < utf8.size()) {
        char32_t c = NextCodepoint(utf8, at);
        if (c >= 0xFF01 && c <= 0xFF5E)
            c -= 0xFF01 - 0x21;
        if (c == 0x2212 || c == u'▲' || c == u'△')
            c = '-';
        AppendUtf8(out, c);
    }
    return out;
}

bool HasDigit(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// ---- Lines ----

struct Record {
    int Line = 0;
    std::vector<std::string> Fields;
    std::string Text;

    std::string_view Field(int index) const
    {
        return index >= 0 && size_t(index) < Fields.size() ? Trimmed(Fields[size_t(index)]) : std::string_view();
    }
    bool Empty() const
    {
        return std::all_of(Fields.begin(), Fields.end(), [](const std::string& f) { return Trimmed(f).empty(); });
    }
};

// Comma-separated (or, without a comma in the first lines, tab-separated) records; a quoted field
// may hold the separator, doubled quotes and line ends. Each record knows its first line.
std::vector<Record> SplitRecords(const std::string& text)
{
    char separator = ',';
    std::string_view head = std::string_view(text).substr(0, 4096);
    if (head.find(',') == std::string_view::npos && head.find('\t') != std::string_view::npos)
        separator = '\t';
    std::vector<Record> records;
    Record record;
    std::string field;
    bool quoted = false;
    bool wasQuoted = false;
    int line = 1;
    record.Line = 1;
    size_t lineStart = 0;
    auto endRecord = [&](size_t end) {
        record.Fields.push_back(std::move(field));
        field.clear();
        record.Text = text.substr(lineStart, end - lineStart);
        records.push_back(std::move(record));
        record = Record();
        wasQuoted = false;
    };
    for (size_t at = 0; at < text.size(); ++at) {
        char c = text[at];
        if (quoted) {
            if (c == '"' && at + 1 < text.size() && text[at + 1] == '"') {
                field += '"';
                ++at;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == '"' && !wasQuoted && Trimmed(field).empty()) {
            field.clear();
            quoted = true;
            wasQuoted = true;
        } else if (c == separator) {
            record.Fields.push_back(std::move(field));
            field.clear();
            wasQuoted = false;
        } else if (c == '\r' || c == '\n') {
            endRecord(at);
            if (c == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
                ++at;
            ++line;
            lineStart = at + 1;
            record.Line = line;
        } else {
            field += c;
        }
    }
    if (!field.empty() || !record.Fields.empty())
        endRecord(text.size());
    return records;
}

// ---- Layouts ----

enum class Sign {
    OutAndIn,    // an out column, maybe an in column and a refund column
    BankSigned,  // one column, negative out, positive in
    CardSigned,  // one column, positive a purchase, negative a refund
    ChargeSigned // one column, positive a fare or purchase, negative a charge of the card
};

using Words = std::vector<std::string_view>;

struct Layout {
    std::string_view Issuer;
    Words Signature; // header words that all name the layout
    Words Date;
    Words Out;       // the amount: spent, or signed
    Words In;
    Words Refund;
    Words Description; // the first with text
    Words Group;     // rows sharing a value are one purchase
    Sign Signs = Sign::OutAndIn;
    bool Bank = false;
    bool JoinDescriptions = false; // the description columns joined with "→" (from → to)
};

const std::vector<Layout>& Issuers()
{
    static const std::vector<Layout> layouts = {
        { "三菱UFJ銀行", { "摘要内容", "支払い金額", "預かり金額" }, { "日付" }, { "支払い金額" }, { "預かり金額" }, {},
            { "摘要内容", "摘要" }, {}, Sign::OutAndIn, true },
        { "三井住友銀行", { "お引出し", "お預入れ", "お取り扱い内容" }, { "年月日" }, { "お引出し" }, { "お預入れ" }, {},
            { "お取り扱い内容" }, {}, Sign::OutAndIn, true },
        { "ゆうちょ銀行", { "入出金明細ＩＤ", "払出金額" }, { "取引日" }, { "払出金額" }, { "受入金額" }, {},
            { "詳細２", "詳細１" }, {}, Sign::OutAndIn, true },
        { "楽天銀行", { "取引日", "入出金(円)" }, { "取引日" }, { "入出金(円)" }, {}, {}, { "入出金内容", "入出金先内容" },
            {}, Sign::BankSigned, true },
        { "住信SBIネット銀行", { "出金金額(円)", "入金金額(円)", "残高(円)" }, { "日付" }, { "出金金額(円)" },
            { "入金金額(円)" }, {}, { "内容" }, {}, Sign::OutAndIn, true },
        { "楽天カード", { "利用店名・商品名", "利用金額" }, { "利用日" }, { "利用金額" }, {}, {}, { "利用店名・商品名" }, {},
            Sign::CardSigned, false },
        { "PayPay", { "取引番号", "取引先", "出金金額（円）" }, { "取引日" }, { "出金金額（円）" }, { "入金金額（円）" }, {},
            { "取引先", "取引内容" }, { "取引番号" }, Sign::OutAndIn, false },
        { "ビューカード", { "ご利用箇所", "払戻額" }, { "ご利用年月日" }, { "ご利用額" }, {}, { "払戻額" }, { "ご利用箇所" },
            {}, Sign::OutAndIn, false },
        { "エポスカード", { "ご利用場所", "ご利用金額", "種別" }, { "ご利用年月日" }, { "ご利用金額" }, {}, {},
            { "ご利用場所", "ご利用内容" }, {}, Sign::OutAndIn, false },
        { "Suica・PASMO", { "入場駅/事業者名", "利用額(円)" }, { "利用年月日" }, { "利用額(円)" }, {}, {},
            { "入場駅/事業者名", "出場駅/降車場所" }, {}, Sign::ChargeSigned, false, true },
    };
    return layouts;
}

const Words GeneralDate = { "日付", "年月日", "取引日", "利用日", "ご利用日", "ご利用年月日", "利用年月日", "お取引日",
    "取扱日", "日時", "取引日時", "計上日" };
const Words GeneralOut = { "金額", "利用金額", "ご利用金額", "お支払金額", "出金", "お引出し", "支払い金額", "支払金額",
    "払出金額", "入出金", "ご利用額", "利用額", "引出額", "出金額" };
const Words GeneralIn = { "入金", "お預入れ", "預かり金額", "受入金額", "預入額" };
const Words GeneralDescription = { "摘要", "内容", "利用店名", "ご利用先", "ご利用場所", "取引先", "お取り扱い内容",
    "ご利用店名", "利用先", "店名", "取引内容", "お取引内容", "摘要内容", "明細", "備考" };
// An amount column named so belongs to a bank account.
const Words BankOutWords = { "出金", "お引出し", "払出金額", "入出金", "引出額", "出金額", "支払い金額" };

// The column whose header is a word of `words`, in their order: a header equal to the word
// first, then one that begins with it ("出金金額(円)" for "出金"); -1 when none is.
int FindColumn(const Record& header, const Words& words, const std::vector<int>& taken = {})
{
    for (bool prefix : { false, true })
        for (std::string_view word : words)
            for (size_t col = 0; col < header.Fields.size(); ++col) {
                if (std::find(taken.begin(), taken.end(), int(col)) != taken.end())
                    continue;
                std::string_view cell = header.Field(int(col));
                if (prefix ? (cell.size() > word.size() && cell.substr(0, word.size()) == word) : cell == word)
                    return int(col);
            }
    return -1;
}

struct Columns {
    int Date = -1;
    int Out = -1;
    int In = -1;
    int Refund = -1;
    std::vector<int> Description;
    int Group = -1;
};

Columns ColumnsOf(const Record& header, const Layout& layout)
{
    Columns columns;
    columns.Date = FindColumn(header, layout.Date);
    columns.Out = FindColumn(header, layout.Out, { columns.Date });
    if (!layout.In.empty())
        columns.In = FindColumn(header, layout.In, { columns.Date, columns.Out });
    if (!layout.Refund.empty())
        columns.Refund = FindColumn(header, layout.Refund, { columns.Date, columns.Out });
    std::vector<int> taken = { columns.Date, columns.Out, columns.In, columns.Refund };
    for (std::string_view word : layout.Description)
        if (int col = FindColumn(header, { word }, taken); col >= 0) {
            columns.Description.push_back(col);
            taken.push_back(col);
        }
    if (!layout.Group.empty())
        columns.Group = FindColumn(header, layout.Group);
    return columns;
}

// Rows before the header this many records at most.
constexpr size_t HeaderSearch = 60;

bool HasSignature(const Record& record, const Layout& layout)
{
    return std::all_of(layout.Signature.begin(), layout.Signature.end(),
        [&](std::string_view word) { return FindColumn(record, { word }) >= 0; });
}

// ---- Rows ----

std::optional<int64_t> Signed(const Amount& amount) { return amount.Blank ? std::nullopt : std::optional(amount.Value); }

constexpr int64_t LargestAmount = 2147483647;

// One row of a layout with a header, into a purchase or an unread row; nothing for a line that
// is no purchase (a blank line, a total, a section or card-holder line).
void ReadRow(const Statement& statement, const Record& record, const Layout& layout, const Columns& columns,
    std::vector<Purchase>& purchases, std::vector<UnreadRow>& unread, std::vector<std::string>& groups)
{
    if (record.Empty())
        return;
    auto fail = [&](const char* reason) { unread.push_back({ statement.File, record.Line, reason, record.Text }); };
    std::string_view dateText = record.Field(columns.Date);
    if (dateText.empty())
        return; // a total row, or a line of a section
    std::optional<Date> date = ParseDate(dateText);
    if (!date) {
        if (!HasDigit(dateText) || EndsWith(dateText, "様"))
            return; // a card holder's line, or a heading repeated
        return fail("日付が読めません");
    }
    Purchase purchase;
    purchase.File = statement.File;
    purchase.Line = record.Line;
    purchase.When = *date;
    purchase.FromBank = layout.Bank;
    for (int col : columns.Description) {
        std::string_view text = record.Field(col);
        if (text.empty() || text == "-")
            continue;
        if (!purchase.Description.empty() && !layout.JoinDescriptions)
            break;
        if (!purchase.Description.empty())
            purchase.Description += "→";
        purchase.Description += std::string(text);
    }
    std::optional<Amount> out = ParseAmount(record.Field(columns.Out));
    std::optional<Amount> in = ParseAmount(record.Field(columns.In));
    std::optional<Amount> refund = ParseAmount(record.Field(columns.Refund));
    if (!out || !in || !refund)
        return fail("金額が読めません");
    std::optional<int64_t> spent = Signed(*out);
    int64_t value = 0;
    if (layout.Signs == Sign::OutAndIn) {
        if (spent && *spent != 0) {
            value = *spent;
            purchase.Kind = value > 0 ? Flow::Spent : Flow::Refunded;
        } else if (Signed(*refund).value_or(0) != 0) {
            value = *Signed(*refund);
            purchase.Kind = Flow::Refunded;
        } else if (Signed(*in).value_or(0) != 0) {
            value = *Signed(*in);
            purchase.Kind = value > 0 ? Flow::Deposited : Flow::Spent;
        } else {
            return fail("金額がありません");
        }
    } else {
        if (!spent || *spent == 0)
            return fail("金額がありません");
        value = *spent;
        bool positive = value > 0;
        switch (layout.Signs) {
        case Sign::BankSigned:
            purchase.Kind = positive ? Flow::Deposited : Flow::Spent;
            break;
        case Sign::CardSigned:
            purchase.Kind = positive ? Flow::Spent : Flow::Refunded;
            break;
        default:
            purchase.Kind = positive ? Flow::Spent : Flow::Deposited;
            break;
        }
    }
    purchase.Amount = value < 0 ? -value : value;
    if (purchase.Amount > LargestAmount)
        return fail("金額が大きすぎます");
    purchases.push_back(std::move(purchase));
    std::string_view group = record.Field(columns.Group);
    groups.push_back(group == "-" ? std::string() : std::string(group));
}

// Rows that share a group value (PayPay's 取引番号: one payment split over its methods) and
// what they did with the money are one purchase, at the first of them.
void JoinGroups(std::vector<Purchase>& purchases, const std::vector<std::string>& groups)
{
    std::map<std::pair<std::string, Flow>, size_t> first;
    std::vector<Purchase> joined;
    for (size_t i = 0; i < purchases.size(); ++i) {
        if (!groups[i].empty()) {
            auto [at, added] = first.try_emplace({ groups[i], purchases[i].Kind }, joined.size());
            if (!added) {
                joined[at->second].Amount += purchases[i].Amount;
                continue;
            }
        }
        joined.push_back(std::move(purchases[i]));
    }
    purchases = std::move(joined);
}

// ---- 三井住友カード: lines without a header ----

// "名前　様,4980-****-****-****,ＶＩＳＡ" opens a card's section.
bool IsCardSection(const Record& record)
{
    std::string_view card = record.Field(1);
    return EndsWith(record.Field(0), "様") && card.size() >= 5 && HasDigit(card.substr(0, 4)) && card[4] == '-';
}

// The month of payment of the second layout, "'22/08".
bool IsPaymentMonth(std::string_view field)
{
    return field.size() == 6 && field[0] == '\'' && field[3] == '/' && HasDigit(field.substr(1, 2));
}

std::string JoinFields(const std::vector<std::string>& fields, size_t from, size_t to)
{
    std::string text;
    for (size_t i = from; i < to && i < fields.size(); ++i)
        text += (i > from ? "," : "") + fields[i];
    return std::string(Trimmed(text));
}

bool IsCardLine(const Record& record)
{
    return ParseDate(record.Field(0)) && record.Fields.size() >= 6;
}

bool LooksLikeCardStatement(const std::vector<Record>& records)
{
    for (const Record& record : records) {
        if (record.Empty())
            continue;
        if (IsCardSection(record))
            return true;
        return IsCardLine(record);
    }
    return false;
}

void ReadCardLines(Statement& statement, const std::vector<Record>& records)
{
    for (const Record& record : records) {
        if (record.Empty() || IsCardSection(record) || record.Field(0).empty())
            continue;
        auto fail = [&](const char* reason) { statement.Unread.push_back({ statement.File, record.Line, reason, record.Text }); };
        std::optional<Date> date = ParseDate(record.Field(0));
        if (!date) {
            if (HasDigit(record.Field(0)))
                fail("日付が読めません");
            continue;
        }
        std::vector<std::string> fields = record.Fields;
        while (!fields.empty() && Trimmed(fields.back()).empty())
            fields.pop_back();
        std::string name;
        std::string_view amountText;
        auto month = std::find_if(fields.begin() + 1, fields.end(), [](const std::string& f) { return IsPaymentMonth(Trimmed(f)); });
        if (month != fields.end() && month - fields.begin() >= 5 && month + 1 != fields.end()) {
            size_t at = size_t(month - fields.begin());  // name, user, method, blank, month, amount
            name = JoinFields(fields, 1, at - 3);
            amountText = Trimmed(fields[at + 1]);
        } else if (fields.size() >= 6) {
            size_t n = fields.size();  // name, amount, count, count, amount this time
            name = JoinFields(fields, 1, n - 4);
            amountText = Trimmed(fields[n - 4]);
        } else {
            fail("明細の形が読めません");
            continue;
        }
        std::optional<Amount> amount = ParseAmount(amountText);
        if (!amount || amount->Blank || amount->Value == 0) {
            fail(amount ? "金額がありません" : "金額が読めません");
            continue;
        }
        int64_t value = amount->Value;
        Purchase purchase { statement.File, record.Line, *date, name, value < 0 ? -value : value,
            value < 0 ? Flow::Refunded : Flow::Spent, false };
        if (purchase.Amount > LargestAmount) {
            fail("金額が大きすぎます");
            continue;
        }
        statement.Purchases.push_back(std::move(purchase));
    }
}

// ---- The whole file ----

// Which of the three columns a header needs the best line of the file lacks.
std::string MissingColumns(const std::vector<Record>& records)
{
    int best = -1;
    std::string missing = "日付・金額・摘要";
    for (size_t i = 0; i < records.size() && i < HeaderSearch; ++i) {
        bool date = FindColumn(records[i], GeneralDate) >= 0;
        bool amount = FindColumn(records[i], GeneralOut) >= 0;
        bool description = FindColumn(records[i], GeneralDescription) >= 0;
        int found = int(date) + int(amount) + int(description);
        if (found <= best)
            continue;
        best = found;
        missing.clear();
        for (auto [has, name] : { std::pair(date, "日付"), std::pair(amount, "金額"), std::pair(description, "摘要") })
            if (!has)
                missing += (missing.empty() ? "" : "・") + std::string(name);
    }
    return "明細の見出しが見つかりません（" + missing + "の列がありません）";
}

// An issuer's header, else a header with the three columns, as a layout and its line.
std::optional<std::pair<Layout, size_t>> FindHeader(const std::vector<Record>& records)
{
    size_t search = std::min(records.size(), HeaderSearch);
    for (const Layout& layout : Issuers())
        for (size_t i = 0; i < search; ++i)
            if (HasSignature(records[i], layout)) {
                Columns columns = ColumnsOf(records[i], layout);
                if (columns.Date >= 0 && columns.Out >= 0 && !columns.Description.empty())
                    return std::pair(layout, i);
            }
    for (size_t i = 0; i < search; ++i) {
        Layout general { "一般の明細", {}, GeneralDate, GeneralOut, GeneralIn, {}, GeneralDescription };
        Columns columns = ColumnsOf(records[i], general);
        if (columns.Date < 0 || columns.Out < 0 || columns.Description.empty())
            continue;
        std::string_view amountHeader = records[i].Field(columns.Out);
        general.Bank = columns.In >= 0 || FindColumn(records[i], BankOutWords) == columns.Out;
        if (amountHeader.substr(0, std::string_view("入出金").size()) == "入出金")
            general.Signs = Sign::BankSigned;
        else if (columns.In < 0)
            general.Signs = Sign::CardSigned;
        general.Description.resize(1);
        general.Description[0] = records[i].Field(columns.Description[0]);
        general.Out = { amountHeader };
        general.Date = { records[i].Field(columns.Date) };
        general.In = columns.In >= 0 ? Words { records[i].Field(columns.In) } : Words {};
        return std::pair(general, i);
    }
    return std::nullopt;
}

// In date order. A file listed newest first is turned round first, so that the purchases of a
// day keep the order they were made in.
void OldestFirst(std::vector<Purchase>& purchases)
{
    if (purchases.size() >= 2 && purchases.back().When < purchases.front().When)
        std::reverse(purchases.begin(), purchases.end());
    std::stable_sort(purchases.begin(), purchases.end(), [](const Purchase& a, const Purchase& b) { return a.When < b.When; });
}

} // namespace

std::optional<Date> ParseDate(std::string_view utf8)
{
    std::string text = AsciiDigits(Trimmed(utf8));
    if (!text.empty() && text[0] == '\'')
        text.erase(0, 1);
    if (size_t space = text.find_first_of(" T"); space != std::string::npos && space > 0)
        text.resize(space);
    int eraBase = 0;
    if (!text.empty() && (text[0] == 'H' || text[0] == 'R' || text[0] == 'S')) {
        eraBase = text[0] == 'H' ? 1988 : text[0] == 'R' ? 2018 : 1925;
        text.erase(0, 1);
    }
    for (std::string_view mark : { "年", "月" })
        for (size_t at; (at = text.find(mark)) != std::string::npos;)
            text.replace(at, mark.size(), "/");
    if (EndsWith(text, "日"))
        text.resize(text.size() - std::string_view("日").size());
    std::vector<int> parts;
    if (eraBase == 0 && text.size() == 8 && text.find_first_not_of("0123456789") == std::string::npos) {
        int number = std::stoi(text);  // 20241205
        parts = { number / 10000, number / 100 % 100, number % 100 };
    }
    std::string digits;
    for (char c : parts.empty() ? text + "/" : std::string()) {
        if (c >= '0' && c <= '9') {
            digits += c;
        } else if (c == '/' || c == '-' || c == '.') {
            if (digits.empty() || digits.size() > 4)
                return std::nullopt;
            parts.push_back(std::stoi(digits));
            digits.clear();
        } else {
            return std::nullopt;
        }
    }
    if (parts.size() != 3)
        return std::nullopt;
    Date date { parts[0], parts[1], parts[2] };
    if (eraBase)
        date.Year += eraBase;
    else if (date.Year < 100)
        date.Year += 2000;
    static constexpr int Days[13] = { 0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (date.Month < 1 || date.Month > 12 || date.Day < 1 || date.Day > Days[date.Month])
        return std::nullopt;
    bool leap = (date.Year % 4 == 0 && date.Year % 100 != 0) || date.Year % 400 == 0;
    if (date.Month == 2 && date.Day == 29 && !leap)
        return std::nullopt;
    return date;
}

std::optional<Amount> ParseAmount(std::string_view utf8)
{
    std::string text;
    std::string spread = AsciiDigits(Trimmed(utf8));
    for (std::string_view drop : { ",", "\\", "￥", "¥", "円", " ", "\"", "+" })
        for (size_t at; (at = spread.find(drop)) != std::string::npos;)
            spread.erase(at, drop.size());
    text = spread;
    if (text.empty() || text == "-")
        return Amount { true, 0 };
    bool negative = text[0] == '-';
    if (negative)
        text.erase(0, 1);
    if (size_t point = text.find('.'); point != std::string::npos) {
        if (text.find_first_not_of('0', point + 1) != std::string::npos)
            return std::nullopt;  // yen only: a fraction is not read
        text.resize(point);
    }
    if (text.empty() || text.size() > 15 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    int64_t value = std::stoll(text);
    return Amount { false, negative ? -value : value };
}

Statement ReadStatement(const std::string& file, std::string_view bytes)
{
    Statement statement;
    statement.File = file;
    if (bytes.empty() || Trimmed(bytes).empty()) {
        statement.Failure = "空のファイルです";
        return statement;
    }
    if (bytes.size() > LargestStatement) {
        statement.Failure = "明細のファイルとしては大きすぎます（8 MB まで）";
        return statement;
    }
    if (bytes.find('\0') != std::string_view::npos) {
        statement.Failure = "文字のファイルではありません";
        return statement;
    }
    std::string text = Decode(bytes);
    std::vector<Record> records = SplitRecords(text);
    if (std::optional<std::pair<Layout, size_t>> header = FindHeader(records)) {
        const auto& [layout, at] = *header;
        statement.Issuer = std::string(layout.Issuer);
        Columns columns = ColumnsOf(records[at], layout);
        std::vector<std::string> groups;
        for (size_t i = at + 1; i < records.size(); ++i) {
            if (HasSignature(records[i], layout) && records[i].Field(columns.Date) == records[at].Field(columns.Date))
                continue;  // the header repeated over a section
            ReadRow(statement, records[i], layout, columns, statement.Purchases, statement.Unread, groups);
        }
        JoinGroups(statement.Purchases, groups);
    } else if (LooksLikeCardStatement(records)) {
        statement.Issuer = "三井住友カード";
        ReadCardLines(statement, records);
    } else {
        statement.Failure = MissingColumns(records);
        return statement;
    }
    OldestFirst(statement.Purchases);
    return statement;
}

Statement ReadStatementFile(const std::string& path)
{
    Statement statement;
    statement.File = path;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        statement.Failure = std::strerror(errno);
        return statement;
    }
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    in.seekg(0);
    if (size < 0) {
        statement.Failure = "読み込めません";
        return statement;
    }
    if (size_t(size) > LargestStatement) {
        statement.Failure = "明細のファイルとしては大きすぎます（8 MB まで）";
        return statement;
    }
    std::string bytes(size_t(size), '\0');
    if (!in.read(bytes.data(), size)) {
        statement.Failure = "読み込めません";
        return statement;
    }
    return ReadStatement(path, bytes);
}

Statements ReadStatementFiles(const std::vector<std::string>& paths)
{
    Statements all;
    for (const std::string& path : paths) {
        Statement statement = ReadStatementFile(path);
        if (statement.Failure)
            all.Failures.emplace_back(path, *statement.Failure);
        all.Purchases.insert(all.Purchases.end(), statement.Purchases.begin(), statement.Purchases.end());
        all.Unread.insert(all.Unread.end(), statement.Unread.begin(), statement.Unread.end());
    }
    std::stable_sort(all.Purchases.begin(), all.Purchases.end(),
        [](const Purchase& a, const Purchase& b) { return a.When < b.When; });
    return all;
}

std::vector<std::string> KnownIssuers()
{
    std::vector<std::string> issuers;
    for (const Layout& layout : Issuers())
        issuers.emplace_back(layout.Issuer);
    issuers.insert(issuers.begin() + 6, "三井住友カード");
    return issuers;
}

} // namespace statement

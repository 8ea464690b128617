#include "statement/names.h"

#include "ledger/tables.h"
#include "toolkit/text.h"

#include <array>

namespace statement {

namespace {

constexpr char32_t Replacement = 0xFFFD;

// Half-width katakana U+FF61..U+FF9F and their full-width forms.
constexpr std::array<char16_t, 63> FullWidthKana = { u'。', u'「', u'」', u'、', u'・', u'ヲ', u'ァ', u'ィ', u'ゥ',
    u'ェ', u'ォ', u'ャ', u'ュ', u'ョ', u'ッ', u'ー', u'ア', u'イ', u'ウ', u'エ', u'オ', u'カ', u'キ', u'ク', u'ケ', u'コ',
    u'サ', u'シ', u'ス', u'セ', u'ソ', u'タ', u'チ', u'ツ', u'テ', u'ト', u'ナ', u'ニ', u'ヌ', u'ネ', u'ノ', u'ハ', u'ヒ',
    u'フ', u'ヘ', u'ホ', u'マ', u'ミ', u'ム', u'メ', u'モ', u'ヤ', u'ユ', u'ヨ', u'ラ', u'リ', u'ル', u'レ', u'ロ', u'ワ',
    u'ン', u'゛', u'゜' };

// ハ ヒ フ ヘ ホ, each followed by its voiced and semi-voiced forms.
bool TakesSemiVoicing(char32_t kana) { return kana >= u'ハ' && kana <= u'ホ' && kana % 3 == 0; }
// カ to チ are every other code, ツ テ ト follow the small ッ.
bool TakesVoicing(char32_t kana)
{
    return (kana >= u'カ' && kana <= u'チ' && kana % 2 == 1) || kana == u'ツ' || kana == u'テ' || kana == u'ト'
        || TakesSemiVoicing(kana);
}

// The large kana of a small one (katakana), or the kana itself.
char32_t LargeKana(char32_t kana)
{
    switch (kana) {
    case u'ァ': case u'ィ': case u'ゥ': case u'ェ': case u'ォ': case u'ッ': case u'ャ': case u'ュ': case u'ョ': case u'ヮ':
        return kana + 1;
    case u'ヵ':
        return u'カ';
    case u'ヶ':
        return u'ケ';
    default:
        return kana;
    }
}

bool IsSpace(char32_t c) { return c == ' ' || c == 0x3000 || c == '\t' || c == '\r' || c == '\n'; }

} // namespace

const std::string& BankMark()
{
    static const std::string mark = toolkit::Sjis("Ａ");
    return mark;
}

char32_t NextCodepoint(std::string_view utf8, size_t& at)
{
    auto byte = [&](size_t i) { return static_cast<unsigned char>(utf8[i]); };
    unsigned char lead = byte(at);
    int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || at + size_t(length) > utf8.size()) {
        ++at;
        return Replacement;
    }
    char32_t codepoint = length == 1 ? lead : lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((byte(at + size_t(i)) & 0xC0) != 0x80) {
            ++at;
            return Replacement;
        }
        codepoint = (codepoint << 6) | (byte(at + size_t(i)) & 0x3F);
    }
    at += size_t(length);
    return codepoint;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool IsStrictUtf8(std::string_view bytes)
{
    size_t at = 0;
    while (at < bytes.size()) {
        unsigned char lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80) {
            ++at;
            continue;
        }
        size_t length = (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || at + length > bytes.size())
            return false;
        size_t start = at;
        char32_t c = NextCodepoint(bytes, at);
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        size_t shortest = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (at - start != length || shortest != length || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            return false;
    }
    return true;
}

std::string_view Trimmed(std::string_view utf8)
{
    static const std::string_view ideographicSpace = "\xE3\x80\x80";
    bool trimmed = true;
    while (trimmed && !utf8.empty()) {
        trimmed = false;
        for (std::string_view space : { std::string_view(" "), std::string_view("\t"), std::string_view("\r"),
                 std::string_view("\n"), ideographicSpace }) {
            if (utf8.substr(0, space.size()) == space) {
                utf8.remove_prefix(space.size());
                trimmed = true;
            }
            if (utf8.size() >= space.size() && utf8.substr(utf8.size() - space.size()) == space) {
                utf8.remove_suffix(space.size());
                trimmed = true;
            }
        }
    }
    return utf8;
}

std::string StoredName(std::string_view utf8Description, bool bank)
{
    const size_t room = size_t(CellText::Capacity) - (bank ? BankMark().size() : 0);
    std::string name;
    std::string_view text = Trimmed(utf8Description);
    size_t at = 0;
    while (at < text.size()) {
        char32_t c = NextCodepoint(text, at);
        if (c >= 0xFF01 && c <= 0xFF5E)
            c -= 0xFF01 - 0x21;
        if (c < 0x20 || c == 0x7F)
            continue;
        std::string utf8;
        AppendUtf8(utf8, c);
        std::string sjis = toolkit::Sjis(utf8);
        if (sjis == "?" && c != '?')
            sjis = toolkit::Sjis("・");
        if (name.size() + sjis.size() > room)
            break;
        name += sjis;
    }
    return bank ? BankMark() + name : name;
}

std::string FoldName(std::string_view utf8)
{
    std::string folded;
    folded.reserve(utf8.size());
    size_t at = 0;
    char32_t last = 0;  // the last kana appended, which a voicing mark may join
    size_t lastAt = 0;
    while (at < utf8.size()) {
        char32_t c = NextCodepoint(utf8, at);
        if (IsSpace(c))
            continue;
        if (c >= 0xFF01 && c <= 0xFF5E)
            c -= 0xFF01 - 0x21;
        if (c >= 0xFF61 && c <= 0xFF9F)
            c = FullWidthKana[c - 0xFF61];
        if ((c == u'゛' || c == 0x3099) && last && TakesVoicing(last)) {
            folded.resize(lastAt);
            AppendUtf8(folded, last + 1);
            last = 0;
            continue;
        }
        if ((c == u'゛' || c == 0x3099) && last == u'ウ') {
            folded.resize(lastAt);
            AppendUtf8(folded, u'ヴ');
            last = 0;
            continue;
        }
        if ((c == u'゜' || c == 0x309A) && last && TakesSemiVoicing(last)) {
            folded.resize(lastAt);
            AppendUtf8(folded, last + 2);
            last = 0;
            continue;
        }
        if (c >= 0x3041 && c <= 0x3096)
            c += 0x60;
        c = LargeKana(c);
        if (c == '-' || c == 0x2212 || c == 0x2010 || c == 0x2015 || c == 0x2014 || c == 0xFF70)
            c = u'ー';
        if (c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
        last = (c >= u'ア' && c <= u'ヺ') ? c : 0;
        lastAt = folded.size();
        AppendUtf8(folded, c);
    }
    return folded;
}

std::string FoldStoredName(std::string_view sjis) { return FoldName(toolkit::Utf8FromSjis(sjis)); }

bool IsBookedBankName(std::string_view sjis)
{
    return sjis.size() > 1 && sjis[0] == 'A' && static_cast<unsigned char>(sjis[1]) >= 0x80;
}

std::string BookedForm(std::string_view sjis)
{
    if (sjis.substr(0, BankMark().size()) == BankMark())
        return "A" + std::string(sjis.substr(BankMark().size()));
    return std::string(sjis);
}

} // namespace statement

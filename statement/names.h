// Names as the ledger stores them and as the import compares them. A statement's description
// becomes an item name of at most 12 Shift-JIS bytes; names are compared folded, so that "ｷﾞｭｳﾆｭｳ",
// "ぎゅうにゅう" and "ギュウニュウ" are one name.
#pragma once

#include <string>
#include <string_view>

namespace statement {

// The two-byte bank-payment mark "Ａ" that the list's OK books off the bank balance.
const std::string& BankMark();

// The description as an item name, in Shift-JIS: trimmed; full-width letters, digits and symbols
// of the ASCII range made half-width, so that no name begins with the bank mark by accident;
// half-width katakana kept; control characters left out; a character code page 932 lacks given
// its twin there, or "・"; cut to 12 bytes at a character boundary. With `bank`, the name is
// "Ａ" and the description cut to the 10 bytes left.
std::string StoredName(std::string_view utf8Description, bool bank);

// `utf8` folded for comparing names: full-width ASCII and ideographic forms made half-width,
// half-width katakana made full-width (with their voicing marks joined), hiragana made katakana,
// small kana made large, the long-vowel marks and hyphens one mark, letters lower case, and
// spaces of either width left out. UTF-8.
std::string FoldName(std::string_view utf8);

// A stored name (Shift-JIS) folded as FoldName folds it.
std::string FoldStoredName(std::string_view sjis);

// A name booked off the bank by the list's OK: "A" in place of the mark "Ａ", before a Japanese
// name ("A電気代"). An "A" before Latin letters begins a name of its own ("AMAZON", which the
// import makes of "ＡＭＡＺＯＮ" so that it is no bank payment).
bool IsBookedBankName(std::string_view sjis);

// A stored name with a booked "A…" and an unbooked "Ａ…" bank mark as one: the unbooked mark is
// made the booked one.
std::string BookedForm(std::string_view sjis);

// UTF-8 helpers shared by the readers.
char32_t NextCodepoint(std::string_view utf8, size_t& at);
void AppendUtf8(std::string& out, char32_t codepoint);
bool IsStrictUtf8(std::string_view bytes);
// Spaces of either width, tabs and line ends trimmed off both ends.
std::string_view Trimmed(std::string_view utf8);

} // namespace statement

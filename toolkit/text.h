// Shift-JIS (code page 932) text: the one place that converts between the system's bytes and
// Qt's strings. Fixed texts are written once in UTF-8 and encoded with Sjis().
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace toolkit {

// Encodes UTF-8 text to Shift-JIS; a character without a Shift-JIS form becomes "?".
std::string Sjis(std::string_view utf8);

// Decodes Shift-JIS for drawing. A byte that starts no valid character (a lone lead byte left
// by a 12-byte cut, say) becomes U+FFFD; decoding never fails.
QString FromSjis(std::string_view sjis);

// Decodes Shift-JIS to UTF-8 bytes, for output that is not drawn (the command-line companion's
// JSON and CSV); a byte that starts no valid character becomes U+FFFD, as in FromSjis.
std::string Utf8FromSjis(std::string_view sjis);

// True when `sjis` is whole Shift-JIS characters only: no lone lead byte, no byte that code
// page 932 does not define.
bool IsValidSjis(std::string_view sjis);

// Encodes text that Qt hands the program (key events, edits, file names) to Shift-JIS.
std::string ToSjis(const QString& text);

// True when every character of `text` has a form in code page 932, its own or a twin's ("〜" is
// stored as "～", "−" as "－"), so that ToSjis turns none of them into "?".
bool HasSjisForm(const QString& text);

// True when `byte` starts a double-byte Shift-JIS character.
bool IsLeadByte(unsigned char byte);

// The offset of the last character of `sjis`, stepping over double-byte characters from the
// start. An empty text gives 0.
size_t LastCharacterStart(std::string_view sjis);

} // namespace toolkit

// How ledger cells are named and their texts written for people reading reports: the place of a
// slot in words, Shift-JIS texts quoted for one-line reports, JSON strings, and hex bytes. The
// command-line companion and the year view word their lines alike through it.
#pragma once

#include "ledger/record.h"

#include <string>
#include <string_view>

// A detail-area column as the list it belongs to: day-table cell (DayColumn, DayRow), list
// column ListColumn.
struct DetailListColumn {
    int DayColumn;
    int DayRow;
    int ListColumn;
};
DetailListColumn ListOfDetailColumn(int areaColumn);

// "daily table (2, 1)", "detail lists (2, 1) cell (0, 3)", "memo".
std::string SlotPlace(const RecordArea& area, int column, int row);

// The text decoded to UTF-8 in double quotes, with quotes, backslashes and control characters
// escaped so that it stays on one line; a text that is not valid Shift-JIS is followed by its
// bytes in hex: "電\uFFFD" (bytes 93 64 82).
std::string QuotedText(std::string_view sjis);

// Appends `utf8` as a JSON string, quotes included.
void AppendJsonString(std::string& out, std::string_view utf8);

// Appends a field of a separated line, quoted when it holds the separator, a quote or a line
// break; a quote inside is doubled (RFC 4180). In Shift-JIS no trail byte is one of those
// characters, so the text may be UTF-8 or Shift-JIS.
void AppendField(std::string& out, std::string_view text, char separator);

// Appends a field that holds text. A spreadsheet opening the file takes a field that begins with
// "=", "+", "-", "@", a tab or a carriage return for a formula and runs it: such a text is written
// after an apostrophe, which the spreadsheet shows as text (OWASP's rule against CSV injection).
void AppendTextField(std::string& out, std::string_view text, char separator);

// Appends a field that holds an amount: a whole number as it stands, anything else as text.
void AppendAmountField(std::string& out, std::string_view text, char separator);

// "9364" for the bytes 0x93 0x64.
std::string HexBytes(std::string_view bytes);

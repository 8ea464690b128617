#include "ledger/textout.h"

#include "toolkit/text.h"

#include <cstdio>

DetailListColumn ListOfDetailColumn(int areaColumn)
{
    int list = areaColumn / 2;
    return { list / 20, list % 20, areaColumn % 2 };
}

std::string SlotPlace(const RecordArea& area, int column, int row)
{
    std::string place = area.Name;
    if (area.Columns == 1 && area.Rows == 1)
        return place;
    if (area.Offset == DetailArea.Offset) {
        DetailListColumn list = ListOfDetailColumn(column);
        return place + " (" + std::to_string(list.DayColumn) + ", " + std::to_string(list.DayRow) + ") cell ("
            + std::to_string(list.ListColumn) + ", " + std::to_string(row) + ")";
    }
    return place + " (" + std::to_string(column) + ", " + std::to_string(row) + ")";
}

namespace {

// Escapes what would break a line or a JSON string; everything else is copied.
void AppendEscaped(std::string& out, std::string_view utf8)
{
    for (char c : utf8) {
        unsigned char byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                out += escape;
            } else {
                out += c;
            }
        }
    }
}

} // namespace

std::string QuotedText(std::string_view sjis)
{
    std::string out = "\"";
    AppendEscaped(out, toolkit::Utf8FromSjis(sjis));
    out += '"';
    if (!toolkit::IsValidSjis(sjis)) {
        out += " (bytes";
        for (unsigned char byte : sjis) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02x", byte);
            out += hex;
        }
        out += ')';
    }
    return out;
}

void AppendJsonString(std::string& out, std::string_view utf8)
{
    out += '"';
    AppendEscaped(out, utf8);
    out += '"';
}

void AppendField(std::string& out, std::string_view text, char separator)
{
    if (text.find_first_of(std::string { separator, '"', '\r', '\n' }) == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void AppendTextField(std::string& out, std::string_view text, char separator)
{
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
        AppendField(out, "'" + std::string(text), separator);
    else
        AppendField(out, text, separator);
}

void AppendAmountField(std::string& out, std::string_view text, char separator)
{
    bool number = !text.empty() && text.find_first_not_of("0123456789", text.front() == '-' ? 1 : 0) == std::string_view::npos
        && text != "-";
    if (number)
        AppendField(out, text, separator);
    else
        AppendTextField(out, text, separator);
}

std::string HexBytes(std::string_view bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

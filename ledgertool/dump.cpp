#include "ledgertool/commands.h"

#include "ledger/textout.h"
#include "toolkit/text.h"

namespace {

void AppendNumber(std::string& out, const char* key, uint64_t value)
{
    out += '"';
    out += key;
    out += "\": ";
    out += std::to_string(value);
}

// The members that every cell object ends with: its text, and its bytes where the text is not
// whole Shift-JIS characters, and the stored length byte where it was above the capacity.
void AppendCellBody(std::string& out, const LedgerImage& image, const RecordArea& area, int column, int row)
{
    std::string_view text = image.Text(area, column, row);
    std::string utf8 = toolkit::Utf8FromSjis(text);
    out += "\"text\": ";
    AppendJsonString(out, utf8);
    // Code page 932 maps no character to U+FFFD, so a replacement mark in the decoded text is a
    // byte that starts no whole character; this spares a second pass over every cell.
    if (utf8.find("\xEF\xBF\xBD") != std::string::npos) {
        out += ", \"bytes\": \"";
        out += HexBytes(text);
        out += '"';
    }
    unsigned lengthByte = image.LengthByte(area, column, row);
    if (lengthByte > area.Capacity()) {
        out += ", ";
        AppendNumber(out, "length_byte", lengthByte);
    }
}

void AppendCellArea(std::string& out, const LedgerImage& image, const RecordArea& area)
{
    out += "[";
    bool first = true;
    for (int column = 0; column < area.Columns; ++column) {
        for (int row = 0; row < area.Rows; ++row) {
            if (image.LengthByte(area, column, row) == 0)
                continue;
            out += first ? "\n      {" : ",\n      {";
            first = false;
            if (area.Offset == DetailArea.Offset) {
                DetailListColumn list = ListOfDetailColumn(column);
                AppendNumber(out, "day_column", list.DayColumn);
                out += ", ";
                AppendNumber(out, "day_row", list.DayRow);
                out += ", ";
                AppendNumber(out, "column", list.ListColumn);
            } else {
                AppendNumber(out, "column", column);
            }
            out += ", ";
            AppendNumber(out, "row", row);
            out += ", ";
            AppendCellBody(out, image, area, column, row);
            out += '}';
        }
    }
    out += first ? "]" : "\n    ]";
}

void AppendSingleSlot(std::string& out, const LedgerImage& image, const RecordArea& area)
{
    if (image.LengthByte(area, 0, 0) == 0) {
        out += "null";
        return;
    }
    out += '{';
    AppendCellBody(out, image, area, 0, 0);
    out += '}';
}

} // namespace

void DumpLedger(const LedgerImage& image, std::string& out)
{
    out += "{\n  ";
    AppendNumber(out, "size", image.Size);
    out += ",\n  ";
    AppendNumber(out, "records", image.Records);
    out += ",\n  ";
    AppendNumber(out, "trailing_bytes", image.TrailingBytes);
    out += ",\n  \"record\": ";
    if (!image.HasRecord()) {
        out += "null\n}\n";
        return;
    }
    out += '{';
    bool first = true;
    for (const RecordArea& area : RecordAreas) {
        out += first ? "\n    " : ",\n    ";
        first = false;
        AppendJsonString(out, area.Name);
        out += ": ";
        if (area.Columns == 1 && area.Rows == 1)
            AppendSingleSlot(out, image, area);
        else
            AppendCellArea(out, image, area);
    }
    out += "\n  }\n}\n";
}

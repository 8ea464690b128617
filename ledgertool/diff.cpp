#include "ledgertool/commands.h"

#include "ledger/textout.h"

namespace {

void Report(std::string& out, const std::string& where, const std::string& a, const std::string& b)
{
    out += where;
    out += ": ";
    out += a;
    out += " -> ";
    out += b;
    out += '\n';
}

} // namespace

int DiffLedgers(const LedgerImage& a, const LedgerImage& b, std::string& out)
{
    int differences = 0;
    if (a.Records != b.Records) {
        Report(out, "file", std::to_string(a.Records) + " records", std::to_string(b.Records) + " records");
        ++differences;
    }
    if (a.TrailingBytes != b.TrailingBytes) {
        Report(out, "file", std::to_string(a.TrailingBytes) + " trailing bytes",
            std::to_string(b.TrailingBytes) + " trailing bytes");
        ++differences;
    }
    if (!a.HasRecord() || !b.HasRecord())
        return differences;
    // Slots are compared by their texts: the bytes after a text carry no meaning.
    for (const RecordArea& area : RecordAreas)
        for (int column = 0; column < area.Columns; ++column)
            for (int row = 0; row < area.Rows; ++row) {
                std::string_view textA = a.Text(area, column, row);
                std::string_view textB = b.Text(area, column, row);
                if (textA == textB)
                    continue;
                Report(out, SlotPlace(area, column, row), QuotedText(textA), QuotedText(textB));
                ++differences;
            }
    return differences;
}

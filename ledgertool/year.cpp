#include "ledgertool/commands.h"

#include "ledger/folder.h"
#include "ledger/textout.h"
#include "toolkit/text.h"

#include <algorithm>
#include <filesystem>

namespace {

// A folder's ledgers: its entries whose names end in ".ZMR", in any case.
// The columns a terminal gives a character: two for the East Asian wide and fullwidth ones
// (kanji, kana, the full-width forms and space), one for the rest, half-width katakana included.
int CharacterWidth(char32_t c)
{
    bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F)
        || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F)
        || (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

size_t DisplayWidth(std::string_view utf8)
{
    size_t width = 0;
    for (size_t i = 0; i < utf8.size();) {
        auto lead = static_cast<unsigned char>(utf8[i]);
        size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        width += CharacterWidth(c);
        i += length;
    }
    return width;
}

std::string CategoryOfRow(const Year& year, const YearRow& row)
{
    return row.Category > 0 ? CategoryName(year, row.Category) : std::string();
}

// The table as lines of cells, UTF-8: the heading, the months, then one line per row.
std::vector<std::vector<std::string>> TableOfYear(const Year& year)
{
    std::vector<std::string> heading { "figure", "category" };
    std::vector<std::string> months { "month", "" };
    for (const YearColumn& column : year.Columns) {
        heading.push_back(BaseName(column.File));
        months.push_back(toolkit::Utf8FromSjis(column.Month));
    }
    heading.push_back("total");
    months.push_back("");
    std::vector<std::vector<std::string>> lines { heading, months };
    for (const YearRow& row : year.Rows) {
        std::vector<std::string> line { FigureName(row.Figure), CategoryOfRow(year, row) };
        for (const YearCell& cell : row.Cells)
            line.push_back(YearCellText(cell));
        line.push_back(std::to_string(row.Total));
        lines.push_back(line);
    }
    return lines;
}

} // namespace

std::vector<std::string> LedgerFilesOf(const std::vector<std::string>& arguments, std::vector<std::string>& failures)
{
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    for (const std::string& argument : arguments) {
        std::error_code error;
        if (!fs::is_directory(argument, error)) {
            files.push_back(argument); // reading it tells what is wrong with it, if anything
            continue;
        }
        std::vector<std::string> found;
        if (std::optional<std::string> reason = LedgerFilesIn(argument, found))
            failures.push_back(argument + ": " + *reason);
        else if (found.empty())
            failures.push_back(argument + ": holds no ledger file (*.ZMR)");
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

void TextOfYear(const Year& year, std::string& out)
{
    std::vector<std::vector<std::string>> lines = TableOfYear(year);
    std::vector<size_t> widths(lines[0].size(), 0);
    for (const std::vector<std::string>& line : lines)
        for (size_t column = 0; column < line.size(); ++column)
            widths[column] = std::max(widths[column], DisplayWidth(line[column]));
    for (const std::vector<std::string>& line : lines) {
        std::string text;
        for (size_t column = 0; column < line.size(); ++column) {
            std::string padding(widths[column] - DisplayWidth(line[column]), ' ');
            if (column > 0)
                text += "  ";
            // The two captions stand on the left, the figures on the right of their columns.
            text += column < 2 ? line[column] + padding : padding + line[column];
        }
        text.erase(text.find_last_not_of(' ') + 1);
        out += text + "\n";
    }
}

void JsonOfYear(const Year& year, std::string& out)
{
    out += "{\n  \"columns\": [";
    for (size_t i = 0; i < year.Columns.size(); ++i) {
        out += i == 0 ? "\n    {\"file\": " : ",\n    {\"file\": ";
        AppendJsonString(out, year.Columns[i].File);
        out += ", \"month\": ";
        AppendJsonString(out, toolkit::Utf8FromSjis(year.Columns[i].Month));
        out += '}';
    }
    out += "\n  ],\n  \"rows\": [";
    for (size_t i = 0; i < year.Rows.size(); ++i) {
        const YearRow& row = year.Rows[i];
        out += i == 0 ? "\n    {\"figure\": " : ",\n    {\"figure\": ";
        AppendJsonString(out, FigureName(row.Figure));
        if (row.Category > 0) {
            out += ", \"category\": ";
            AppendJsonString(out, CategoryName(year, row.Category));
        }
        out += ", \"values\": [";
        for (size_t j = 0; j < row.Cells.size(); ++j) {
            out += j == 0 ? "" : ", ";
            // A marked figure has no value; the warnings say why.
            out += row.Cells[j].Marked ? "null" : std::to_string(row.Cells[j].Value);
        }
        out += "], \"total\": " + std::to_string(row.Total) + "}";
    }
    out += "\n  ],\n  \"warnings\": [";
    for (size_t i = 0; i < year.Warnings.size(); ++i) {
        out += i == 0 ? "\n    " : ",\n    ";
        AppendJsonString(out, year.Warnings[i]);
    }
    out += year.Warnings.empty() ? "]\n}\n" : "\n  ]\n}\n";
}

void CsvOfYear(const Year& year, bool cp932, std::string& out)
{
    std::string csv;
    std::vector<std::vector<std::string>> lines = TableOfYear(year);
    for (size_t row = 0; row < lines.size(); ++row) {
        for (size_t column = 0; column < lines[row].size(); ++column) {
            if (column > 0)
                csv += ',';
            // The two heading lines and the two caption columns are texts; the rest are figures.
            if (row < 2 || column < 2)
                AppendTextField(csv, lines[row][column], ',');
            else
                AppendAmountField(csv, lines[row][column], ',');
        }
        csv += "\r\n";
    }
    // Every text of the table is UTF-8 by now, the captions decoded from the ledgers included,
    // so Shift-JIS output is the same table encoded once.
    out += cp932 ? toolkit::Sjis(csv) : csv;
}

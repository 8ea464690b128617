#include "app/entry.h"

#include "toolkit/stringgrid.h"
#include "toolkit/text.h"
#include "undo/packing.h"
#include "undo/recorder.h"

namespace {

constexpr char Enter = '\r';
constexpr char Backspace = '\b';
constexpr char Escape = '\x1b';

// Bytes below the blank and DEL. No byte of a double-byte character is one of them.
bool IsControl(char key) { return static_cast<unsigned char>(key) < 0x20 || key == 0x7f; }

void WriteEntry(toolkit::StringGrid& grid, const EntryBuffer& entry, const GridCell& cell)
{
    grid.SetCell(cell.Col, cell.Row, entry.Typed);
}

// Backspace and Escape, the same in every grid; true when the cell changed.
bool TakeBack(toolkit::StringGrid& grid, EntryBuffer& entry, const GridCell& cell, char key)
{
    if (key == Backspace) {
        if (entry.Typed.empty())
            return false;
        entry.Typed.erase(toolkit::LastCharacterStart(entry.Typed));  // a whole double-byte character
        WriteEntry(grid, entry, cell);
        return true;
    }
    if (key == Escape && entry.Before) {
        grid.SetCell(cell.Col, cell.Row, *entry.Before);
        entry.Clear();
        return true;
    }
    return false;
}

void Append(toolkit::StringGrid& grid, EntryBuffer& entry, const GridCell& cell, char key)
{
    if (!entry.Before)
        entry.Before = grid.Cell(cell.Col, cell.Row);
    entry.Typed += key;
    WriteEntry(grid, entry, cell);
}

} // namespace

void PickEntryCell(EntryBuffer& entry, GridCell& entryCell, int col, int row)
{
    entry.Clear();
    entryCell = { col, row };
}

bool TypeKey(toolkit::StringGrid& grid, EntryBuffer& entry, const GridCell& entryCell, char key)
{
    if (key == Enter) {
        entry.Clear();  // the next key starts the cell afresh
        return false;
    }
    if (IsControl(key))
        return TakeBack(grid, entry, entryCell, key);
    Append(grid, entry, entryCell, key);
    return true;
}

void TypeEditorKey(toolkit::StringGrid& grid, EntryBuffer& entry, GridCell& entryCell, char key)
{
    if (key == Enter) {
        entryCell.Row += 1;
        entry.Clear();
        return;
    }
    if (IsControl(key)) {
        TakeBack(grid, entry, entryCell, key);
        return;
    }
    bool digit = key >= '0' && key <= '9';
    if ((entryCell.Col == 1 && digit) || entryCell.Col == 0)
        Append(grid, entry, entryCell, key);
}

void PickCellAt(toolkit::StringGrid& grid, EntryBuffer& entry, GridCell& entryCell, int x, int y)
{
    QPoint cell = grid.MouseToCell(x, y);
    if (cell.x() < 0)
        return;
    PickEntryCell(entry, entryCell, cell.x(), cell.y());
}

void WatchEntryText(undo::Recorder& recorder, EntryBuffer& entry)
{
    recorder.WatchValue(
        [&entry] {
            undo::Packing packing;
            packing.Text(entry.Typed).Int(entry.Before.has_value()).Text(entry.Before.value_or(std::string()));
            return std::move(packing).Packed();
        },
        [&entry](const std::string& text) {
            undo::Unpacking packed(text);
            entry.Typed = packed.Text();
            bool hasBefore = packed.Int();
            std::string before = packed.Text();
            entry.Before = hasBefore ? std::optional<std::string>(before) : std::nullopt;
        },
        undo::Recorder::Part::Cursor);
}

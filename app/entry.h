// The typing idiom of every grid: picking a cell makes it the entry cell and empties the entry
// text; each key is appended to the entry text, and the whole entry text replaces the entry
// cell's text. There is no editing inside a cell. Control keys never become cell text: Backspace
// takes back the last character typed, Escape gives the cell back the text it had before the
// entry's first key, and Enter ends the entry (in a budget editor it moves one row down).
#pragma once

#include <optional>
#include <string>

namespace toolkit {
class StringGrid;
}
namespace undo {
class Recorder;
}

struct GridCell {
    int Col = 0;
    int Row = 0;
    bool operator==(const GridCell& other) const { return Col == other.Col && Row == other.Row; }
};

// The entry text of a grid or of the grids that share it, with what Escape gives back.
struct EntryBuffer {
    std::string Typed;                  // the keys of this entry, Shift-JIS bytes
    std::optional<std::string> Before;  // the entry cell's text before the first key; none before it

    void Clear()
    {
        Typed.clear();
        Before.reset();
    }
};

// A cell selection or a mouse release picked (col, row).
void PickEntryCell(EntryBuffer& entry, GridCell& entryCell, int col, int row);

// A key in a grid of the main window. True when the entry cell's text changed.
bool TypeKey(toolkit::StringGrid& grid, EntryBuffer& entry, const GridCell& entryCell, char key);

// A key in a budget editor's grid: Enter moves the entry cell down (without bound) and empties
// the text; column 0 takes every character, column 1 the ASCII digits only, other columns nothing.
void TypeEditorKey(toolkit::StringGrid& grid, EntryBuffer& entry, GridCell& entryCell, char key);

// A mouse release at client pixel (x, y) picks the cell under it, fixed cells included. Below or
// right of the last cell there is no cell, and the entry cell stays as it was.
void PickCellAt(toolkit::StringGrid& grid, EntryBuffer& entry, GridCell& entryCell, int x, int y);

// The entry text and what Escape gives back are part of what undo gives back: where the user is.
void WatchEntryText(undo::Recorder& recorder, EntryBuffer& entry);

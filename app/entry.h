// The typing idiom of every grid: picking a cell makes it the entry cell and empties the entry
// text; each key is appended to the entry text, and the whole entry text replaces the entry
// cell's text. Nothing deletes a character, and no key is refused by the main window's grids.
#pragma once

#include <string>

namespace toolkit {
class StringGrid;
}

struct GridCell {
    int Col = 0;
    int Row = 0;
    bool operator==(const GridCell& other) const { return Col == other.Col && Row == other.Row; }
};

// A cell selection or a mouse release picked (col, row).
void PickEntryCell(std::string& entryText, GridCell& entryCell, int col, int row);

// A key in a grid of the main window: every byte, control characters included.
void TypeKey(toolkit::StringGrid& grid, std::string& entryText, const GridCell& entryCell, char key);

// A key in a budget editor's grid: Enter moves the entry cell down (without bound) and empties
// the text; column 0 takes every key, column 1 the ASCII digits only, other columns nothing.
void TypeEditorKey(toolkit::StringGrid& grid, std::string& entryText, GridCell& entryCell, char key);

// A mouse release at client pixel (x, y) picks the cell under it, fixed cells included. Below or
// right of the last cell there is no cell, and the entry cell stays as it was.
void PickCellAt(toolkit::StringGrid& grid, std::string& entryText, GridCell& entryCell, int x, int y);

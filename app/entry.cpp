#include "app/entry.h"

#include "toolkit/stringgrid.h"

void PickEntryCell(std::string& entryText, GridCell& entryCell, int col, int row)
{
    entryText.clear();
    entryCell = { col, row };
}

void TypeKey(toolkit::StringGrid& grid, std::string& entryText, const GridCell& entryCell, char key)
{
    entryText += key;
    grid.SetCell(entryCell.Col, entryCell.Row, entryText);
}

void TypeEditorKey(toolkit::StringGrid& grid, std::string& entryText, GridCell& entryCell, char key)
{
    if (key == '\r') {
        entryCell.Row += 1;
        entryText.clear();
        return;
    }
    bool digit = key >= '0' && key <= '9';
    if ((entryCell.Col == 1 && digit) || entryCell.Col == 0) {
        entryText += key;
        grid.SetCell(entryCell.Col, entryCell.Row, entryText);
    }
}

void PickCellAt(toolkit::StringGrid& grid, std::string& entryText, GridCell& entryCell, int x, int y)
{
    QPoint cell = grid.MouseToCell(x, y);
    if (cell.x() < 0)
        return;
    PickEntryCell(entryText, entryCell, cell.x(), cell.y());
}

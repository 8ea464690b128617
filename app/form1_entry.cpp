// The typing handlers of TForm1's five grids: a selection or a mouse release picks the entry
// cell, each key is appended to EntryText and written whole into the entry cell; a key that
// changes a cell changes the ledger.
#include "app/form1.h"

void TForm1::StringGrid1SelectCell(int col, int row) { PickEntryCell(EntryText, StatusCell, col, row); }

void TForm1::StringGrid2SelectCell(int col, int row) { PickEntryCell(EntryText, StatusCell, col, row); }

void TForm1::StringGrid3SelectCell(int col, int row)
{
    PickEntryCell(EntryText, StatusCell, col, row);
    UpdateDifference();
}

void TForm1::StringGrid4SelectCell(int col, int row)
{
    PickEntryCell(EntryText, DayCell, col, row);
    UpdateDifference();
}

void TForm1::StringGrid5SelectCell(int col, int row) { PickEntryCell(EntryText, ItemCell, col, row); }

void TForm1::StringGrid1KeyPress(char key) { Type(*StringGrid1, StatusCell, key); }

void TForm1::StringGrid2KeyPress(char key) { Type(*StringGrid2, StatusCell, key); }

void TForm1::StringGrid3KeyPress(char key) { Type(*StringGrid3, StatusCell, key); }

void TForm1::StringGrid4KeyPress(char key) { Type(*StringGrid4, DayCell, key); }

void TForm1::StringGrid5KeyPress(char key)
{
    // Typing before any item was picked goes to the first item's amount, not the header.
    if (ItemCell == GridCell { 0, 0 })
        ItemCell = { 1, 1 };
    Type(*StringGrid5, ItemCell, key);
}

void TForm1::StringGrid3MouseUp(int x, int y) { PickCellAt(*StringGrid3, EntryText, StatusCell, x, y); }

void TForm1::StringGrid4MouseUp(int x, int y)
{
    // Only the two fixed columns, the category captions and the totals: a release over a day
    // column leaves DayCell as the selection set it.
    constexpr int FixedColumnsRight = 140;
    if (x < 0 || x >= FixedColumnsRight)
        return;
    PickCellAt(*StringGrid4, EntryText, DayCell, x, y);
}

void TForm1::StringGrid5MouseUp(int x, int y) { PickCellAt(*StringGrid5, EntryText, ItemCell, x, y); }

void TForm1::Type(toolkit::StringGrid& grid, const GridCell& cell, char key)
{
    if (TypeKey(grid, EntryText, cell, key))
        LedgerChanged = true;
}

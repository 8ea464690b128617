// The string grid as an accessible table: a screen reader moving through a grid hears each cell's
// row caption, column caption and text, and follows the current cell.
#pragma once

namespace toolkit {

class StringGrid;

// Lets Qt's accessibility find the table of every string grid. Once per program; the grid's
// constructor calls it.
void InstallGridAccessibility();

// Tells assistive technology that the grid's current cell moved or the grid took the focus: a
// selection event, and a focus event while the grid has the focus, for the current cell. Sends
// nothing while no assistive technology listens.
void AnnounceCurrentCell(const StringGrid& grid);

} // namespace toolkit

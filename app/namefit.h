// Whether the name being typed fits its cell: while a name cell is the entry cell of a grid that
// has the focus, a line shows how many of the cell's 12 bytes the name takes ("9 / 12 バイト");
// past 12 the line turns red and shows what the cell will keep. A character the grid refused
// (one Shift-JIS cannot hold) is told on the same line until the next key. Hidden otherwise, so
// that the window looks as it always has until a name is typed.
#pragma once

#include "toolkit/stringgrid.h"

#include <QLabel>
#include <functional>
#include <optional>
#include <string>

class NameFit : public QLabel {
    Q_OBJECT
public:
    // The text of the name cell being typed into, or none while the entry cell holds no name.
    using NameCell = std::function<std::optional<std::string>()>;

    NameFit(QWidget* parent, const char* name, toolkit::StringGrid& grid, NameCell nameCell);

    // Shows the line for the name cell as it stands, or hides it.
    void Refresh();

private:
    void TellRefused();

    toolkit::StringGrid& grid_;
    NameCell nameCell_;
};

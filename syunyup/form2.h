// TForm2, the income budget editor: shows IncomeBudget in its grid when created and writes the
// grid back, with the total, on OK, which also refreshes the main window's calculated balance.
// Closes and frees itself when it stops being the active window or its own surface is clicked;
// only OK keeps the edits.
#pragma once

#include "app/entry.h"
#include "toolkit/stringgrid.h"
#include "toolkit/transientwindow.h"

#include <string>

class QPushButton;
class TForm1;

class TForm2 : public toolkit::TransientWindow {
    Q_OBJECT
public:
    // Builds the window, runs FormCreate and shows the window centred.
    explicit TForm2(TForm1& owner);

    toolkit::StringGrid* StringGrid1;
    QPushButton* Button1;

    // The typing idiom's state belongs to the module, not to one window: an editor opened again
    // types on where the last one stopped.
    static EntryBuffer EntryText;
    static GridCell EntryCell;

    void FormCreate();
    void Button1Click();
    void FormDeactivate() override;
    void close1Click() override;
    void StringGrid1SelectCell(int col, int row);
    void StringGrid1KeyPress(char key);
    void StringGrid1MouseUp(int x, int y);

private:
    void BuildLayout();
    void ConnectHandlers();
    void FormClose() override;

    TForm1& main_;
};

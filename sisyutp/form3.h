// TForm3, the expense budget editor: shows ExpenseBudget in its grid when created, with the
// amounts used from DailyTable and what each budget has left, and sets ProjectedSpending; OK
// writes the budgets back with their total. Closes and frees itself when it stops being the
// active window or its own surface is clicked; only OK keeps the edits.
#pragma once

#include "app/entry.h"
#include "toolkit/stringgrid.h"
#include "toolkit/transientwindow.h"

#include <string>

class QPushButton;
class TForm1;

class TForm3 : public toolkit::TransientWindow {
    Q_OBJECT
public:
    // Builds the window, runs FormCreate and shows the window centred. This editor reaches none of
    // the main window's controls; its OK tells the main window that the ledger changed.
    explicit TForm3(TForm1& owner);

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

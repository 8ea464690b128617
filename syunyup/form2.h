// TForm2, the income budget editor: shows IncomeBudget in its grid when created and writes the
// grid back, with the total, on OK, which also refreshes the main window's calculated balance.
// Closes and frees itself when it stops being the active window or its own surface is clicked;
// only OK keeps the edits.
#pragma once

#include "app/entry.h"
#include "toolkit/stringgrid.h"

#include <QWidget>
#include <string>

class QPushButton;
class TForm1;

class TForm2 : public QWidget {
    Q_OBJECT
public:
    // Builds the window, runs FormCreate and shows the window centred.
    explicit TForm2(TForm1& owner);

    toolkit::StringGrid* StringGrid1;
    QPushButton* Button1;

    // The typing idiom's state belongs to the module, not to one window: an editor opened again
    // types on where the last one stopped.
    static std::string EntryText;
    static GridCell EntryCell;

    void FormCreate();
    void Button1Click();
    void FormDeactivate();
    void close1Click();
    void StringGrid1SelectCell(int col, int row);
    void StringGrid1KeyPress(char key);
    void StringGrid1MouseUp(int x, int y);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void BuildLayout();
    void ConnectHandlers();
    void FormClose();

    TForm1& main_;
    bool closing_ = false;
    bool surfacePressed_ = false;
};

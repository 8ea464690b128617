// TForm3, the expense budget editor: shows ExpenseBudget in its grid when created and writes the
// grid back, with the total, on OK. Closes itself when it stops being the active window.
#pragma once

#include "app/entry.h"
#include "toolkit/stringgrid.h"

#include <QWidget>

class QPushButton;
class TForm1;

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(TForm1& owner);

    toolkit::StringGrid* StringGrid1;
    QPushButton* Button1;

private:
    TForm1& main_;
};

// TForm2, the income budget editor: shows IncomeBudget in its grid when created and writes the
// grid back, with the total, on OK. Closes itself when it stops being the active window.
#pragma once

#include "app/entry.h"
#include "toolkit/stringgrid.h"

#include <QWidget>

class QPushButton;
class TForm1;

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(TForm1& owner);

    toolkit::StringGrid* StringGrid1;
    QPushButton* Button1;

private:
    TForm1& main_;
};

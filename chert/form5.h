// TForm5, the usage analysis window: builds itself once from the ledger tables, DaySpend and
// PeriodStartText when created, shows itself maximised, and hides when closed.
#pragma once

#include "toolkit/controls.h"

#include <QWidget>

class QPushButton;

class TForm5 : public QWidget {
    Q_OBJECT
public:
    explicit TForm5(QWidget* owner);

    toolkit::Label* Label1;
    QPushButton* Button1;
    toolkit::Label* Label2;

    void FormCreate();
    void Button1Click();

private:
    void BuildLayout();
};

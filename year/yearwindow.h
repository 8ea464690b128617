// YearWindow, the year at a glance: several ledgers side by side in a table, one column per
// ledger in the order of their months and the totals last, the warnings about amounts that are
// not integers, and a chart of the spending plan against what was spent per month, stacked by
// category. It reads the files itself through the ledger module's reader and touches neither the
// ledger tables nor any control of the main window. Shows itself when created and frees itself
// when closed; it is never refreshed.
#pragma once

#include "ledger/year.h"

#include <QStringList>
#include <QWidget>

class QChartView;
class QListWidget;
class QTableWidget;

class YearWindow : public QWidget {
    Q_OBJECT
public:
    YearWindow(QWidget* owner, const QStringList& fileNames);

    QTableWidget* Table;
    QChartView* Chart;
    QListWidget* Warnings; // hidden when every file was read and every amount converted

private:
    void FillTable(const QStringList& categories);
    void FillWarnings();

    Year year_;
};

// The heading of a column on the month axis: "4月" for month field 4, the file's name when the
// field holds no number, and the file's name after the month when another column has that month.
QStringList MonthLabels(const Year& year);

// The year window's chart: one group per month, in the order of the table's columns, with the
// month's spending stacked by category and the spending plan as a line over it. The one place of
// the year view that knows Qt Charts.
#pragma once

#include "ledger/year.h"

#include <QStringList>

class QChartView;
class QWidget;

// `months` names the columns on the month axis and must be distinct; `categories` names the 17
// categories in the legend. A marked amount is left out of the picture (a bar of 0, a point
// skipped); the table shows it marked.
QChartView* MakeYearChart(QWidget* parent, const Year& year, const QStringList& months, const QStringList& categories);

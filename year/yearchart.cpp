#include "year/yearchart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChartView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>

namespace {

const YearRow& RowOf(const Year& year, YearFigure figure, int category = 0)
{
    return *std::find_if(year.Rows.begin(), year.Rows.end(),
        [&](const YearRow& row) { return row.Figure == figure && row.Category == category; });
}

// Seventeen colours around the colour wheel, so that neighbouring categories stand apart.
QColor CategoryColor(int category)
{
    return QColor::fromHsv((category - 1) * 7 % 17 * 360 / 17, 150, 225);
}

} // namespace

QChartView* MakeYearChart(QWidget* parent, const Year& year, const QStringList& months, const QStringList& categories)
{
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("月ごとの支出予算と支出"));
    auto* spent = new QStackedBarSeries;
    spent->setObjectName(QStringLiteral("SpentBars"));
    // The value axis spans the highest stack and the deepest negative one (refunds), and the plan.
    std::vector<double> above(year.Columns.size(), 0);
    std::vector<double> below(year.Columns.size(), 0);
    std::vector<bool> spentOn(YearCategories, false);
    for (int category = 1; category <= YearCategories; ++category) {
        auto* bars = new QBarSet(categories[category - 1]);
        bars->setColor(CategoryColor(category));
        bars->setBorderColor(CategoryColor(category).darker(130));
        const YearRow& row = RowOf(year, YearFigure::SpentOn, category);
        for (size_t column = 0; column < row.Cells.size(); ++column) {
            double value = row.Cells[column].Marked ? 0 : double(row.Cells[column].Value);
            bars->append(value);
            (value < 0 ? below : above)[column] += value;
            spentOn[category - 1] = spentOn[category - 1] || value != 0;
        }
        spent->append(bars);
    }
    auto* plan = new QLineSeries;
    plan->setObjectName(QStringLiteral("PlanLine"));
    plan->setName(QStringLiteral("支出予算"));
    plan->setPen(QPen(Qt::red, 2));
    plan->setPointsVisible(true);
    const YearRow& planRow = RowOf(year, YearFigure::SpendingPlan);
    for (size_t column = 0; column < planRow.Cells.size(); ++column)
        if (!planRow.Cells[column].Marked) {
            plan->append(double(column), double(planRow.Cells[column].Value));
            above[column] = std::max(above[column], double(planRow.Cells[column].Value));
            below[column] = std::min(below[column], double(planRow.Cells[column].Value));
        }
    chart->addSeries(spent);
    chart->addSeries(plan);

    auto* monthAxis = new QBarCategoryAxis;
    monthAxis->setObjectName(QStringLiteral("MonthAxis"));
    monthAxis->append(months);
    auto* valueAxis = new QValueAxis;
    valueAxis->setObjectName(QStringLiteral("AmountAxis"));
    valueAxis->setTitleText(QStringLiteral("金額［円］"));
    valueAxis->setLabelFormat(QStringLiteral("%.0f"));
    double highest = above.empty() ? 0 : *std::max_element(above.begin(), above.end());
    double lowest = below.empty() ? 0 : *std::min_element(below.begin(), below.end());
    valueAxis->setRange(lowest, std::max(highest, lowest + 1));
    valueAxis->applyNiceNumbers();
    chart->addAxis(monthAxis, Qt::AlignBottom);
    chart->addAxis(valueAxis, Qt::AlignLeft);
    for (QAbstractSeries* series : { static_cast<QAbstractSeries*>(spent), static_cast<QAbstractSeries*>(plan) }) {
        series->attachAxis(monthAxis);
        series->attachAxis(valueAxis);
    }
    // Seventeen categories and the plan fill the legend; a category nobody spent on stays out of it.
    chart->legend()->setAlignment(Qt::AlignRight);
    QFont legendFont = chart->legend()->font();
    legendFont.setPixelSize(11);
    chart->legend()->setFont(legendFont);
    QList<QLegendMarker*> markers = chart->legend()->markers(spent);
    for (qsizetype set = 0; set < markers.size(); ++set)
        markers[set]->setVisible(spentOn[set]);

    auto* view = new QChartView(chart, parent);
    view->setObjectName(QStringLiteral("YearChart"));
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

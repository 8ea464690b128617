// The usage analysis window and its charts. Every point is read back from the Qt Charts series
// and axes the window shows.
#include "app/form1.h"
#include "chert/form5.h"
#include "ledger/tables.h"
#include "toolkit/chart.h"
#include "toolkit/convert.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QHorizontalBarSeries>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <QValueAxis>
#include <memory>

using toolkit::Sjis;

namespace {

const QColor red(255, 0, 0);
const QColor green(0, 128, 0);

struct Point {
    double Position;  // where Qt placed it: an area point's x, a bar's index in its set
    double Value;
    std::string Label;  // Shift-JIS, as the window was given it
    QColor Color;
};

QChart* ChartNamed(QWidget& window, const char* name)
{
    auto* view = window.findChild<QChartView*>(QString::fromLatin1(name));
    return view ? view->chart() : nullptr;
}

// The points of a series as Qt holds them, in the order of their positions.
std::vector<Point> PointsOf(QChart* chart, const char* seriesName)
{
    std::vector<Point> points;
    const QString name = QString::fromLatin1(seriesName);
    for (QAbstractSeries* series : chart->series()) {
        if (auto* area = qobject_cast<QAreaSeries*>(series); area && area->objectName() == name) {
            auto* axis = qobject_cast<QCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
            QStringList labels = axis->categoriesLabels();
            const QList<QPointF> xy = area->upperSeries()->points();
            for (int i = 0; i < xy.size(); ++i) {
                QColor color = area->upperSeries()->pointConfiguration(i).value(
                    QXYSeries::PointConfiguration::Color).value<QColor>();
                std::string label = toolkit::ToSjis(toolkit::Chart::VisibleLabel(labels.value(i)));
                points.push_back({ xy[i].x(), xy[i].y(), label, color });
            }
        }
        if (auto* bars = qobject_cast<QHorizontalBarSeries*>(series)) {
            auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Vertical).value(0));
            for (QBarSet* set : bars->barSets()) {
                if (set->objectName() != name)
                    continue;
                for (int i = 0; i < set->count(); ++i) {
                    QColor color = set->isBarSelected(i) ? set->selectedColor() : set->color();
                    std::string label = toolkit::ToSjis(toolkit::Chart::VisibleLabel(axis->at(i)));
                    points.push_back({ double(i), set->at(i), label, color });
                }
            }
        }
    }
    return points;
}

std::vector<double> ValuesOf(QChart* chart, const char* seriesName)
{
    std::vector<double> values;
    for (const Point& point : PointsOf(chart, seriesName))
        values.push_back(point.Value);
    return values;
}

// The numbers along a chart's value axis as drawn, from its start (bottom or left) to its end.
QStringList ValueAxisLabels(QChart* chart)
{
    const bool vertical = chart->axes(Qt::Vertical).value(0)->type() == QAbstractAxis::AxisTypeValue;
    static const QRegularExpression number(QStringLiteral("^-?\\d+$"));
    QList<QGraphicsTextItem*> labels;
    for (QGraphicsItem* item : chart->scene()->items())
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item);
            text && text->isVisible() && number.match(text->toPlainText()).hasMatch())
            labels << text;
    std::sort(labels.begin(), labels.end(), [vertical](QGraphicsTextItem* a, QGraphicsTextItem* b) {
        return vertical ? a->scenePos().y() > b->scenePos().y() : a->scenePos().x() < b->scenePos().x();
    });
    QStringList texts;
    for (QGraphicsTextItem* label : labels)
        texts << label->toPlainText();
    return texts;
}

QColor LegendColor(QChart* chart, const QString& title)
{
    for (QLegendMarker* marker : chart->legend()->markers())
        if (marker->label() == title)
            return marker->brush().color();
    return QColor();
}

} // namespace

class TestChert : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void repeatedAndEmptyLabelsKeepEveryBarInItsPlace();
    void everyBarLabelIsDrawnBesideItsBar();
    void pointsKeepTheColourTheyWereAddedWith();
    void areaPointsLieAtTheirPositions();

    void windowHasItsLayout();
    void chartsHaveTheirTitlesAxesAndLegends();
    void emptyChartsLabelTheirValueAxesWithDistinctNumbers_data();
    void emptyChartsLabelTheirValueAxesWithDistinctNumbers();
    void dayOfMonthLineListsThePeriodsDays_data();
    void dayOfMonthLineListsThePeriodsDays();
    void dateLineShowsToday();
    void lastAndRemainingDays_data();
    void lastAndRemainingDays();
    void planCurveRisesByTheDailyBudget_data();
    void planCurveRisesByTheDailyBudget();
    void actualCurveDropsToZeroOnDaysWithoutSpending();
    void budgetAndUsedBarsStandSideBySide();
    void percentageBars_data();
    void percentageBars();
    void remainderPerDayBars_data();
    void remainderPerDayBars();
    void buildFromEmptyTablesFillsTheValueCells();
    void nonIntegerStartShowsTheErrorAndEmptyCharts();
    void nonIntegerValueCellStopsTheBuildAtItsRow_data();
    void nonIntegerValueCellStopsTheBuildAtItsRow();
    void closingHidesTheWindow();
    void graphButtonBuildsAWindowWithThatMomentsData();
    void aWindowMadeBehindBuildsWhenShownWhatItWouldHaveDrawnAtOnce();

private:
    std::unique_ptr<TForm5> Build();
    std::vector<std::string> errors_;
};

void TestChert::initTestCase() { toolkit::RegisterFontSubstitutes(); }

void TestChert::init()
{
    ResetTables();
    errors_.clear();
    toolkit::SetErrorSinkForTest([this](const std::string& text) { errors_.push_back(text); });
    toolkit::SetTodayForTest(QDate(2024, 6, 10));
}

void TestChert::cleanup()
{
    toolkit::SetErrorSinkForTest(nullptr);
    toolkit::SetTodayForTest(QDate());
}

std::unique_ptr<TForm5> TestChert::Build() { return std::make_unique<TForm5>(nullptr); }

void TestChert::repeatedAndEmptyLabelsKeepEveryBarInItsPlace()
{
    toolkit::Chart chart(nullptr, "Chart9", toolkit::Chart::Kind::HorizontalBars);
    toolkit::ChartSeries* series = chart.AddSeries("Series9", Sjis("計画"), red);
    const std::vector<std::string> labels { "", "", Sjis("食　費"), Sjis("食　費"), "", "A<b>&" };
    for (size_t i = 0; i < labels.size(); ++i)
        series->Add(10.0 * (i + 1), labels[i], red);
    auto* axis = qobject_cast<QBarCategoryAxis*>(chart.chart()->axes(Qt::Vertical).value(0));
    QVERIFY(axis);
    QCOMPARE(axis->count(), int(labels.size()));
    QCOMPARE(axis->min(), axis->at(0));
    QCOMPARE(axis->max(), axis->at(int(labels.size()) - 1));
    std::vector<Point> points = PointsOf(chart.chart(), "Series9");
    QCOMPARE(points.size(), labels.size());
    for (size_t i = 0; i < labels.size(); ++i) {
        QCOMPARE(points[i].Value, 10.0 * (i + 1));
        QCOMPARE(points[i].Label, labels[i]);
    }
}

void TestChert::everyBarLabelIsDrawnBesideItsBar()
{
    toolkit::Chart chart(nullptr, "Chart9", toolkit::Chart::Kind::HorizontalBars);
    chart.HideLegend();
    chart.SetPositionAxisLabelsFont(toolkit::LayoutFont("ＭＳ Ｐ明朝", 11), Qt::black);
    toolkit::ChartSeries* series = chart.AddSeries("Series9", "", red);
    const QStringList labels { QString(), QStringLiteral("食　費"), QStringLiteral("食　費"), QStringLiteral("<b>x"),
        QString() };
    for (const QString& label : labels)
        series->Add(1, toolkit::ToSjis(label), red);
    chart.resize(249, 345);
    chart.show();
    // The labels are placed once the chart has made room for them beside the plot.
    QTRY_VERIFY(!chart.BarLabels().empty() && chart.BarLabels()[1]->sceneBoundingRect().left() >= 0);
    QApplication::processEvents();
    std::vector<QGraphicsSimpleTextItem*> drawn = chart.BarLabels();
    QCOMPARE(int(drawn.size()), labels.size());
    auto* bars = chart.chart()->series().value(0);
    const QRectF plot = chart.chart()->plotArea();
    for (int position = 0; position < labels.size(); ++position) {
        QGraphicsSimpleTextItem* label = drawn[position];
        QCOMPARE(label->text(), labels[position]);
        QCOMPARE(label->font().pixelSize(), 11);
        QVERIFY(label->isVisible());
        QRectF box = label->sceneBoundingRect();
        // Centred on the bar's place as Qt maps it, and left of the plot.
        qreal barMiddle = chart.chart()->mapToPosition(QPointF(0, position), bars).y();
        QVERIFY2(qAbs(box.center().y() - barMiddle) < 1.0, qPrintable(labels[position]));
        QVERIFY(box.right() <= plot.left());
        QVERIFY(box.left() >= 0);
    }
}

void TestChert::pointsKeepTheColourTheyWereAddedWith()
{
    toolkit::Chart chart(nullptr, "Chart9", toolkit::Chart::Kind::HorizontalBars);
    toolkit::ChartSeries* first = chart.AddSeries("Series8", Sjis("計画"), red);
    toolkit::ChartSeries* second = chart.AddSeries("Series9", Sjis("実績"), green);
    first->Add(1, "", green);
    first->Add(2, "", green);
    second->Add(3, "", red);
    second->Add(4, "", green);
    second->Add(5, "", red);
    std::vector<Point> firsts = PointsOf(chart.chart(), "Series8");
    std::vector<Point> seconds = PointsOf(chart.chart(), "Series9");
    QCOMPARE(firsts.size(), size_t(2));
    QCOMPARE(firsts[0].Color, green);
    QCOMPARE(firsts[1].Color, green);
    QCOMPARE(seconds.size(), size_t(3));
    QCOMPARE(seconds[0].Color, red);
    QCOMPARE(seconds[1].Color, green);
    QCOMPARE(seconds[2].Color, red);
    // The legend shows each series' own colour, not its points'.
    QCOMPARE(LegendColor(chart.chart(), QStringLiteral("計画")), red);
    QCOMPARE(LegendColor(chart.chart(), QStringLiteral("実績")), green);
}

void TestChert::areaPointsLieAtTheirPositions()
{
    toolkit::Chart chart(nullptr, "Chart9", toolkit::Chart::Kind::Area);
    chart.SetPositionAxisRange(0, 31);
    toolkit::ChartSeries* upper = chart.AddSeries("Series8", Sjis("計画"), red);
    toolkit::ChartSeries* lower = chart.AddSeries("Series9", Sjis("実績"), green);
    upper->Add(5, "x", red);
    upper->Add(7, "x", red);
    lower->Add(1, "y", green);
    auto* area = qobject_cast<QAreaSeries*>(chart.chart()->series().value(0));
    QVERIFY(area);
    QCOMPARE(area->upperSeries()->points(), (QList<QPointF> { { 0, 5 }, { 1, 7 } }));
    QCOMPARE(area->color(), red);
    std::vector<Point> lowers = PointsOf(chart.chart(), "Series9");
    QCOMPARE(lowers.size(), size_t(1));
    // The last label added at a position names it.
    QCOMPARE(lowers[0].Label, std::string("y"));
    QCOMPARE(PointsOf(chart.chart(), "Series8")[1].Label, std::string("x"));
    QCOMPARE(lowers[0].Color, green);
}

void TestChert::windowHasItsLayout()
{
    auto window = Build();
    QCOMPARE(window->windowTitle(), QStringLiteral("使用状況の分析"));
    QVERIFY(window->isVisible());
    QVERIFY(window->windowState() & Qt::WindowMaximized);
    QCOMPARE(window->font().family(), QStringLiteral("IPAPGothic"));
    QCOMPARE(window->font().pixelSize(), 12);
    const struct {
        const char* Name;
        QRect Geometry;
    } charts[] = { { "Chart4", { 8, 48, 785, 121 } }, { "Chart1", { 8, 200, 273, 345 } },
        { "Chart2", { 288, 200, 249, 345 } }, { "Chart3", { 544, 200, 249, 345 } } };
    for (const auto& chart : charts) {
        auto* view = window->findChild<QChartView*>(QString::fromLatin1(chart.Name));
        QVERIFY2(view, chart.Name);
        QCOMPARE(view->geometry(), chart.Geometry);
        QCOMPARE(view->chart()->plotAreaBackgroundBrush().color(), QColor(255, 255, 128));
        QVERIFY(view->chart()->isPlotAreaBackgroundVisible());
    }
    auto* button = window->findChild<QPushButton*>("Button1");
    QCOMPARE(button->geometry(), QRect(416, 8, 265, 33));
    QCOMPARE(button->text(), QStringLiteral("閉じる"));
    QCOMPARE(button->font().pixelSize(), 24);
    QCOMPARE(window->Label1->pos(), QPoint(128, 8));
    QCOMPARE(window->Label1->font().pixelSize(), 27);
    QCOMPARE(window->Label2->pos(), QPoint(96, 176));
    QCOMPARE(window->Label2->font().family(), QStringLiteral("IPAGothic"));
}

void TestChert::chartsHaveTheirTitlesAxesAndLegends()
{
    auto window = Build();
    QChart* daily = ChartNamed(*window, "Chart4");
    QCOMPARE(daily->title(), QStringLiteral("計画と使用実績"));
    QCOMPARE(daily->titleBrush().color(), QColor(Qt::blue));
    QCOMPARE(daily->titleFont().family(), QStringLiteral("IPAPMincho"));
    QCOMPARE(daily->titleFont().pixelSize(), 13);
    auto* days = qobject_cast<QValueAxis*>(daily->axes(Qt::Horizontal).value(0));
    QCOMPARE(days->min(), 0.0);
    QCOMPARE(days->max(), 31.0);
    QVERIFY(!days->isVisible());
    auto* amounts = qobject_cast<QValueAxis*>(daily->axes(Qt::Vertical).value(0));
    QCOMPARE(amounts->titleText(), QStringLiteral("金額［円］"));
    QCOMPARE(amounts->labelsFont().pixelSize(), 15);
    QCOMPARE(amounts->labelsColor(), QColor(Qt::black));
    QCOMPARE(daily->legend()->font().pixelSize(), 16);
    QCOMPARE(daily->series().size(), 2);
    QCOMPARE(daily->series()[0]->name(), QStringLiteral("計画"));
    QCOMPARE(daily->series()[1]->name(), QStringLiteral("実績"));
    QCOMPARE(LegendColor(daily, QStringLiteral("計画")), red);
    QCOMPARE(LegendColor(daily, QStringLiteral("実績")), green);

    QChart* amountsChart = ChartNamed(*window, "Chart1");
    QCOMPARE(amountsChart->title(), QStringLiteral("使用状況（金額）－予算"));
    QCOMPARE(amountsChart->legend()->alignment(), Qt::AlignTop);
    QVERIFY(amountsChart->legend()->isVisible());
    auto* yen = qobject_cast<QValueAxis*>(amountsChart->axes(Qt::Horizontal).value(0));
    QCOMPARE(yen->titleText(), QStringLiteral("円"));
    QCOMPARE(amountsChart->axes(Qt::Vertical).value(0)->labelsFont().pixelSize(), 11);
    auto* pair = qobject_cast<QHorizontalBarSeries*>(amountsChart->series().value(0));
    QCOMPARE(pair->barSets().size(), 2);
    QCOMPARE(pair->barSets()[0]->objectName(), QStringLiteral("Series1"));
    QCOMPARE(pair->barSets()[0]->label(), QStringLiteral("計画"));
    QCOMPARE(pair->barSets()[1]->objectName(), QStringLiteral("Series6"));
    QCOMPARE(pair->barSets()[1]->label(), QStringLiteral("実績"));
    QCOMPARE(LegendColor(amountsChart, QStringLiteral("計画")), red);
    QCOMPARE(LegendColor(amountsChart, QStringLiteral("実績")), green);

    QChart* percentages = ChartNamed(*window, "Chart2");
    QCOMPARE(percentages->title(), QStringLiteral("使用状況（％）－予算"));
    auto* share = qobject_cast<QValueAxis*>(percentages->axes(Qt::Horizontal).value(0));
    QCOMPARE(share->min(), 0.0);
    QCOMPARE(share->max(), 150.0);
    QCOMPARE(share->titleText(), QStringLiteral("％"));
    QVERIFY(!percentages->legend()->isVisible());
    QCOMPARE(qobject_cast<QHorizontalBarSeries*>(percentages->series().value(0))->barSets().size(), 1);

    QChart* remainders = ChartNamed(*window, "Chart3");
    QCOMPARE(remainders->title(), QStringLiteral("現状分析<br>［残金／残日数］"));
    QVERIFY(!remainders->legend()->isVisible());
    QCOMPARE(qobject_cast<QHorizontalBarSeries*>(remainders->series().value(0))->barSets().size(), 1);
}

void TestChert::emptyChartsLabelTheirValueAxesWithDistinctNumbers_data()
{
    QTest::addColumn<QByteArray>("chart");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("the daily plan and actual run from 0 to 1") << QByteArray("Chart4") << QStringList { "0", "1" };
    QTest::newRow("the amounts run from 0 to 1") << QByteArray("Chart1") << QStringList { "0", "1" };
    QTest::newRow("the percentages keep their fixed range") << QByteArray("Chart2") << QStringList { "0", "75", "150" };
    QTest::newRow("the remainders run from 0 to 1") << QByteArray("Chart3") << QStringList { "0", "1" };
}

void TestChert::emptyChartsLabelTheirValueAxesWithDistinctNumbers()
{
    QFETCH(QByteArray, chart);
    QFETCH(QStringList, labels);
    auto window = Build();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_COMPARE(ValueAxisLabels(ChartNamed(*window, chart.constData())), labels);
}

void TestChert::dayOfMonthLineListsThePeriodsDays_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("line");
    QString fromOne = QStringLiteral("1");
    for (int day = 2; day <= 31; ++day)
        fromOne += (day < 10 ? QStringLiteral("  ") : QStringLiteral(" ")) + QString::number(day);
    QString from25 = QStringLiteral("25 26 27 28 29 30 31  1  2  3  4  5  6  7  8  9");
    for (int day = 10; day <= 24; ++day)
        from25 += QStringLiteral(" ") + QString::number(day);
    QString from31 = QStringLiteral("31  1  2  3  4  5  6  7  8  9");
    for (int day = 10; day <= 30; ++day)
        from31 += QStringLiteral(" ") + QString::number(day);
    QTest::newRow("a start on the 1st lists 1 to 31 in three characters each") << "1" << fromOne;
    QTest::newRow("a start on the 25th lists 25 to 31 and then 1 to 24") << "25" << from25;
    QTest::newRow("a start on the 31st lists 31 and then 1 to 30") << "31" << from31;
    QTest::newRow("the start is shown as typed") << " 31" << QStringLiteral(" ") + from31;
    QTest::newRow("an empty start shows the day sign alone") << "" << "";
    QTest::newRow("a start beyond any month lists only the days of a month") << "40" << QStringLiteral("40  ") + fromOne;
}

void TestChert::dayOfMonthLineListsThePeriodsDays()
{
    QFETCH(QString, start);
    QFETCH(QString, line);
    PeriodStartText = start.toStdString();
    auto window = Build();
    QCOMPARE(errors_, std::vector<std::string>());
    QCOMPARE(window->Label2->Text(), Sjis("日") + line.toStdString());
    QCOMPARE(PeriodStartText, start.isEmpty() ? std::string("1") : start.toStdString());
}

void TestChert::dateLineShowsToday()
{
    toolkit::SetTodayForTest(QDate(1998, 12, 3));
    auto window = Build();
    QCOMPARE(window->Label1->Text(), "98/12/03" + Sjis("現在"));
    QCOMPARE(window->Label1->text(), QStringLiteral("98/12/03現在"));
}

void TestChert::lastAndRemainingDays_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("today");
    QTest::addColumn<int>("lastDay");
    QTest::addColumn<int>("remainingDays");
    QTest::newRow("a period from the 25th has 14 days left on the 10th") << "25" << 10 << 24 << 14;
    QTest::newRow("after its last day the count goes round the month") << "25" << 28 << 24 << 26;
    QTest::newRow("a period from the 1st ends on the 31st") << "1" << 5 << 31 << 26;
    QTest::newRow("on the 31st of a period from the 1st one day is left") << "1" << 31 << 31 << 1;
    QTest::newRow("on the period's last day one day is left") << "25" << 24 << 24 << 1;
}

void TestChert::lastAndRemainingDays()
{
    QFETCH(QString, start);
    QFETCH(int, today);
    QFETCH(int, lastDay);
    QFETCH(int, remainingDays);
    QCOMPARE(LastDayOfPeriod(start.toStdString()), lastDay);
    QCOMPARE(RemainingDays(lastDay, today), remainingDays);
}

void TestChert::planCurveRisesByTheDailyBudget_data()
{
    QTest::addColumn<QString>("total");
    QTest::addColumn<int>("daily");
    QTest::newRow("a total of 31000 rises by 1000 a day") << "31000" << 1000;
    QTest::newRow("a total of 100 rises by 3 a day, the fraction dropped") << "100" << 3;
    QTest::newRow("an empty total keeps the plan flat at zero") << "" << 0;
}

void TestChert::planCurveRisesByTheDailyBudget()
{
    QFETCH(QString, total);
    QFETCH(int, daily);
    ExpenseBudget[1][18].Assign(total.toStdString());
    auto window = Build();
    QCOMPARE(errors_, std::vector<std::string>());
    std::vector<Point> plan = PointsOf(ChartNamed(*window, "Chart4"), "Series4");
    QCOMPARE(plan.size(), size_t(31));
    for (int day = 1; day <= 31; ++day) {
        QCOMPARE(plan[day - 1].Position, double(day - 1));
        QCOMPARE(plan[day - 1].Value, double(day * daily));
        QCOMPARE(plan[day - 1].Label, std::to_string(day));
        QCOMPARE(plan[day - 1].Color, red);
    }
}

void TestChert::actualCurveDropsToZeroOnDaysWithoutSpending()
{
    DaySpend[2] = 500;
    DaySpend[3] = 0;
    DaySpend[4] = 300;
    DaySpend[32] = 7;
    auto window = Build();
    std::vector<Point> actual = PointsOf(ChartNamed(*window, "Chart4"), "Series5");
    QCOMPARE(actual.size(), size_t(31));
    QCOMPARE(actual[0].Value, 500.0);
    QCOMPARE(actual[1].Value, 0.0);
    QCOMPARE(actual[2].Value, 800.0);
    QCOMPARE(actual[3].Value, 0.0);
    QCOMPARE(actual[30].Value, 807.0);
    QCOMPARE(actual[30].Label, std::string("31"));
    QCOMPARE(actual[30].Color, green);
}

void TestChert::budgetAndUsedBarsStandSideBySide()
{
    ExpenseBudget[0][1].Assign(Sjis("食　費"));
    ExpenseBudget[1][1].Assign("60000");
    ExpenseBudget[0][18].Assign(Sjis("合　計"));
    ExpenseBudget[1][18].Assign("60000");
    DailyTable[0][1].Assign(Sjis("食　費"));
    DailyTable[1][1].Assign("21000");
    DailyTable[0][18].Assign(Sjis("支出計"));
    DailyTable[1][18].Assign("21000");
    auto window = Build();
    QChart* chart = ChartNamed(*window, "Chart1");
    std::vector<Point> budget = PointsOf(chart, "Series6");
    std::vector<Point> used = PointsOf(chart, "Series1");
    QCOMPARE(budget.size(), size_t(18));
    QCOMPARE(used.size(), size_t(18));
    QCOMPARE(budget[0].Value, 60000.0);
    QCOMPARE(budget[0].Color, red);
    QCOMPARE(budget[17].Value, 60000.0);
    QCOMPARE(used[0].Value, 21000.0);
    QCOMPARE(used[0].Color, green);
    QCOMPARE(used[17].Value, 21000.0);
    for (int row = 2; row <= 17; ++row) {
        QCOMPARE(budget[row - 1].Value, 0.0);
        QCOMPARE(used[row - 1].Value, 0.0);
        QCOMPARE(used[row - 1].Label, std::string());
    }
    // The daily table's labels, added last, name the bars.
    QCOMPARE(used[0].Label, Sjis("食　費"));
    QCOMPARE(used[17].Label, Sjis("支出計"));
    QCOMPARE(PointsOf(ChartNamed(*window, "Chart2"), "Series3")[17].Label, Sjis("支出計"));
    QCOMPARE(PointsOf(ChartNamed(*window, "Chart3"), "Series2")[0].Label, Sjis("食　費"));
}

void TestChert::percentageBars_data()
{
    QTest::addColumn<QString>("used");
    QTest::addColumn<QString>("budget");
    QTest::addColumn<double>("percentage");
    QTest::newRow("5000 used of 4000 is 125 per cent") << "5000" << "4000" << 125.0;
    QTest::newRow("5000 used of a budget of \"0\" is 100 per cent") << "5000" << "0" << 100.0;
    QTest::newRow("nothing used is 0 per cent of any budget") << "0" << "4000" << 0.0;
    QTest::newRow("1 used of 3 is not rounded") << "1" << "3" << 100.0 / 3;
    QTest::newRow("a zero budget written \"00\" counts like \"0\"") << "5000" << "00" << 100.0;
    QTest::newRow("a zero budget and a zero use, both written \"00\", count like \"0\"") << "00" << "00" << 100.0;
    QTest::newRow("an empty budget becomes \"0\" first") << "5000" << "" << 100.0;
}

void TestChert::percentageBars()
{
    QFETCH(QString, used);
    QFETCH(QString, budget);
    QFETCH(double, percentage);
    DailyTable[1][4].Assign(used.toStdString());
    ExpenseBudget[1][4].Assign(budget.toStdString());
    auto window = Build();
    QCOMPARE(errors_, std::vector<std::string>());
    std::vector<Point> bars = PointsOf(ChartNamed(*window, "Chart2"), "Series3");
    QCOMPARE(bars.size(), size_t(18));
    QCOMPARE(bars[3].Value, percentage);
    QCOMPARE(bars[3].Color, green);
    QCOMPARE(bars[0].Value, 0.0);
    // The build went on past the percentages.
    QCOMPARE(PointsOf(ChartNamed(*window, "Chart3"), "Series2").size(), size_t(18));
}

void TestChert::remainderPerDayBars_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("budget");
    QTest::addColumn<QString>("used");
    QTest::addColumn<double>("perDay");
    QTest::newRow("10000 budgeted, 3000 used and 14 days left leave 500 a day")
        << "25" << QDate(2024, 6, 10) << "10000" << "3000" << 500.0;
    QTest::newRow("an overspent budget with 4 days left points left")
        << "25" << QDate(2024, 6, 20) << "1000" << "1500" << -125.0;
    QTest::newRow("the fraction is dropped toward zero") << "25" << QDate(2024, 6, 22) << "0" << "7" << -3.0;
    QTest::newRow("on the 31st of a period from the 1st the rest is for today")
        << "1" << QDate(2024, 5, 31) << "1000" << "400" << 600.0;
    QTest::newRow("on the last day of a period from the 25th the rest is for today")
        << "25" << QDate(2024, 6, 24) << "1000" << "400" << 600.0;
}

void TestChert::remainderPerDayBars()
{
    QFETCH(QString, start);
    QFETCH(QDate, today);
    QFETCH(QString, budget);
    QFETCH(QString, used);
    QFETCH(double, perDay);
    PeriodStartText = start.toStdString();
    toolkit::SetTodayForTest(today);
    ExpenseBudget[1][7].Assign(budget.toStdString());
    DailyTable[1][7].Assign(used.toStdString());
    auto window = Build();
    QCOMPARE(errors_, std::vector<std::string>());
    std::vector<Point> bars = PointsOf(ChartNamed(*window, "Chart3"), "Series2");
    QCOMPARE(bars.size(), size_t(18));
    QCOMPARE(bars[6].Value, perDay);
    QCOMPARE(bars[6].Color, red);
    QCOMPARE(bars[5].Value, 0.0);
}

void TestChert::buildFromEmptyTablesFillsTheValueCells()
{
    ExpenseBudget[1][3].Assign("250");
    auto window = Build();
    QCOMPARE(errors_, std::vector<std::string>());
    for (int row = 1; row <= 18; ++row) {
        QCOMPARE(ExpenseBudget[1][row].Str(), std::string(row == 3 ? "250" : "0"));
        QCOMPARE(DailyTable[1][row].Str(), std::string("0"));
        QVERIFY(ExpenseBudget[0][row].Empty());
        QVERIFY(DailyTable[0][row].Empty());
    }
    QVERIFY(ExpenseBudget[1][0].Empty());
    QVERIFY(ExpenseBudget[1][19].Empty());
    QVERIFY(DailyTable[1][19].Empty());
    QVERIFY(DailyTable[2][1].Empty());
    QCOMPARE(PeriodStartText, std::string("1"));
    QCOMPARE(window->Label2->Text(), Sjis("日"));
    // Every bar, empty label and all, has its own place.
    for (const char* chart : { "Chart1", "Chart2", "Chart3" }) {
        auto* axis = qobject_cast<QBarCategoryAxis*>(ChartNamed(*window, chart)->axes(Qt::Vertical).value(0));
        QCOMPARE(axis->count(), 18);
    }
    // 250 left over the 21 days from the 10th to the 31st.
    QCOMPARE(ValuesOf(ChartNamed(*window, "Chart3"), "Series2")[2], 11.0);
}

void TestChert::nonIntegerStartShowsTheErrorAndEmptyCharts()
{
    PeriodStartText = "abc";
    auto window = Build();
    QCOMPARE(errors_, std::vector<std::string> { Sjis("'abc' は整数ではありません.") });
    QVERIFY(window->isVisible());
    QCOMPARE(window->Label1->Text(), Sjis("現　在"));
    QCOMPARE(window->Label2->Text(), std::string());
    for (const char* chart : { "Chart1", "Chart2", "Chart3", "Chart4" })
        for (QAbstractSeries* series : ChartNamed(*window, chart)->series()) {
            if (auto* area = qobject_cast<QAreaSeries*>(series))
                QCOMPARE(area->upperSeries()->count(), 0);
            if (auto* bars = qobject_cast<QHorizontalBarSeries*>(series))
                for (QBarSet* set : bars->barSets())
                    QCOMPARE(set->count(), 0);
        }
    QCOMPARE(PeriodStartText, std::string("abc"));
    QVERIFY(ExpenseBudget[1][1].Empty());
}

void TestChert::nonIntegerValueCellStopsTheBuildAtItsRow_data()
{
    QTest::addColumn<bool>("inBudget");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("budgetBars");
    QTest::addColumn<int>("usedBars");
    QTest::newRow("a bad budget in row 5 keeps four budget bars and no used bars") << true << 5 << 4 << 0;
    QTest::newRow("a bad used amount in row 3 keeps all budget bars and two used bars") << false << 3 << 18 << 2;
}

void TestChert::nonIntegerValueCellStopsTheBuildAtItsRow()
{
    QFETCH(bool, inBudget);
    QFETCH(int, row);
    QFETCH(int, budgetBars);
    QFETCH(int, usedBars);
    (inBudget ? ExpenseBudget[1][row] : DailyTable[1][row]).Assign("1.5");
    auto window = Build();
    QCOMPARE(errors_, std::vector<std::string> { Sjis("'1.5' は整数ではありません.") });
    QVERIFY(window->isVisible());
    QChart* amounts = ChartNamed(*window, "Chart1");
    QCOMPARE(int(PointsOf(amounts, "Series6").size()), budgetBars);
    QCOMPARE(int(PointsOf(amounts, "Series1").size()), usedBars);
    QCOMPARE(PointsOf(ChartNamed(*window, "Chart2"), "Series3").size(), size_t(0));
    QCOMPARE(PointsOf(ChartNamed(*window, "Chart3"), "Series2").size(), size_t(0));
    // The curves were complete before the bars.
    QCOMPARE(PointsOf(ChartNamed(*window, "Chart4"), "Series5").size(), size_t(31));
    // The cells before the bad one were filled, the ones after it were not reached.
    CellText (&failing)[20] = inBudget ? ExpenseBudget[1] : DailyTable[1];
    QCOMPARE(failing[row - 1].Str(), std::string("0"));
    QVERIFY(failing[row + 1].Empty());
}

void TestChert::closingHidesTheWindow()
{
    auto window = Build();
    QTest::mouseClick(window->Button1, Qt::LeftButton);
    QVERIFY(window->isHidden());
    auto second = Build();
    second->close();
    QVERIFY(second->isHidden());
    QPointer<TForm5> kept = second.get();
    QApplication::processEvents();
    QVERIFY(!kept.isNull());
    QCOMPARE(PointsOf(ChartNamed(*second, "Chart1"), "Series1").size(), size_t(18));
}

void TestChert::graphButtonBuildsAWindowWithThatMomentsData()
{
    TForm1 form;
    form.StringGrid4->SetCell(2, 18, "1200");
    form.Edit2->SetText("25");
    QTest::mouseClick(form.SpeedButton3, Qt::LeftButton);
    form.StringGrid4->SetCell(3, 18, "800");
    QTest::mouseClick(form.SpeedButton3, Qt::LeftButton);
    QList<TForm5*> windows = form.findChildren<TForm5*>();
    QCOMPARE(windows.size(), 2);
    QCOMPARE(errors_, std::vector<std::string>());
    std::vector<double> first = ValuesOf(ChartNamed(*windows[0], "Chart4"), "Series5");
    std::vector<double> second = ValuesOf(ChartNamed(*windows[1], "Chart4"), "Series5");
    QCOMPARE(first[0], 1200.0);
    QCOMPARE(first[1], 0.0);
    QCOMPARE(second[0], 1200.0);
    QCOMPARE(second[1], 2000.0);
    QVERIFY(windows[0]->Label2->Text().rfind(Sjis("日") + "25 26", 0) == 0);
}

void TestChert::aWindowMadeBehindBuildsWhenShownWhatItWouldHaveDrawnAtOnce()
{
    toolkit::Chart waiting(nullptr, "Chart9", toolkit::Chart::Kind::HorizontalBars, toolkit::Chart::Building::WhenShown);
    waiting.SetTitle({ Sjis("計画") });
    waiting.AddSeries("Series9", Sjis("計画"), red)->Add(5, Sjis("食　費"), green);
    QVERIFY(waiting.chart()->series().isEmpty());
    QVERIFY(waiting.chart()->title().isEmpty());
    waiting.show();
    QCOMPARE(PointsOf(waiting.chart(), "Series9").size(), size_t(1));

    // Every chart with points of both colours and a label at every bar.
    for (int row = 1; row <= 18; ++row) {
        ExpenseBudget[0][row].Assign(Sjis("費目") + std::to_string(row));
        ExpenseBudget[1][row].Assign(std::to_string(1000 * row));
        DailyTable[0][row].Assign(Sjis("費目") + std::to_string(row));
        DailyTable[1][row].Assign(std::to_string(1500 * (row % 3)));
    }
    for (int col = 2; col <= 32; ++col)
        DaySpend[col] = col % 4 == 0 ? 0 : 100 * col;
    PeriodStartText = "25";
    TForm5 atOnce(nullptr);
    TForm5 behind(nullptr, TForm5::Display::Behind);
    QCOMPARE(behind.grab().toImage(), atOnce.grab().toImage());
}

QTEST_MAIN(TestChert)
#include "tst_chert.moc"

// Charts for the windows: a chart with title lines, a value axis, a position axis and a legend,
// and series whose points are added one at a time with a value, a label and a colour. The only
// place that knows Qt Charts; texts come in as Shift-JIS like every other control's.
#pragma once

#include <QChartView>
#include <QColor>
#include <QFont>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAbstractAxis;
class QAreaSeries;
class QGraphicsSimpleTextItem;
class QBarSet;
class QHorizontalBarSeries;
class QPainter;
class QValueAxis;

namespace toolkit {

class Chart;

// One series of a chart. Each point takes the next position (0 for the first, then 1, 2, ...):
// for an area the horizontal coordinate, for horizontal bars the bar's place from the bottom.
class ChartSeries {
public:
    // The value lies along the value axis, the label names the point's position on the
    // position axis, and the colour paints the point.
    void Add(double value, const std::string& label, const QColor& color);
    int Count() const { return count_; }

    // The colour the legend shows, which need not be the colour of the points.
    QColor Color() const { return color_; }

private:
    friend class Chart;
    ChartSeries(Chart& chart, const QColor& color);
    // Puts the point at `position` into the built chart.
    void Put(int position, double value, const std::string& label, const QColor& color);

    Chart& chart_;
    QAreaSeries* area_ = nullptr;  // the Qt series or bar set, once the chart is built
    QBarSet* bars_ = nullptr;
    QColor color_;
    int count_ = 0;
};

class Chart : public QChartView {
    Q_OBJECT
public:
    // Areas over a horizontal position axis, or horizontal bars over a vertical one. The bar
    // series of one chart stand side by side at each position.
    enum class Kind { Area, HorizontalBars };

    // Now: the chart is built as it is told. WhenShown: what it is told waits until it is first
    // shown or rendered, and it is built then; a chart in a window nobody sees yet lays out no
    // text and loads none of its fonts.
    enum class Building { Now, WhenShown };

    // `name` is the layout name; it becomes the object name.
    Chart(QWidget* parent, const char* name, Kind kind, Building building = Building::Now);

    void SetTitle(const std::vector<std::string>& lines);
    void SetTitleFont(const QFont& font, const QColor& color);
    void SetLegend(Qt::Alignment alignment);
    void SetLegendFont(const QFont& font, const QColor& color);
    void HideLegend();
    // The wall behind the points on the side of the vertical axis; the floor stays white.
    void SetWallColor(const QColor& color);

    void SetValueAxisTitle(const std::string& title);
    void SetValueAxisRange(double minimum, double maximum);
    void SetValueAxisLabelsFont(const QFont& font, const QColor& color);
    void SetPositionAxisRange(double minimum, double maximum);
    void SetPositionAxisLabelsFont(const QFont& font, const QColor& color);
    void HidePositionAxis();

    // `name` becomes the object name of the Qt series (an area) or bar set (a bar series).
    ChartSeries* AddSeries(const char* name, const std::string& title, const QColor& color);

    // The label of a position axis category: the text as added, without the invisible marks
    // that keep every position's category distinct.
    static QString VisibleLabel(const QString& category);

    // Draws the chart, laid out at its view's size, into `target` of `painter` with its texts as
    // text, so that a PDF keeps them searchable. Also a chart that was never shown.
    void Render(QPainter& painter, const QRectF& target);

    // The texts drawn beside the bars, one per position from the bottom.
    std::vector<QGraphicsSimpleTextItem*> BarLabels() const { return barLabels_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    friend class ChartSeries;
    // Runs `step` on the Qt chart now, or once the chart is built.
    void Do(std::function<void()> step);
    void Build();
    void SetUp();
    // The position is named by the last label added there.
    void NamePosition(int position, const std::string& label);
    void KeepLegendColors();
    void IncludeValue(double value);
    // `roundNumbers` widens the range to round numbers, with as many ticks as they ask for.
    void SetValueRange(double minimum, double maximum, bool roundNumbers = false);
    void ScheduleBarLabels();
    void SettleBarLabels();
    void ReserveBarLabelRoom();
    void PlaceBarLabels();

    Kind kind_;
    bool built_;
    std::vector<std::function<void()>> pending_;
    QAbstractAxis* positionAxis_ = nullptr;
    QValueAxis* valueAxis_ = nullptr;
    QHorizontalBarSeries* barGroup_ = nullptr;
    bool automaticValues_ = true;
    std::vector<QGraphicsSimpleTextItem*> barLabels_;
    int barLabelRoom_ = 0;
    bool barLabelsPending_ = false;
    std::vector<std::unique_ptr<ChartSeries>> series_;
};

} // namespace toolkit

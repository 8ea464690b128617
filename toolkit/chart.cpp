#include "toolkit/chart.h"

#include "toolkit/controls.h"
#include "toolkit/text.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarLegendMarker>
#include <QBarSet>
#include <QCategoryAxis>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QHorizontalBarSeries>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>

namespace toolkit {

namespace {

// Qt's category axes keep one entry per distinct text and silently drop a repeated one, which
// would move every later bar. Each position's category therefore ends in as many no-break
// spaces as the position plus one: distinct and never null. Qt measures the hidden categories
// at every layout, and a mark missing from the axis font would have it search the other fonts
// for one; the no-break space is in every font the charts use, and no label decoded from
// Shift-JIS contains it.
const QChar positionMark(0x00A0);

QString CategoryOf(const std::string& label, int position)
{
    return FromSjis(label) + QString(position + 1, positionMark);
}

// Between a bar label and the axis line.
constexpr int labelGap = 4;
constexpr int chartMargin = 4;
// Along the value axis, unless the range asks for fewer.
constexpr int valueTicks = 3;

QString Lines(const std::vector<std::string>& lines)
{
    QStringList shown;
    for (const std::string& line : lines)
        shown << FromSjis(line).toHtmlEscaped();
    return shown.join(QStringLiteral("<br>"));
}

} // namespace

ChartSeries::ChartSeries(Chart& chart, const QColor& color)
    : chart_(chart)
    , color_(color)
{
}

void ChartSeries::Add(double value, const std::string& label, const QColor& color)
{
    chart_.Do([this, position = count_++, value, label, color] { Put(position, value, label, color); });
}

void ChartSeries::Put(int position, double value, const std::string& label, const QColor& color)
{
    if (area_) {
        // The area is filled in the colour of its first point; every point keeps its own colour
        // as its point configuration.
        QLineSeries* line = area_->upperSeries();
        line->append(position, value);
        line->setPointConfiguration(position, QXYSeries::PointConfiguration::Color, color);
        if (position == 0) {
            area_->setColor(color);
            area_->setBorderColor(color);
        }
    } else {
        // A bar set has one colour and one selected colour: the first point gives the set its
        // colour, and a point of another colour is drawn as a selected bar in that colour.
        bars_->append(value);
        if (position == 0) {
            bars_->setColor(color);
        } else if (color != bars_->color()) {
            Q_ASSERT(bars_->selectedBars().isEmpty() || bars_->selectedColor() == color);
            bars_->setSelectedColor(color);
            bars_->selectBar(position);
        }
    }
    chart_.NamePosition(position, label);
    chart_.IncludeValue(value);
}

Chart::Chart(QWidget* parent, const char* name, Kind kind, Building building)
    : QChartView(parent)
    , kind_(kind)
    , built_(building == Building::Now)
{
    NameControl(this, name);
    Do([this] { SetUp(); });
}

void Chart::Do(std::function<void()> step)
{
    if (built_)
        step();
    else
        pending_.push_back(std::move(step));
}

void Chart::Build()
{
    if (built_)
        return;
    built_ = true;
    for (const std::function<void()>& step : pending_)
        step();
    pending_.clear();
    // What the steps changed would be laid out from the event loop, after a paint.
    chart()->layout()->activate();
}

void Chart::SetUp()
{
    valueAxis_ = new QValueAxis;
    // The scene shows its new items from the event loop, and a legend shown there has its chart
    // laid out a second time, after the window's first paint: shown now, it is in the one layout
    // that the window's showing makes.
    QCoreApplication::sendPostedEvents(scene(), QEvent::MetaCall);
    // The layout's chart boxes are small: Qt's wide default margins would leave the daily
    // chart a plot a few pixels high and make the view grow past its box.
    chart()->setMargins(QMargins(chartMargin, chartMargin, chartMargin, chartMargin));
    chart()->layout()->setContentsMargins(2, 2, 2, 2);
    // Qt shortens a label that is taller than the room between two bars to "...", which with
    // 18 bars in a box of 345 pixels would be every label.
    valueAxis_->setTruncateLabels(false);
    valueAxis_->setLabelFormat(QStringLiteral("%.0f"));
    SetValueRange(0, 1);
    if (kind_ == Kind::Area) {
        auto* positions = new QCategoryAxis;
        positions->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        positions->setStartValue(-1);
        positionAxis_ = positions;
        chart()->addAxis(positionAxis_, Qt::AlignBottom);
        chart()->addAxis(valueAxis_, Qt::AlignLeft);
    } else {
        // Qt hides every category label that does not fit beside its neighbours, and counts
        // an empty one as text of full height, so with 18 bars in a box of 345 pixels it
        // shows every other label at best and never the lowest. The chart draws the bar labels
        // itself instead, each centred on its place, in the axis' font and colour.
        positionAxis_ = new QBarCategoryAxis;
        positionAxis_->setLabelsVisible(false);
        // Qt shortens hidden labels as well, measuring each one again for every character it
        // takes off: hundreds of text layouts at every layout of the chart, for nothing drawn.
        positionAxis_->setTruncateLabels(false);
        chart()->addAxis(valueAxis_, Qt::AlignBottom);
        chart()->addAxis(positionAxis_, Qt::AlignLeft);
        connect(chart(), &QChart::plotAreaChanged, this, [this] { PlaceBarLabels(); });
    }
}

void Chart::SetTitle(const std::vector<std::string>& lines)
{
    Do([this, title = Lines(lines)] { chart()->setTitle(title); });
}

void Chart::SetTitleFont(const QFont& font, const QColor& color)
{
    Do([this, font, color] {
        chart()->setTitleFont(font);
        chart()->setTitleBrush(color);
    });
}

void Chart::SetLegend(Qt::Alignment alignment)
{
    Do([this, alignment] { chart()->legend()->setAlignment(alignment); });
}

void Chart::SetLegendFont(const QFont& font, const QColor& color)
{
    Do([this, font, color] {
        chart()->legend()->setFont(font);
        chart()->legend()->setLabelColor(color);
    });
}

void Chart::HideLegend()
{
    Do([this] { chart()->legend()->hide(); });
}

void Chart::SetWallColor(const QColor& color)
{
    Do([this, color] {
        chart()->setPlotAreaBackgroundBrush(color);
        chart()->setPlotAreaBackgroundVisible(true);
    });
}

void Chart::SetValueAxisTitle(const std::string& title)
{
    Do([this, title = FromSjis(title)] { valueAxis_->setTitleText(title); });
}

void Chart::SetValueAxisRange(double minimum, double maximum)
{
    Do([this, minimum, maximum] {
        automaticValues_ = false;
        SetValueRange(minimum, maximum);
    });
}

void Chart::SetValueRange(double minimum, double maximum, bool roundNumbers)
{
    valueAxis_->setTickCount(valueTicks);
    valueAxis_->setRange(minimum, maximum);
    if (roundNumbers)
        valueAxis_->applyNiceNumbers();
    // The labels are whole numbers: ticks less than 1 apart would give two of them the same
    // label, as three ticks over the empty range 0 to 1 would. Such a range gets a tick at
    // each whole number instead.
    double span = valueAxis_->max() - valueAxis_->min();
    if (span < valueAxis_->tickCount() - 1)
        valueAxis_->setTickCount(std::max(2, int(span) + 1));
}

void Chart::SetValueAxisLabelsFont(const QFont& font, const QColor& color)
{
    Do([this, font, color] {
        valueAxis_->setLabelsFont(font);
        valueAxis_->setLabelsColor(color);
    });
}

void Chart::SetPositionAxisRange(double minimum, double maximum)
{
    Q_ASSERT(kind_ == Kind::Area);  // a bar chart's positions are its bars
    Do([this, minimum, maximum] { static_cast<QCategoryAxis*>(positionAxis_)->setRange(minimum, maximum); });
}

void Chart::SetPositionAxisLabelsFont(const QFont& font, const QColor& color)
{
    Do([this, font, color] {
        positionAxis_->setLabelsFont(font);
        positionAxis_->setLabelsColor(color);
        for (QGraphicsSimpleTextItem* label : barLabels_) {
            label->setFont(font);
            label->setBrush(color);
        }
        if (!barLabels_.empty())
            ScheduleBarLabels();
    });
}

void Chart::HidePositionAxis()
{
    Do([this] { positionAxis_->setVisible(false); });
}

ChartSeries* Chart::AddSeries(const char* name, const std::string& title, const QColor& color)
{
    series_.push_back(std::unique_ptr<ChartSeries>(new ChartSeries(*this, color)));
    ChartSeries* series = series_.back().get();
    Do([this, series, name = QString::fromLatin1(name), title = FromSjis(title), color] {
        if (kind_ == Kind::Area) {
            auto* area = new QAreaSeries;
            area->setUpperSeries(new QLineSeries(area));  // no lower series: filled down to the floor
            area->setObjectName(name);
            area->setName(title);
            area->setColor(color);
            area->setBorderColor(color);
            chart()->addSeries(area);
            area->attachAxis(positionAxis_);
            area->attachAxis(valueAxis_);
            series->area_ = area;
        } else {
            if (!barGroup_) {
                barGroup_ = new QHorizontalBarSeries;
                chart()->addSeries(barGroup_);
                barGroup_->attachAxis(positionAxis_);
                barGroup_->attachAxis(valueAxis_);
            }
            auto* bars = new QBarSet(title);
            bars->setObjectName(name);
            bars->setColor(color);
            barGroup_->append(bars);
            series->bars_ = bars;
        }
        KeepLegendColors();
    });
    return series;
}

QString Chart::VisibleLabel(const QString& category)
{
    QString label = category;
    while (label.endsWith(positionMark))
        label.chop(1);
    return label;
}

void Chart::NamePosition(int position, const std::string& label)
{
    QString category = CategoryOf(label, position);
    if (kind_ == Kind::Area) {
        auto* axis = static_cast<QCategoryAxis*>(positionAxis_);
        QStringList categories = axis->categoriesLabels();
        if (position < categories.size())
            axis->replaceLabel(categories[position], category);
        else
            axis->append(category, position);
    } else {
        auto* axis = static_cast<QBarCategoryAxis*>(positionAxis_);
        if (position < axis->count())
            axis->replace(axis->at(position), category);
        else
            axis->append(category);
        if (position == int(barLabels_.size())) {
            auto* item = new QGraphicsSimpleTextItem(chart());
            item->setFont(positionAxis_->labelsFont());
            item->setBrush(positionAxis_->labelsBrush());
            barLabels_.push_back(item);
        }
        barLabels_[position]->setText(FromSjis(label));  // plain text, never markup
        ScheduleBarLabels();
    }
}

void Chart::ScheduleBarLabels()
{
    // Every new bar moves all the others, so the labels are measured and placed once the
    // points of this round of events are in, not once for every point.
    if (barLabelsPending_)
        return;
    barLabelsPending_ = true;
    QMetaObject::invokeMethod(
        this, [this] { SettleBarLabels(); }, Qt::QueuedConnection);
}

void Chart::SettleBarLabels()
{
    if (!barLabelsPending_)
        return;
    barLabelsPending_ = false;
    ReserveBarLabelRoom();
    chart()->layout()->activate();
    PlaceBarLabels();
}

void Chart::showEvent(QShowEvent* event)
{
    Build();
    QChartView::showEvent(event);
    // Being shown, the chart has been laid out at its size. What it would still do from the event
    // loop, the bar labels' room and places and the scene's updates, is done now, so that the
    // window's first paint is the chart's only one.
    SettleBarLabels();
    QCoreApplication::sendPostedEvents(scene(), QEvent::MetaCall);
}

void Chart::ReserveBarLabelRoom()
{
    QFontMetrics metrics(positionAxis_->labelsFont());
    int widest = 0;
    for (QGraphicsSimpleTextItem* label : barLabels_)
        widest = std::max(widest, metrics.horizontalAdvance(label->text()));
    int room = widest > 0 ? widest + labelGap : 0;
    if (room == barLabelRoom_)
        return;
    barLabelRoom_ = room;
    chart()->setMargins(QMargins(chartMargin + room, chartMargin, chartMargin, chartMargin));
}

void Chart::PlaceBarLabels()
{
    // The category axis spans half a place below the first bar and above the last.
    const QRectF plot = chart()->plotArea();
    const int count = int(barLabels_.size());
    for (int position = 0; position < count; ++position) {
        QGraphicsSimpleTextItem* label = barLabels_[position];
        QRectF box = label->boundingRect();
        qreal middle = plot.bottom() - (position + 0.5) * plot.height() / count;
        label->setPos(plot.left() - labelGap - box.width(), middle - box.height() / 2);
    }
}

void Chart::Render(QPainter& painter, const QRectF& target)
{
    // A view that was never shown has had no resize event, and the bar labels wait for the event
    // loop: both are settled here, so the chart is drawn as its window would show it.
    Build();
    ReserveBarLabelRoom();
    chart()->resize(size());
    chart()->layout()->activate();
    PlaceBarLabels();
    scene()->render(&painter, target, chart()->geometry());
}

void Chart::IncludeValue(double value)
{
    // Qt sets an axis' range from the series it has when the axis is attached and leaves it
    // there, so an automatic range is widened here as the points come, to round numbers and
    // always from zero, where the bars start and the areas are filled from.
    if (!automaticValues_ || (value >= valueAxis_->min() && value <= valueAxis_->max()))
        return;
    SetValueRange(std::min(valueAxis_->min(), value), std::max(valueAxis_->max(), value), true);
}

void Chart::KeepLegendColors()
{
    // Qt colours a legend entry like its series; ours shows the series colour even where the
    // points have another. Qt rebuilds a bar group's entries when a set joins it, so all
    // entries are set again after every new series that is built.
    for (const auto& series : series_) {
        if (!series->area_ && !series->bars_)
            continue;  // added to a chart that is being built, not yet in it
        if (series->area_) {
            for (QLegendMarker* marker : chart()->legend()->markers(series->area_))
                marker->setBrush(series->color_);
            continue;
        }
        for (QLegendMarker* marker : chart()->legend()->markers(barGroup_)) {
            auto* barMarker = static_cast<QBarLegendMarker*>(marker);
            if (barMarker->barset() == series->bars_)
                marker->setBrush(series->color_);
        }
    }
}

} // namespace toolkit

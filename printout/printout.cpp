#include "printout/printout.h"

#include "app/form1.h"
#include "chert/form5.h"
#include "printout/table.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace printout {

namespace {

// The daily table is printed in two halves, one above the other: the captions, the month's
// totals and days 1 to 16, then the captions and days 17 to 31. Whole, its 31 day labels
// ("12月25日") would not fit across A4 at a readable size.
constexpr int FirstDayCol = 2;
constexpr int SecondHalfCol = 18;
constexpr int LastDayCol = 32;

// The type of the tables, largest first: the largest that fits the page is taken. On A4 the
// daily table's eight points fit; a smaller paper gets a smaller type.
constexpr qreal TableSizes[] = { 8, 7.5, 7, 6.5, 6 };

const QColor FixedFill(232, 232, 232);

QFont PrintFont(qreal points, bool bold = false)
{
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

qreal Mm(const QPainter& painter, qreal millimetres)
{
    return millimetres * painter.device()->logicalDpiX() / 25.4;
}

qreal LineHeight(const QPainter& painter, const QFont& font)
{
    return QFontMetricsF(font, painter.device()).height();
}

// A page's heading, left-aligned at the top; returns where the page's content starts.
qreal DrawHeading(QPainter& painter, const QString& text, qreal points, qreal width)
{
    QFont font = PrintFont(points, true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    qreal height = LineHeight(painter, font);
    painter.drawText(QRectF(0, 0, width, height), Qt::AlignLeft | Qt::AlignVCenter, text);
    return height + Mm(painter, 3);
}

// Where page 1 puts things for one size of type.
struct SheetLayout {
    qreal Points = 0;
    TableStyle Style {};
    qreal HeadingPoints = 0;
    qreal ContentTop = 0;
    qreal TitleHeight = 0;
    qreal HalvesGap = 0;  // between the daily table's two halves
    qreal SmallGap = 0;  // below each of the small grids
    std::vector<qreal> SmallWidths;  // the three small grids: caption, amount
    qreal DailyLeft = 0;
    std::vector<qreal> FirstHalfWidths;
    std::vector<qreal> SecondHalfWidths;
    bool Fits = false;
};

SheetLayout LayOutSheet(QPainter& painter, const TForm1& main, QSizeF page, qreal points)
{
    SheetLayout layout;
    layout.Points = points;
    layout.HeadingPoints = points + 4;
    QFont body = PrintFont(points);
    painter.setFont(body);
    qreal padding = Mm(painter, 0.8);
    layout.ContentTop = LineHeight(painter, PrintFont(layout.HeadingPoints, true)) + Mm(painter, 3);
    // The daily table's rows share the page's height, each at least its text and 1.2 mm, and
    // at most one and three quarter lines.
    const toolkit::StringGrid& daily = *main.StringGrid4;
    const qreal line = LineHeight(painter, body);
    layout.HalvesGap = Mm(painter, 4);
    layout.SmallGap = Mm(painter, 3);
    qreal shared = (page.height() - layout.ContentTop - layout.HalvesGap) / (2 * daily.RowCount());
    qreal rows = std::max(line + Mm(painter, 1.2), std::min(shared, line * 1.75));
    layout.Style = { rows, padding, QPen(Qt::black, Mm(painter, 0.15)), FixedFill };
    layout.TitleHeight = LineHeight(painter, PrintFont(points + 1, true)) + Mm(painter, 1);

    qreal caption = 0;
    qreal amount = 0;
    for (const toolkit::StringGrid* grid : { main.StringGrid1, main.StringGrid3, main.StringGrid2 }) {
        caption = std::max(caption, WidestText(painter, *grid, 0, QString()));
        amount = std::max(amount, WidestText(painter, *grid, 1, QStringLiteral("-00000000")));
    }
    layout.SmallWidths = { caption + 2 * padding, amount + 2 * padding };
    layout.DailyLeft = layout.SmallWidths[0] + layout.SmallWidths[1] + Mm(painter, 5);

    qreal dailyCaption = WidestText(painter, daily, 0, QString()) + 2 * padding;
    qreal total = WidestText(painter, daily, 1, QStringLiteral("0000000")) + 2 * padding;
    qreal dayNeeded = 0;
    for (int col = FirstDayCol; col <= LastDayCol; ++col)
        dayNeeded = std::max(dayNeeded, WidestText(painter, daily, col, QStringLiteral("12月31日")) + 2 * padding);
    const int firstHalfDays = SecondHalfCol - FirstDayCol;
    const int secondHalfDays = LastDayCol + 1 - SecondHalfCol;
    qreal day = (page.width() - layout.DailyLeft - dailyCaption - total) / firstHalfDays;
    layout.FirstHalfWidths = { dailyCaption, total };
    layout.FirstHalfWidths.insert(layout.FirstHalfWidths.end(), firstHalfDays, day);
    layout.SecondHalfWidths = { dailyCaption };
    layout.SecondHalfWidths.insert(layout.SecondHalfWidths.end(), secondHalfDays, day);

    qreal dailyHeight = 2 * daily.RowCount() * rows + layout.HalvesGap;
    qreal smallHeight = 0;
    for (const toolkit::StringGrid* grid : { main.StringGrid1, main.StringGrid3, main.StringGrid2 })
        smallHeight += layout.TitleHeight + grid->RowCount() * rows + layout.SmallGap;
    qreal available = page.height() - layout.ContentTop;
    layout.Fits = day >= dayNeeded && dailyHeight <= available && smallHeight <= available;
    return layout;
}

std::vector<int> Columns(int first, int last, std::vector<int> before = {})
{
    for (int col = first; col <= last; ++col)
        before.push_back(col);
    return before;
}

// Page 1: the period as the heading; down the left the three small grids under their panels'
// captions, as in the window; on the right the daily table in its two halves.
void DrawSheet(QPainter& painter, const TForm1& main, QSizeF page)
{
    SheetLayout layout;
    for (qreal points : TableSizes) {
        layout = LayOutSheet(painter, main, page, points);
        if (layout.Fits)
            break;
    }
    QString period = QStringLiteral("集計期間 ") + main.Edit1->text() + QStringLiteral("月 ") + main.Edit2->text()
        + QStringLiteral("日～1ヶ月間");
    DrawHeading(painter, period, layout.HeadingPoints, page.width());

    qreal top = layout.ContentTop;
    const std::pair<const toolkit::Panel*, const toolkit::StringGrid*> smallGrids[]
        = { { main.Panel2, main.StringGrid1 }, { main.Panel4, main.StringGrid3 }, { main.Panel3, main.StringGrid2 } };
    for (const auto& [panel, grid] : smallGrids) {
        painter.setFont(PrintFont(layout.Points + 1, true));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, top, page.width(), layout.TitleHeight), Qt::AlignLeft | Qt::AlignVCenter,
            toolkit::FromSjis(panel->Caption()));
        top += layout.TitleHeight;
        painter.setFont(PrintFont(layout.Points));
        top += DrawGridTable(painter, *grid, { 0, 1 }, layout.SmallWidths, layout.Style, QPointF(0, top));
        top += layout.SmallGap;
    }

    painter.setFont(PrintFont(layout.Points));
    QPointF corner(layout.DailyLeft, layout.ContentTop);
    corner.ry() += DrawGridTable(painter, *main.StringGrid4, Columns(FirstDayCol, SecondHalfCol - 1, { 0, 1 }),
        layout.FirstHalfWidths, layout.Style, corner);
    corner.ry() += layout.HalvesGap;
    DrawGridTable(painter, *main.StringGrid4, Columns(SecondHalfCol, LastDayCol, { 0 }), layout.SecondHalfWidths,
        layout.Style, corner);
}

// Page 2: the analysis window's title as the heading, then its date, day line and charts where
// the window has them, scaled to the page; its close button is left out.
void DrawAnalysis(QPainter& painter, TForm5& analysis, QSizeF page)
{
    qreal top = DrawHeading(painter, analysis.windowTitle(), TableSizes[0] + 4, page.width());
    const toolkit::Label* labels[] = { analysis.Label1, analysis.Label2 };
    toolkit::Chart* charts[] = { analysis.Chart4, analysis.Chart1, analysis.Chart2, analysis.Chart3 };
    QRect bounds;
    for (const toolkit::Label* label : labels)
        bounds |= label->geometry();
    for (const toolkit::Chart* chart : charts)
        bounds |= chart->geometry();
    qreal scale = std::min(page.width() / bounds.width(), (page.height() - top) / bounds.height());

    painter.save();
    painter.translate(0, top);
    painter.scale(scale, scale);
    painter.translate(-bounds.topLeft());
    for (const toolkit::Label* label : labels) {
        painter.setFont(label->font());
        painter.setPen(label->palette().color(QPalette::WindowText));
        painter.drawText(label->geometry(), int(label->alignment()), label->text());
    }
    for (toolkit::Chart* chart : charts)
        chart->Render(painter, chart->geometry());
    painter.restore();
}

} // namespace

void SetUpPage(QPrinter& printer)
{
    printer.setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    printer.setDocName(QStringLiteral("家計簿"));
}

void PrintMonth(QPrinter& printer, const TForm1& main, TForm5& analysis)
{
    QPainter painter;
    if (!painter.begin(&printer))
        throw toolkit::Failure(toolkit::Sjis("印刷できません"));
    painter.setRenderHint(QPainter::Antialiasing);
    QSizeF page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    DrawSheet(painter, main, page);
    printer.newPage();
    DrawAnalysis(painter, analysis, page);
}

} // namespace printout

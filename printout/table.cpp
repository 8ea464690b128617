#include "printout/table.h"

#include "toolkit/stringgrid.h"
#include "toolkit/text.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace printout {

qreal DrawGridTable(QPainter& painter, const toolkit::StringGrid& grid, const std::vector<int>& cols,
    const std::vector<qreal>& widths, const TableStyle& style, QPointF topLeft)
{
    QPointF corner = topLeft;
    for (int row = 0; row < grid.RowCount(); ++row) {
        corner.setX(topLeft.x());
        for (size_t i = 0; i < cols.size(); ++i) {
            int col = cols[i];
            QRectF cell(corner, QSizeF(widths[i], style.RowHeight));
            bool fixed = col < grid.FixedCols() || row < grid.FixedRows();
            bool caption = (col == 0 && grid.FixedCols() > 0) || (row == 0 && grid.FixedRows() > 0);
            if (fixed)
                painter.fillRect(cell, style.FixedFill);
            painter.setPen(style.Lines);
            painter.drawRect(cell);
            const std::string& text = grid.Cell(col, row);
            if (!text.empty()) {
                QRectF inside = cell.adjusted(style.Padding, 0, -style.Padding, 0);
                painter.save();
                painter.setClipRect(inside);
                painter.setPen(Qt::black);
                int alignment = (caption ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
                painter.drawText(inside, alignment, toolkit::FromSjis(text));
                painter.restore();
            }
            corner.rx() += widths[i];
        }
        corner.ry() += style.RowHeight;
    }
    return corner.y() - topLeft.y();
}

qreal WidestText(const QPainter& painter, const toolkit::StringGrid& grid, int col, const QString& atLeast)
{
    QFontMetricsF metrics(painter.font(), painter.device());
    qreal widest = metrics.horizontalAdvance(atLeast);
    for (int row = 0; row < grid.RowCount(); ++row)
        widest = std::max(widest, metrics.horizontalAdvance(toolkit::FromSjis(grid.Cell(col, row))));
    return widest;
}

} // namespace printout

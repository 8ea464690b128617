// A string grid drawn as a printed table: its rows from the top, in the columns chosen.
#pragma once

#include <QColor>
#include <QPen>
#include <QPointF>
#include <vector>

class QPainter;

namespace toolkit {
class StringGrid;
}

namespace printout {

struct TableStyle {
    qreal RowHeight;
    qreal Padding;  // between a cell's edge and its text
    QPen Lines;
    QColor FixedFill;
};

// Draws rows 0 to RowCount() − 1 of `grid` in the columns `cols`, whose widths are `widths`, from
// `topLeft` with the painter's font. Fixed cells are shaded; the captions of the header row and
// column are left-aligned and every other text right-aligned, as amounts read; each text is
// clipped to its cell. Returns the height drawn.
qreal DrawGridTable(QPainter& painter, const toolkit::StringGrid& grid, const std::vector<int>& cols,
    const std::vector<qreal>& widths, const TableStyle& style, QPointF topLeft);

// The widest of the texts of `grid`'s column `col`, rows 0 to RowCount() − 1, in the painter's
// font, and of `atLeast`.
qreal WidestText(const QPainter& painter, const toolkit::StringGrid& grid, int col, const QString& atLeast);

} // namespace printout

#include "toolkit/stringgrid.h"

#include <QApplication>

#include "toolkit/gridaccessible.h"
#include "toolkit/text.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

namespace toolkit {

namespace {

const std::string EmptyText;

// Grid lines are one pixel wide, to the right of and below each cell.
constexpr int LineWidth = 1;
// Cell text starts two pixels in from the cell's left and top edges.
constexpr int TextInset = 2;

const QColor NormalLineColor(192, 192, 192);
const QColor FixedLineColor(0, 0, 0);
const QColor BevelLight(255, 255, 255);
const QColor BevelDark(128, 128, 128);
const QColor HighlightColor(0, 0, 128);
const QColor HighlightTextColor(255, 255, 255);

} // namespace

StringGrid::StringGrid(QWidget* parent, const char* name)
    : QAbstractScrollArea(parent)
    , fixedColor_(192, 192, 192)
{
    setObjectName(QString::fromLatin1(name));
    InstallGridAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    viewport()->setAutoFillBackground(false);
    Resize(colCount_, rowCount_);
    UpdateScrollBars();
}

void StringGrid::SetShape(int colCount, int rowCount, int fixedCols, int fixedRows)
{
    Resize(colCount, rowCount);
    fixedCols_ = fixedCols;
    fixedRows_ = fixedRows;
    col_ = std::min(fixedCols_, colCount_ - 1);
    row_ = std::min(fixedRows_, rowCount_ - 1);
    leftCol_ = fixedCols_;
    topRow_ = fixedRows_;
    UpdateScrollBars();
    viewport()->update();
}

void StringGrid::SetDefaultColWidth(int width)
{
    defaultColWidth_ = width;
    UpdateScrollBars();
    viewport()->update();
}

void StringGrid::SetDefaultRowHeight(int height)
{
    defaultRowHeight_ = height;
    UpdateScrollBars();
    viewport()->update();
}

void StringGrid::SetRowHeight(int row, int height)
{
    rowHeights_[row] = height;
    UpdateScrollBars();
    viewport()->update();
}

void StringGrid::SetFixedColor(const QColor& color)
{
    fixedColor_ = color;
    viewport()->update();
}

void StringGrid::SetScrollBarsShown(bool shown)
{
    Qt::ScrollBarPolicy policy = shown ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
}

int StringGrid::ColWidth(int) const { return defaultColWidth_; }

int StringGrid::RowHeight(int row) const
{
    auto found = rowHeights_.find(row);
    return found == rowHeights_.end() ? defaultRowHeight_ : found->second;
}

bool StringGrid::InStore(int col, int row) const { return col >= 0 && row >= 0 && col < colCount_ && row < rowCount_; }

StringGrid::Text* StringGrid::Find(int col, int row)
{
    if (InStore(col, row))
        return &cells_[static_cast<size_t>(col) * rowCount_ + row];
    auto found = outside_.find({ col, row });
    return found == outside_.end() ? nullptr : &found->second;
}

const StringGrid::Text* StringGrid::Find(int col, int row) const
{
    return const_cast<StringGrid*>(this)->Find(col, row);
}

const std::string& StringGrid::Cell(int col, int row) const
{
    const Text* text = Find(col, row);
    return text ? text->Bytes : EmptyText;
}

void StringGrid::SetCell(int col, int row, std::string_view text)
{
    Text* cell = Find(col, row);
    if (!cell) {
        if (text.empty())
            return;
        cell = &outside_[{ col, row }];
    }
    if (cell->Bytes == text)
        return;
    if (!cell->Changed) {
        changed_.push_back({ col, row, cell->Bytes });
        cell->Changed = true;
    }
    cell->Bytes.assign(text);
    cell->Decoded = false;
    if (InStore(col, row))
        RequestRepaint();
}

std::vector<StringGrid::ChangedCell> StringGrid::TakeChangedCells()
{
    for (const ChangedCell& changed : changed_)
        if (Text* cell = Find(changed.Col, changed.Row))
            cell->Changed = false;
    return std::exchange(changed_, {});
}

// One repaint of the grid for a run of changes, such as a loaded ledger's: the first change asks
// for it, and the others until it happens ask for nothing more. Finding each cell's rectangle,
// or asking Qt again for each cell, costs more than painting the grid once.
void StringGrid::RequestRepaint()
{
    if (repaintRequested_)
        return;
    repaintRequested_ = true;
    viewport()->update();
}

void StringGrid::Resize(int colCount, int rowCount)
{
    std::vector<Text> old;
    old.swap(cells_);
    int oldCols = old.empty() ? 0 : colCount_;
    int oldRows = old.empty() ? 0 : rowCount_;
    std::map<std::pair<int, int>, Text> oldOutside;
    oldOutside.swap(outside_);
    colCount_ = colCount;
    rowCount_ = rowCount;
    cells_.assign(static_cast<size_t>(colCount) * rowCount, Text {});
    auto keep = [this](int col, int row, Text&& text) {
        if (text.Bytes.empty())
            return;
        if (InStore(col, row))
            cells_[static_cast<size_t>(col) * rowCount_ + row] = std::move(text);
        else
            outside_[{ col, row }] = std::move(text);
    };
    for (int c = 0; c < oldCols; ++c)
        for (int r = 0; r < oldRows; ++r)
            keep(c, r, std::move(old[static_cast<size_t>(c) * oldRows + r]));
    for (auto& [key, text] : oldOutside)
        keep(key.first, key.second, std::move(text));
}

int StringGrid::ColLeft(int col) const
{
    int x = 0;
    if (col < fixedCols_) {
        for (int c = 0; c < col; ++c)
            x += ColWidth(c) + LineWidth;
        return x;
    }
    for (int c = 0; c < fixedCols_; ++c)
        x += ColWidth(c) + LineWidth;
    if (col >= leftCol_) {
        for (int c = leftCol_; c < col; ++c)
            x += ColWidth(c) + LineWidth;
        return x;
    }
    for (int c = col; c < leftCol_; ++c)
        x -= ColWidth(c) + LineWidth;
    return x;
}

int StringGrid::RowTop(int row) const
{
    int y = 0;
    if (row < fixedRows_) {
        for (int r = 0; r < row; ++r)
            y += RowHeight(r) + LineWidth;
        return y;
    }
    for (int r = 0; r < fixedRows_; ++r)
        y += RowHeight(r) + LineWidth;
    if (row >= topRow_) {
        for (int r = topRow_; r < row; ++r)
            y += RowHeight(r) + LineWidth;
        return y;
    }
    for (int r = row; r < topRow_; ++r)
        y -= RowHeight(r) + LineWidth;
    return y;
}

QRect StringGrid::CellRect(int col, int row) const
{
    if (!InStore(col, row))
        return {};
    if ((col >= fixedCols_ && col < leftCol_) || (row >= fixedRows_ && row < topRow_))
        return {};
    return QRect(ColLeft(col), RowTop(row), ColWidth(col), RowHeight(row));
}

QPoint StringGrid::MouseToCell(int x, int y) const
{
    auto locate = [](int position, int fixedCount, int first, int count, auto extent) {
        int edge = 0;
        for (int i = 0; i < fixedCount && i < count; ++i) {
            edge += extent(i) + LineWidth;
            if (position < edge)
                return i;
        }
        for (int i = first; i < count; ++i) {
            edge += extent(i) + LineWidth;
            if (position < edge)
                return i;
        }
        return -1;
    };
    if (x < 0 || y < 0)
        return { -1, -1 };
    int col = locate(x, fixedCols_, leftCol_, colCount_, [this](int c) { return ColWidth(c); });
    int row = locate(y, fixedRows_, topRow_, rowCount_, [this](int r) { return RowHeight(r); });
    if (col < 0 || row < 0)
        return { -1, -1 };
    return { col, row };
}

void StringGrid::MoveTo(int col, int row)
{
    emit SelectCell(col, row);
    SetCurrentCell(col, row);
    AnnounceCurrentCell(*this);
}

void StringGrid::SetCurrentCell(int col, int row)
{
    QRect before = CellRect(col_, row_);
    col_ = col;
    row_ = row;
    ScrollInView(col, row);
    viewport()->update(before);
    viewport()->update(CellRect(col_, row_));
}

void StringGrid::ScrollInView(int col, int row)
{
    if (col >= fixedCols_) {
        if (col < leftCol_)
            horizontalScrollBar()->setValue(col - fixedCols_);
        else
            while (leftCol_ < col && ColLeft(col) + ColWidth(col) > viewport()->width()
                && leftCol_ - fixedCols_ < horizontalScrollBar()->maximum())
                horizontalScrollBar()->setValue(leftCol_ - fixedCols_ + 1);
    }
    if (row >= fixedRows_) {
        if (row < topRow_)
            verticalScrollBar()->setValue(row - fixedRows_);
        else
            while (topRow_ < row && RowTop(row) + RowHeight(row) > viewport()->height()
                && topRow_ - fixedRows_ < verticalScrollBar()->maximum())
                verticalScrollBar()->setValue(topRow_ - fixedRows_ + 1);
    }
}

void StringGrid::UpdateScrollBars()
{
    // The largest first scrollable column (row) that still shows the last one whole.
    auto lastFirst = [](int available, int fixedCount, int count, auto extent) {
        for (int i = 0; i < fixedCount && i < count; ++i)
            available -= extent(i) + LineWidth;
        int first = count;
        while (first > fixedCount && available >= extent(first - 1)) {
            available -= extent(first - 1) + LineWidth;
            --first;
        }
        return std::max(first, fixedCount);
    };
    auto colWidth = [this](int c) { return ColWidth(c); };
    auto rowHeight = [this](int r) { return RowHeight(r); };
    // Measure against the whole client area first: a scroll bar is shown only when the cells do
    // not fit, and then takes its room from the other direction.
    QSize full = maximumViewportSize();
    bool scrolling = horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
    int barExtent = scrolling ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) : 0;
    int width = full.width();
    int height = full.height();
    for (int pass = 0; pass < 2; ++pass) {
        bool needColumns = lastFirst(width, fixedCols_, colCount_, colWidth) > fixedCols_;
        bool needRows = lastFirst(height, fixedRows_, rowCount_, rowHeight) > fixedRows_;
        width = full.width() - (scrolling && needRows ? barExtent : 0);
        height = full.height() - (scrolling && needColumns ? barExtent : 0);
    }
    int maxLeft = lastFirst(width, fixedCols_, colCount_, colWidth);
    int maxTop = lastFirst(height, fixedRows_, rowCount_, rowHeight);
    horizontalScrollBar()->setRange(0, std::max(0, maxLeft - fixedCols_));
    verticalScrollBar()->setRange(0, std::max(0, maxTop - fixedRows_));
    horizontalScrollBar()->setPageStep(1);
    verticalScrollBar()->setPageStep(1);
}

void StringGrid::scrollContentsBy(int, int)
{
    leftCol_ = fixedCols_ + horizontalScrollBar()->value();
    topRow_ = fixedRows_ + verticalScrollBar()->value();
    viewport()->update();
}

void StringGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void StringGrid::DrawCell(QPainter& painter, int col, int row, const QRect& rect) const
{
    bool fixed = col < fixedCols_ || row < fixedRows_;
    bool current = !fixed && col == col_ && row == row_;
    bool highlighted = current && !hasFocus();
    painter.fillRect(rect, highlighted ? HighlightColor : fixed ? fixedColor_ : palette().color(QPalette::Base));
    QColor lineColor = fixed ? FixedLineColor : NormalLineColor;
    painter.setPen(lineColor);
    painter.drawLine(rect.right() + 1, rect.top(), rect.right() + 1, rect.bottom() + 1);
    painter.drawLine(rect.left(), rect.bottom() + 1, rect.right() + 1, rect.bottom() + 1);
    if (fixed) {
        painter.setPen(BevelLight);
        painter.drawLine(rect.left(), rect.top(), rect.right(), rect.top());
        painter.drawLine(rect.left(), rect.top(), rect.left(), rect.bottom());
        painter.setPen(BevelDark);
        painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
        painter.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
    }
    const Text* text = Find(col, row);
    if (text && !text->Bytes.empty()) {
        if (!text->Decoded) {
            text->Shown = FromSjis(text->Bytes);
            text->Decoded = true;
        }
        painter.setPen(highlighted ? HighlightTextColor : palette().color(QPalette::WindowText));
        painter.save();
        painter.setClipRect(rect);
        QFontMetrics metrics(font());
        painter.drawText(rect.left() + TextInset, rect.top() + TextInset + metrics.ascent(), text->Shown);
        painter.restore();
    }
    if (current && hasFocus()) {
        QPen pen(palette().color(QPalette::WindowText), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

void StringGrid::paintEvent(QPaintEvent*)
{
    repaintRequested_ = false;
    QPainter painter(viewport());
    painter.setFont(font());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    QSize size = viewport()->size();
    auto visibleCols = [&] {
        std::vector<int> cols;
        for (int c = 0; c < fixedCols_ && c < colCount_; ++c)
            cols.push_back(c);
        for (int c = leftCol_; c < colCount_ && ColLeft(c) < size.width(); ++c)
            cols.push_back(c);
        return cols;
    }();
    std::vector<int> visibleRows;
    for (int r = 0; r < fixedRows_ && r < rowCount_; ++r)
        visibleRows.push_back(r);
    for (int r = topRow_; r < rowCount_ && RowTop(r) < size.height(); ++r)
        visibleRows.push_back(r);
    for (int c : visibleCols)
        for (int r : visibleRows)
            DrawCell(painter, c, r, QRect(ColLeft(c), RowTop(r), ColWidth(c), RowHeight(r)));
}

void StringGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    QPoint cell = MouseToCell(event->position().toPoint().x(), event->position().toPoint().y());
    pressedCell_ = cell;
    if (cell.x() >= fixedCols_ && cell.y() >= fixedRows_)
        MoveTo(cell.x(), cell.y());
}

void StringGrid::mouseReleaseEvent(QMouseEvent* event)
{
    QPoint position = event->position().toPoint();
    emit MouseUp(position.x(), position.y());
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    pressedCell_ = MouseToCell(event->position().toPoint().x(), event->position().toPoint().y());
    emit DblClick();
}

void StringGrid::keyPressEvent(QKeyEvent* event)
{
    int col = col_;
    int row = row_;
    switch (event->key()) {
    case Qt::Key_Left:
        col = std::max(fixedCols_, col - 1);
        break;
    case Qt::Key_Right:
        col = std::min(colCount_ - 1, col + 1);
        break;
    case Qt::Key_Up:
        row = std::max(fixedRows_, row - 1);
        break;
    case Qt::Key_Down:
        row = std::min(rowCount_ - 1, row + 1);
        break;
    case Qt::Key_Home:
        col = fixedCols_;
        break;
    case Qt::Key_End:
        col = colCount_ - 1;
        break;
    case Qt::Key_PageUp:
        row = fixedRows_;
        break;
    case Qt::Key_PageDown:
        row = rowCount_ - 1;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        DeliverBytes("\r");
        return;
    case Qt::Key_Backspace:
        DeliverBytes("\b");
        return;
    case Qt::Key_Escape:
        DeliverBytes("\x1b");
        return;
    case Qt::Key_Delete:
        // Delete types no character, though X11 gives its key event the text DEL (127).
        return;
    default:
        if (!event->text().isEmpty())
            DeliverText(event->text());
        else
            QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (col != col_ || row != row_)
        MoveTo(col, row);
}

void StringGrid::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty())
        DeliverText(event->commitString());
    event->accept();
}

QVariant StringGrid::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return CellRect(col_, row_);
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void StringGrid::DeliverText(const QString& text)
{
    // A character the ledger cannot hold would be stored as "?": the key is refused instead.
    if (!HasSjisForm(text)) {
        QApplication::beep();
        emit Refused();
        return;
    }
    DeliverBytes(ToSjis(text));
}

void StringGrid::DeliverBytes(const std::string& bytes)
{
    for (char byte : bytes)
        emit KeyPress(byte);
}

void StringGrid::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
    AnnounceCurrentCell(*this);
}

void StringGrid::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
    // Switching to another window, a popup or the menu bar is no exit from the grid.
    Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason)
        emit Exit();
}

} // namespace toolkit

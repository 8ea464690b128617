// The classic string grid: a sparse cell store keyed by (column, row) that keeps cells outside the
// shown size, fixed rows and columns, exact pixel geometry and events as signals. Painted by us;
// no in-place editor. Cell text is Shift-JIS bytes, decoded only to be drawn.
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QPoint>
#include <QRect>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace toolkit {

class StringGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    // `name` is the layout name; it becomes the object name. To assistive technology the grid is
    // a table of its cells (gridaccessible.h).
    StringGrid(QWidget* parent, const char* name);

    void SetShape(int colCount, int rowCount, int fixedCols, int fixedRows);
    void SetDefaultColWidth(int width);
    void SetDefaultRowHeight(int height);
    void SetRowHeight(int row, int height);
    void SetFixedColor(const QColor& color);
    void SetScrollBarsShown(bool shown);

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    int FixedCols() const { return fixedCols_; }
    int FixedRows() const { return fixedRows_; }
    QColor FixedColor() const { return fixedColor_; }
    int ColWidth(int col) const;
    int RowHeight(int row) const;

    // A cell never set reads as "". Any (column, row) can be set, shown or not.
    const std::string& Cell(int col, int row) const;
    void SetCell(int col, int row, std::string_view text);

    // The cells whose text changed since the last call, each once, with the text it had before its
    // first change since then (a change back to that text still counts).
    struct ChangedCell {
        int Col;
        int Row;
        std::string Before;
    };
    std::vector<ChangedCell> TakeChangedCells();

    // The current (selected) cell; fixed cells are never current.
    int Col() const { return col_; }
    int Row() const { return row_; }
    // Makes (col, row) the current cell, scrolled into view, as the program does it: no SelectCell.
    void SetCurrentCell(int col, int row);

    // The cell under a point of the grid's client area, or (-1, -1) below or right of the cells.
    QPoint MouseToCell(int x, int y) const;
    // The cell's rectangle in the client area (as scrolled now); empty when scrolled out of view.
    QRect CellRect(int col, int row) const;

    // The cell under the last press of the left button, fixed cells included; (-1, -1) when it was
    // outside every cell.
    QPoint PressedCell() const { return pressedCell_; }

    int LeftCol() const { return leftCol_; }
    int TopRow() const { return topRow_; }

signals:
    void SelectCell(int col, int row);  // before the selection moves
    void KeyPress(char key);            // one Shift-JIS byte; Enter 13, Backspace 8, Escape 27
    void MouseUp(int x, int y);         // client coordinates, any button
    void DblClick();
    void Exit();                        // the focus moved to another control of the window
    void Refused();                     // a character without a Shift-JIS form: nothing delivered

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct Text {
        std::string Bytes;
        mutable QString Shown;
        mutable bool Decoded = false;
        bool Changed = false;  // listed in changed_
    };

    bool InStore(int col, int row) const;
    Text* Find(int col, int row);
    const Text* Find(int col, int row) const;
    void Resize(int colCount, int rowCount);
    void MoveTo(int col, int row);
    void ScrollInView(int col, int row);
    void UpdateScrollBars();
    void RequestRepaint();
    void DeliverBytes(const std::string& bytes);
    // Typed text: its bytes, or the bell and Refused when a character has no Shift-JIS form.
    void DeliverText(const QString& text);
    int ColLeft(int col) const;
    int RowTop(int row) const;
    void DrawCell(class QPainter& painter, int col, int row, const QRect& rect) const;

    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    std::map<int, int> rowHeights_;
    QColor fixedColor_;
    int col_ = 1;
    int row_ = 1;
    int leftCol_ = 1;
    int topRow_ = 1;
    std::vector<Text> cells_;  // columns 0..colCount-1 by rows 0..rowCount-1, column-major
    std::map<std::pair<int, int>, Text> outside_;
    std::vector<ChangedCell> changed_;
    bool repaintRequested_ = false;
    QPoint pressedCell_ { -1, -1 };  // a whole repaint is asked for and has not happened yet
};

} // namespace toolkit

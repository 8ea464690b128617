#include "toolkit/gridaccessible.h"

#include "toolkit/stringgrid.h"
#include "toolkit/text.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <map>
#include <utility>

namespace toolkit {

namespace {

// One cell. Row 0 of a grid with fixed rows is its column header row, column 0 of a grid with
// fixed columns its row header column.
class GridCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    GridCell(const StringGrid* grid, int col, int row)
        : grid_(grid)
        , col_(col)
        , row_(row)
    {
    }

    bool isValid() const override { return grid_ && col_ < grid_->ColCount() && row_ < grid_->RowCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return grid_ ? grid_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(const_cast<StringGrid*>(grid_.data()));
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override { }

    // The name says where the cell is and what it holds, "食　費, 12月25日, 4200", so that moving
    // from cell to cell is heard in full; the value is the text alone.
    QString text(QAccessible::Text kind) const override
    {
        if (!isValid())
            return {};
        if (kind == QAccessible::Value)
            return Shown(col_, row_);
        if (kind != QAccessible::Name)
            return {};
        QStringList parts;
        if (HasRowHeader())
            parts << Shown(0, row_);
        if (HasColumnHeader())
            parts << Shown(col_, 0);
        parts << Shown(col_, row_);
        parts.removeAll(QString());
        return parts.join(QStringLiteral(", "));
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        QRect cell = grid_->CellRect(col_, row_);
        if (cell.isEmpty())
            return {};
        return QRect(grid_->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }

    QAccessible::Role role() const override
    {
        if (grid_ && grid_->FixedRows() > 0 && row_ == 0)
            return QAccessible::ColumnHeader;
        if (grid_ && grid_->FixedCols() > 0 && col_ == 0 && row_ >= grid_->FixedRows())
            return QAccessible::RowHeader;
        return QAccessible::Cell;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            return state;
        bool fixed = col_ < grid_->FixedCols() || row_ < grid_->FixedRows();
        state.focusable = !fixed;
        state.selectable = !fixed;
        state.selected = isSelected();
        state.focused = state.selected && grid_->hasFocus();
        state.invisible = grid_->CellRect(col_, row_).isEmpty();
        state.offscreen = state.invisible;
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override { return grid_ && grid_->Col() == col_ && grid_->Row() == row_; }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override { return col_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    bool HasRowHeader() const { return grid_->FixedCols() > 0 && col_ > 0; }
    bool HasColumnHeader() const { return grid_->FixedRows() > 0 && row_ > 0; }
    QString Shown(int col, int row) const { return FromSjis(grid_->Cell(col, row)); }

    QPointer<const StringGrid> grid_;
    int col_;
    int row_;
};

// The grid itself: its cells in rows and columns as Qt's table interface counts them, (row,
// column), while the grid counts (column, row). The current cell is the one selected cell.
class GridTable : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridTable(StringGrid* grid)
        : QAccessibleWidget(grid, QAccessible::Table)
    {
    }

    ~GridTable() override
    {
        for (const auto& [cell, id] : cells_)
            QAccessible::deleteAccessibleInterface(id);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override { return rowCount() * columnCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        return cellAt(index / columnCount(), index % columnCount());
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
        if (!cell || child->parent() != this)
            return -1;
        return cell->rowIndex() * columnCount() + cell->columnIndex();
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        QPoint point = Grid()->viewport()->mapFromGlobal(QPoint(x, y));
        QPoint cell = Grid()->MouseToCell(point.x(), point.y());
        return cell.x() < 0 ? nullptr : cellAt(cell.y(), cell.x());
    }
    QAccessibleInterface* focusChild() const override
    {
        return Grid()->hasFocus() ? cellAt(Grid()->Row(), Grid()->Col()) : nullptr;
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return nullptr;
        auto found = cells_.find({ column, row });
        if (found == cells_.end())
            found = cells_
                        .emplace(std::make_pair(column, row),
                            QAccessible::registerAccessibleInterface(new GridCell(Grid(), column, row)))
                        .first;
        return QAccessible::accessibleInterface(found->second);
    }
    int selectedCellCount() const override { return 1; }
    QList<QAccessibleInterface*> selectedCells() const override { return { cellAt(Grid()->Row(), Grid()->Col()) }; }
    QString columnDescription(int column) const override
    {
        return Grid()->FixedRows() > 0 ? FromSjis(Grid()->Cell(column, 0)) : QString();
    }
    QString rowDescription(int row) const override
    {
        return Grid()->FixedCols() > 0 ? FromSjis(Grid()->Cell(0, row)) : QString();
    }
    int columnCount() const override { return Grid()->ColCount(); }
    int rowCount() const override { return Grid()->RowCount(); }
    // A grid selects one cell, never a whole row or column.
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override { }

private:
    const StringGrid* Grid() const { return static_cast<const StringGrid*>(widget()); }

    mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;  // (column, row)
};

QList<QAccessibleInterface*> GridCell::columnHeaderCells() const
{
    if (!isValid() || !HasColumnHeader())
        return {};
    return { parent()->tableInterface()->cellAt(0, col_) };
}

QList<QAccessibleInterface*> GridCell::rowHeaderCells() const
{
    if (!isValid() || !HasRowHeader())
        return {};
    return { parent()->tableInterface()->cellAt(row_, 0) };
}

QAccessibleInterface* GridFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(StringGrid::staticMetaObject.className()))
        if (auto* grid = qobject_cast<StringGrid*>(object))
            return new GridTable(grid);
    return nullptr;
}

} // namespace

void InstallGridAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(GridFactory);
}

void AnnounceCurrentCell(const StringGrid& grid)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface* cell = QAccessible::queryAccessibleInterface(const_cast<StringGrid*>(&grid))
                                     ->tableInterface()
                                     ->cellAt(grid.Row(), grid.Col());
    if (!cell)
        return;
    QAccessibleEvent selection(cell, QAccessible::Selection);
    QAccessible::updateAccessibility(&selection);
    if (grid.hasFocus()) {
        QAccessibleEvent focus(cell, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

} // namespace toolkit

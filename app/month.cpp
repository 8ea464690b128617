#include "app/month.h"

#include "app/form1.h"
#include "ledger/tables.h"
#include "toolkit/text.h"
#include "undo/packing.h"

#include <QApplication>

using undo::Packing;
using undo::Place;
using undo::Recorder;
using undo::Unpacking;
using Part = Recorder::Part;

namespace {

template <class Control>
void WatchText(Recorder& recorder, Control& control)
{
    recorder.WatchValue([&control] { return control.Text(); },
        [&control](const std::string& text) { control.SetText(text); }, Part::Content);
}

GridCell UnpackCell(Unpacking& packed)
{
    int col = packed.Int();
    return { col, packed.Int() };
}

} // namespace

Recorder WatchMonth(TForm1& form)
{
    Recorder recorder;
    toolkit::StringGrid* grids[]
        = { form.StringGrid1, form.StringGrid2, form.StringGrid3, form.StringGrid4, form.StringGrid5 };
    for (toolkit::StringGrid* grid : grids)
        // The list grid holds a copy of a list to work on; only typing into it makes a step.
        recorder.WatchGrid(*grid, grid == form.StringGrid5 ? Part::Working : Part::Content);
    recorder.WatchArea(IncomeBudget, sizeof IncomeBudget, sizeof(CellText), Part::Content);
    recorder.WatchArea(ExpenseBudget, sizeof ExpenseBudget, sizeof(CellText), Part::Content);
    recorder.WatchArea(DailyTable, sizeof DailyTable, sizeof(CellText), Part::Content);
    recorder.WatchArea(DetailLists, sizeof DetailLists, sizeof(CellText), Part::Content);
    WatchText(recorder, *form.Memo1);
    WatchText(recorder, *form.Edit1);
    WatchText(recorder, *form.Edit2);
    recorder.WatchValue(
        [] {
            Packing packing;
            packing.Int(IncomeTotal).Int(ProjectedSpending).Text(PeriodStartText);
            for (int32_t spent : DaySpend)
                packing.Int(spent);
            return std::move(packing).Packed();
        },
        [](const std::string& text) {
            Unpacking packed(text);
            IncomeTotal = packed.Int();
            ProjectedSpending = packed.Int();
            PeriodStartText = packed.Text();
            for (int32_t& spent : DaySpend)
                spent = packed.Int();
        },
        Part::Content);
    WatchEntryText(recorder, form.EntryText);
    recorder.WatchValue(
        [&form, grids] {
            Packing packing;
            for (const GridCell* cell : { &form.StatusCell, &form.DayCell, &form.ItemCell })
                packing.Int(cell->Col).Int(cell->Row);
            for (toolkit::StringGrid* grid : grids)
                packing.Int(grid->Col()).Int(grid->Row());
            return std::move(packing).Packed();
        },
        [&form, grids](const std::string& text) {
            Unpacking packed(text);
            for (GridCell* cell : { &form.StatusCell, &form.DayCell, &form.ItemCell })
                *cell = UnpackCell(packed);
            for (toolkit::StringGrid* grid : grids) {
                GridCell current = UnpackCell(packed);
                if (current.Col != grid->Col() || current.Row != grid->Row())
                    grid->SetCurrentCell(current.Col, current.Row);
            }
        },
        Part::Cursor);
    recorder.WatchValue(
        [&form] {
            GridCell list = form.OpenList.value_or(GridCell { -1, -1 });
            return std::move(Packing().Int(list.Col).Int(list.Row)).Packed();
        },
        [&form](const std::string& text) {
            Unpacking packed(text);
            GridCell list = UnpackCell(packed);
            form.OpenList = list.Col < 0 ? std::nullopt : std::optional<GridCell>(list);
        },
        Part::Working);
    // Only a new month changes the name a save goes to; an undo of another step keeps a name given
    // since.
    recorder.WatchValue(
        [&form] {
            toolkit::FileDialog::Names names = form.SaveDialog1.KeptNames();
            return std::move(Packing().Text(names.Chosen.toStdString()).Text(names.Offered.toStdString())).Packed();
        },
        [&form](const std::string& text) {
            Unpacking packed(text);
            QString chosen = QString::fromStdString(packed.Text());
            form.SaveDialog1.KeepNames({ chosen, QString::fromStdString(packed.Text()) });
        },
        Part::Kept);
    return recorder;
}

MonthHistory::MonthHistory(TForm1& form)
    : QObject(&form)
    , form_(form)
    , recorder_(WatchMonth(form))
    , history_(recorder_, [this](const toolkit::Action& action, const std::optional<Place>& typedInto) {
        return NameStep(action, typedInto);
    })
{
    // Leaving the place typed into ends its step.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
        if (old && old->window() == &form_)
            history_.EndTyping();
    });
}

QString MonthHistory::NameStep(const toolkit::Action&, const std::optional<Place>& typedInto) const
{
    if (typedInto) {
        QString place;
        if (typedInto->From == Place::Grid)
            place = CellName(*typedInto);
        else {
            QWidget* texts[] = { form_.Memo1, form_.Edit1, form_.Edit2 };
            place = texts[typedInto->Index]->accessibleName();
        }
        return place + QStringLiteral(" の入力");
    }
    // A command without a name of its own: the list's OK, or the confirmation of the list on screen
    // before another command.
    if (form_.OpenList)
        return ListName(*form_.OpenList);
    return QStringLiteral("合計の再計算");
}

// "財　布", "食　費 12月3日", "食　費 12月3日の明細": a cell by the captions of its row and column.
QString MonthHistory::CellName(const Place& cell) const
{
    toolkit::StringGrid& grid = recorder_.GridAt(cell.Index);
    int col = cell.A;
    int row = cell.B;
    if (&grid == form_.StringGrid5)
        return form_.OpenList ? ListName(*form_.OpenList) : grid.accessibleName();
    bool caption = col < grid.FixedCols() || row < grid.FixedRows();
    QString rowCaption = toolkit::FromSjis(grid.Cell(0, row));
    if (caption || rowCaption.isEmpty())
        return grid.accessibleName();
    if (&grid != form_.StringGrid4)
        return rowCaption;
    return rowCaption + QLatin1Char(' ') + DayLabel(col);
}

QString MonthHistory::ListName(const GridCell& cell) const
{
    QString rowCaption = toolkit::FromSjis(form_.StringGrid4->Cell(0, cell.Row));
    QString day = DayLabel(cell.Col);
    return (rowCaption.isEmpty() ? day : rowCaption + QLatin1Char(' ') + day) + QStringLiteral("の明細");
}

// The column's label, "12月3日"; without a period, "3日目".
QString MonthHistory::DayLabel(int col) const
{
    const std::string& label = form_.StringGrid4->Cell(col, 0);
    if (!label.empty())
        return toolkit::FromSjis(label);
    return QString::number(col - 1) + QStringLiteral("日目");
}

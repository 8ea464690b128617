#include "app/editorhistory.h"

#include "toolkit/failure.h"
#include "toolkit/stringgrid.h"
#include "undo/packing.h"

#include <QApplication>
#include <QShortcut>

namespace {

undo::Recorder WatchEditor(toolkit::StringGrid& grid, EntryBuffer& entry, GridCell& entryCell)
{
    using Part = undo::Recorder::Part;
    undo::Recorder recorder;
    recorder.WatchGrid(grid, Part::Content);
    WatchEntryText(recorder, entry);
    recorder.WatchValue(
        [&grid, &entryCell] {
            return std::move(undo::Packing().Int(entryCell.Col).Int(entryCell.Row).Int(grid.Col()).Int(grid.Row()))
                .Packed();
        },
        [&grid, &entryCell](const std::string& text) {
            undo::Unpacking packed(text);
            entryCell.Col = packed.Int();
            entryCell.Row = packed.Int();
            int col = packed.Int();
            int row = packed.Int();
            if (col != grid.Col() || row != grid.Row())
                grid.SetCurrentCell(col, row);
        },
        Part::Cursor);
    return recorder;
}

} // namespace

EditorHistory::EditorHistory(QWidget& editor, toolkit::StringGrid& grid, EntryBuffer& entry, GridCell& entryCell)
    : QObject(&editor)
    , recorder_(WatchEditor(grid, entry, entryCell))
    , history_(recorder_, [](const toolkit::Action&, const std::optional<undo::Place>&) { return QString(); })
{
    auto bind = [this, &editor](QKeySequence keys, bool (undo::History::*command)()) {
        auto* shortcut = new QShortcut(keys, &editor);
        connect(shortcut, &QShortcut::activated, this,
            [this, command] { toolkit::Guard(toolkit::Shows, [&] { (history_.*command)(); }); });
    };
    bind(QKeySequence(Qt::CTRL | Qt::Key_Z), &undo::History::Undo);
    bind(QKeySequence(Qt::CTRL | Qt::Key_Y), &undo::History::Redo);
    bind(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &undo::History::Redo);
    // Leaving the grid ends the step of the keys typed into it.
    connect(qApp, &QApplication::focusChanged, this, [this, &grid](QWidget* old, QWidget*) {
        if (old == &grid)
            history_.EndTyping();
    });
}

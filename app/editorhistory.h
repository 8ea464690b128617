// A budget editor's own undo: the typing into its grid, taken back with Ctrl+Z and done again with
// Ctrl+Y or Ctrl+Shift+Z while the editor is open. The history ends when the editor goes; the
// editor's OK is a step of the main window's history, not of this one.
#pragma once

#include "app/entry.h"
#include "undo/history.h"
#include "undo/recorder.h"

#include <QObject>

class QWidget;

class EditorHistory : public QObject {
    Q_OBJECT
public:
    // Watches `grid` and the editor's entry state from now on; the keys act in `editor`.
    EditorHistory(QWidget& editor, toolkit::StringGrid& grid, EntryBuffer& entry, GridCell& entryCell);

    undo::History& Steps() { return history_; }

private:
    undo::Recorder recorder_;
    undo::History history_;
};

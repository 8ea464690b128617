// The month on screen as a whole, and its undo history. The month is everything of the main window
// and of the tables that the user sees or saves: the five grids' cells, shown or not; the ledger
// tables; the memo and the period fields; the figures handed between windows; the entry text, the
// entry cells, the grids' current cells and the list on screen; and the name the ledger is saved
// under. Undo gives all of it back as it was, so the bytes a save would write too. The handlers know
// nothing of it: the guard reports each action, and the history sees what it changed.
#pragma once

#include "app/entry.h"
#include "undo/history.h"
#include "undo/recorder.h"

#include <QObject>
#include <QString>

class TForm1;

// Every piece of the month, watched.
undo::Recorder WatchMonth(TForm1& form);

class MonthHistory : public QObject {
    Q_OBJECT
public:
    // The history starts from the month as it is now.
    explicit MonthHistory(TForm1& form);

    undo::History& Steps() { return history_; }

private:
    QString NameStep(const toolkit::Action& action, const std::optional<undo::Place>& typedInto) const;
    QString CellName(const undo::Place& cell) const;
    QString ListName(const GridCell& cell) const;
    QString DayLabel(int col) const;

    TForm1& form_;
    undo::Recorder recorder_;
    undo::History history_;
};

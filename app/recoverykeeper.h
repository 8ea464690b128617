// Keeps the month on screen in this Kivelo's recovery file (ledger/recovery.h) while it holds work
// not saved: at once after a command that changed the month (a list's OK, an editor's OK, the
// period's OK, a new month), and within half a second of any other change, such as keys typed. The
// month is taken on the interface thread after the action's repaint, and written and flushed by a
// thread of its own, so that no key or click waits for the disk. The file goes once the month is
// saved or given up, and at a normal exit; a request from outside to end (SIGTERM, SIGHUP, the end
// of the session) keeps it and ends the program without a question.
#pragma once

#include "toolkit/actions.h"

#include <QObject>
#include <QTimer>
#include <memory>

class TForm1;
class RecoveryWriter;

class RecoveryKeeper : public QObject, public toolkit::ActionWatcher {
    Q_OBJECT
public:
    explicit RecoveryKeeper(TForm1& form);
    ~RecoveryKeeper() override;

    // Writes the month now and waits until it is on disk, or takes the file away when there is no
    // work to keep.
    void KeepNow();
    // Takes the file away and waits until it has gone.
    void Forget();

    void ActionStarts(const toolkit::Action& action) override;
    void ActionEnds(const toolkit::Action& action) override;

private:
    void Keep();
    bool HoldsUnsavedWork() const;

    TForm1& form_;
    std::unique_ptr<RecoveryWriter> writer_;
    QTimer soon_;
    int depth_ = 0;
    uint64_t keptRevision_ = 0;
    bool fileKept_ = false;  // the file holds a month, or is about to
};

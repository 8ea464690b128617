// The undo history of what a Recorder watches. It watches the user's actions as the guard reports
// them (toolkit/actions.h) and makes steps of what they change:
// - a command (Effect::Changes) that changes content is a step of its own;
// - keys typed into one place, one after another, are one step, until another action runs;
// - what looking, picking and opening change (Effect::Shows), and what changes between actions,
//   belongs to the step before, so that each step ends with the state the user saw then; before
//   the first step, it goes into the first step, but for where the user is, which is where the
//   history starts from.
// Undo writes back the state before the last step, redo the state after the next one; a new step
// drops the steps that could have been redone. Steps keep differences only. Knows nothing about
// the ledger.
#pragma once

#include "toolkit/actions.h"
#include "undo/changes.h"
#include "undo/recorder.h"

#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace undo {

class History : public toolkit::ActionWatcher {
public:
    // What the step of an action is called. Asked when a command without a name of its own starts
    // (everything is still as before it), and when keys were typed, with the place typed into.
    using Namer = std::function<QString(const toolkit::Action& action, const std::optional<Place>& typedInto)>;

    static constexpr size_t DefaultMemoryLimit = size_t(32) << 20;

    // Starts from the state as it is now. The oldest steps go while the history takes more than
    // `memoryLimit`.
    History(Recorder& recorder, Namer namer, size_t memoryLimit = DefaultMemoryLimit);
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // False when there is nothing to undo (redo).
    bool Undo();
    bool Redo();
    // The name of the step that Undo (Redo) would take back (do again); empty when there is none.
    QString UndoName() const;
    QString RedoName() const;
    int UndoCount() const { return int(done_); }
    int RedoCount() const { return int(steps_.size() - done_); }

    // The state now is the one saved. Undoing or redoing back to it makes AtSaved() true again.
    void MarkSaved();
    bool AtSaved() const;

    // A new, empty history, from the state as it is when the running action ends (at once when
    // none runs): the data was replaced, by a file opened or recovered.
    void Restart();

    // The start is the state as it is now, unless a step was made already: what the first showing
    // of a window filled in is no step that the user could take back.
    void StartHere();

    // The keys typed next start a step of their own: the user left the place typed into.
    void EndTyping() { typingOpen_ = false; }

    // Told whenever the steps or the position in them may have changed.
    void OnChanged(std::function<void()> told) { changed_ = std::move(told); }

    size_t Memory() const { return memory_; }
    // Grows whenever what the history watches changes, where the user is aside.
    uint64_t Revision() const { return revision_; }

    void ActionStarts(const toolkit::Action& action) override;
    void ActionEnds(const toolkit::Action& action) override;

private:
    struct Step {
        uint64_t Id;
        QString Name;
        Changes Diff;
        std::optional<Place> Typed;  // the place typed into, for a typing step
        size_t Memory = 0;
    };
    struct Running {
        toolkit::Action Action;
        QString Name;
        // The text a control changed before it told of the keys typed into it (an edit, the memo).
        Changes ToldAfter;
    };

    // What changed since the last look; nothing while the data is being replaced, whose new history
    // starts from where the replacement ends.
    Changes Look();
    void Settle(Changes changes, const Running* action);
    void Type(Changes changes, const Running& action);
    void AddToTyping(Changes changes);
    void Push(Changes changes, const QString& name, std::optional<Place> typed);
    void Absorb(Changes drift);
    void Measure(Step& step);
    void Trim();
    std::optional<Place> TypedPlace(const Changes& changes) const;
    uint64_t Position() const { return done_ > 0 ? steps_[done_ - 1].Id : baseId_; }
    void Tell() const;

    Recorder& recorder_;
    Namer namer_;
    size_t memoryLimit_;
    std::deque<Step> steps_;  // done: [0, done_); could be redone: [done_, end)
    size_t done_ = 0;
    // Before the first step: what changed since the start that belongs to no step yet; it goes into
    // the first step, made or redone.
    Changes pending_;
    bool typingOpen_ = false;  // the last done step takes the next keys typed into its place
    std::vector<Running> running_;
    bool restartPending_ = false;
    uint64_t nextId_ = 1;
    uint64_t baseId_ = 0;   // the position before the first step kept
    uint64_t savedId_ = 0;  // the position saved last
    size_t memory_ = 0;
    uint64_t revision_ = 0;
    std::function<void()> changed_;
};

} // namespace undo

#include "undo/history.h"

#include <algorithm>

namespace undo {

using Part = Recorder::Part;
using toolkit::Effect;

History::History(Recorder& recorder, Namer namer, size_t memoryLimit)
    : recorder_(recorder)
    , namer_(std::move(namer))
    , memoryLimit_(memoryLimit)
{
    recorder_.Resync();
    toolkit::AddActionWatcher(this);
}

History::~History() { toolkit::RemoveActionWatcher(this); }

void History::ActionStarts(const toolkit::Action& action)
{
    // What changed since the last action, or in the running one before this part of it. An edit and
    // the memo tell of the keys typed into them after their text changed: that change is the keys'.
    Changes changes;
    Running started { action, {}, {} };
    for (Change& change : Look()) {
        bool toldAfter = action.Kind == Effect::Types && running_.empty() && change.Where.From == Place::Value
            && recorder_.PartOf(change.Where) == Part::Content;
        (toldAfter ? started.ToldAfter : changes).push_back(std::move(change));
    }
    Settle(std::move(changes), running_.empty() ? nullptr : &running_.back());
    if (action.Kind == Effect::Changes)
        started.Name = action.Name ? QString::fromUtf8(action.Name) : namer_(action, std::nullopt);
    running_.push_back(started);
}

void History::ActionEnds(const toolkit::Action&)
{
    if (running_.empty())  // it started before this history
        return;
    Running ended = running_.back();
    running_.pop_back();
    Settle(Merge(ended.ToldAfter, Look()), &ended);
    if (running_.empty())
        restartPending_ = false;
    Tell();
}

Changes History::Look()
{
    if (!restartPending_)
        return recorder_.Collect();
    recorder_.Resync();
    return {};
}

// Makes what changed since the last look part of the history, as the action that changed it says.
void History::Settle(Changes changes, const Running* action)
{
    if (restartPending_)  // the data is being replaced: the new history starts from what it ends with
        return;
    if (!action) {
        Absorb(std::move(changes));
        return;
    }
    switch (action->Action.Kind) {
    case Effect::Types:
        Type(std::move(changes), *action);
        return;
    case Effect::Changes:
        if (recorder_.ChangesContent(changes)) {
            Push(std::move(changes), action->Name, std::nullopt);
            return;
        }
        break;
    case Effect::Shows:
        break;
    }
    Absorb(std::move(changes));
    EndTyping();
}

void History::Type(Changes changes, const Running& action)
{
    std::optional<Place> place = TypedPlace(changes);
    if (!place) {  // Enter, or Backspace with nothing typed: the place typed into stays
        if (typingOpen_)
            AddToTyping(std::move(changes));
        else
            Absorb(std::move(changes));
        return;
    }
    if (typingOpen_ && steps_[done_ - 1].Typed == place) {
        AddToTyping(std::move(changes));
        return;
    }
    Push(std::move(changes), namer_(action.Action, place), place);
    typingOpen_ = true;
}

// Keys typed on into the same place. Typing that ends where it began, such as Escape after the
// first keys, leaves no step; what else it changed goes to the step before.
void History::AddToTyping(Changes changes)
{
    Step& step = steps_[done_ - 1];
    step.Diff = Merge(step.Diff, changes);
    DropUnchanged(step.Diff);
    ++revision_;
    if (recorder_.ChangesContent(step.Diff) || TypedPlace(step.Diff)) {
        Measure(step);
        return;
    }
    Changes left = std::move(step.Diff);
    memory_ -= step.Memory;
    steps_.pop_back();
    --done_;
    typingOpen_ = false;
    Absorb(std::move(left));
}

void History::Push(Changes changes, const QString& name, std::optional<Place> typed)
{
    EndTyping();
    if (done_ == 0) {
        changes = Merge(pending_, changes);
        pending_.clear();
        DropUnchanged(changes);
    }
    if (changes.empty())
        return;
    for (size_t redo = done_; redo < steps_.size(); ++redo)
        memory_ -= steps_[redo].Memory;
    steps_.resize(done_, Step { 0, {}, {}, {}, 0 });
    steps_.push_back({ nextId_++, name, std::move(changes), typed, 0 });
    ++done_;
    ++revision_;
    Measure(steps_.back());
    Trim();
}

// Changes that are no step of their own join the last done step, which now ends where they do; the
// steps that could be redone start from there. Before the first step, where the user is joins the
// start, and the rest waits for the first step. The places kept with the data as a whole join the
// last step that changed them, so that undo takes them back only with that step.
void History::Absorb(Changes drift)
{
    if (drift.empty())
        return;
    Changes kept;
    Changes rest;
    for (Change& change : drift) {
        Part part = recorder_.PartOf(change.Where);
        if (part != Part::Cursor)
            ++revision_;
        bool startsHere = part == Part::Kept || (part == Part::Cursor && done_ == 0);
        (startsHere ? kept : rest).push_back(std::move(change));
    }
    for (Change& change : kept) {
        for (size_t done = done_; done-- > 0;) {
            Changes& diff = steps_[done].Diff;
            auto found
                = std::find_if(diff.begin(), diff.end(), [&](const Change& c) { return c.Where == change.Where; });
            if (found != diff.end()) {
                found->After = change.After;
                break;
            }
        }
        Changes carried { change };
        for (size_t redo = done_; redo < steps_.size() && !carried.empty(); ++redo)
            Rebase(steps_[redo].Diff, carried);
    }
    if (rest.empty())
        return;
    if (done_ == 0) {
        pending_ = Merge(pending_, rest);
        return;
    }
    Step& last = steps_[done_ - 1];
    last.Diff = Merge(last.Diff, rest);
    Measure(last);
    for (size_t redo = done_; redo < steps_.size() && !rest.empty(); ++redo) {
        Rebase(steps_[redo].Diff, rest);
        Measure(steps_[redo]);
    }
    Trim();
}

bool History::Undo()
{
    Settle(Look(), nullptr);
    EndTyping();
    if (done_ == 0)
        return false;
    recorder_.Apply(steps_[done_ - 1].Diff, Recorder::Side::Before);
    --done_;
    ++revision_;
    Tell();
    return true;
}

bool History::Redo()
{
    Settle(Look(), nullptr);
    EndTyping();
    if (done_ == steps_.size())
        return false;
    Step& step = steps_[done_];
    if (done_ == 0 && !pending_.empty()) {
        // What changed before the first step goes into it, as it would had the step been made now.
        Changes carried = Outside(pending_, step.Diff);
        step.Diff = Merge(pending_, step.Diff);
        pending_.clear();
        Measure(step);
        for (size_t redo = done_ + 1; redo < steps_.size() && !carried.empty(); ++redo) {
            Rebase(steps_[redo].Diff, carried);
            Measure(steps_[redo]);
        }
    }
    recorder_.Apply(step.Diff, Recorder::Side::After);
    ++done_;
    ++revision_;
    Tell();
    return true;
}

QString History::UndoName() const { return done_ > 0 ? steps_[done_ - 1].Name : QString(); }

QString History::RedoName() const { return done_ < steps_.size() ? steps_[done_].Name : QString(); }

void History::MarkSaved()
{
    Settle(Look(), nullptr);
    EndTyping();
    savedId_ = Position();
}

bool History::AtSaved() const { return Position() == savedId_; }

void History::Restart()
{
    steps_.clear();
    done_ = 0;
    pending_.clear();
    typingOpen_ = false;
    memory_ = 0;
    baseId_ = savedId_ = nextId_++;
    ++revision_;
    if (running_.empty())
        recorder_.Resync();
    else
        restartPending_ = true;
    Tell();
}

void History::StartHere()
{
    if (!steps_.empty() || !running_.empty())
        return;
    pending_.clear();
    recorder_.Resync();
}

// A typing step is named after the place typed into: a cell of a grid, or a text such as the memo.
std::optional<Place> History::TypedPlace(const Changes& changes) const
{
    for (const Change& change : changes)
        if (change.Where.From == Place::Grid
            || (change.Where.From == Place::Value && recorder_.PartOf(change.Where) == Part::Content))
            return change.Where;
    return std::nullopt;
}

void History::Measure(Step& step)
{
    size_t now = sizeof(Step) + MemoryOf(step.Diff) + size_t(step.Name.capacity()) * sizeof(QChar);
    memory_ = memory_ - step.Memory + now;
    step.Memory = now;
}

void History::Trim()
{
    while (memory_ > memoryLimit_ && done_ > 1) {
        baseId_ = steps_.front().Id;
        memory_ -= steps_.front().Memory;
        steps_.pop_front();
        --done_;
    }
}

void History::Tell() const
{
    if (changed_)
        changed_();
}

} // namespace undo

// The user's actions as the guard runs them: every handler says what kind of action it is, and
// whoever watches the actions (the undo history) is told when one starts and when it ends. Knows
// nothing about the ledger.
#pragma once

namespace toolkit {

enum class Effect {
    Changes,  // a command that may change the data: whatever it changes is one step of its own
    Types,    // a key typed into a control: the keys typed into one place, one after another, are one step
    Shows,    // looking, picking, opening a list, saving: what it changes belongs to the step before
};

struct Action {
    Effect Kind = Effect::Changes;
    const char* Name = nullptr;  // UTF-8: what the user would call the step; none to let the watcher name it
};

constexpr Action Shows { Effect::Shows, nullptr };
constexpr Action Types { Effect::Types, nullptr };
constexpr Action Changes(const char* name = nullptr) { return { Effect::Changes, name }; }

// Told of every action. Actions nest (a command may run another as a part of its own); each start
// is followed by its end, also when the action fails part-way. A watcher added while an action
// runs is told of that action's end without its start.
class ActionWatcher {
public:
    virtual void ActionStarts(const Action& action) = 0;
    virtual void ActionEnds(const Action& action) = 0;

protected:
    ~ActionWatcher() = default;
};

void AddActionWatcher(ActionWatcher* watcher);
void RemoveActionWatcher(ActionWatcher* watcher);

// Tells the watchers that `action` starts when made and that it has ended when destroyed.
class ActionScope {
public:
    explicit ActionScope(const Action& action);
    ~ActionScope();
    ActionScope(const ActionScope&) = delete;
    ActionScope& operator=(const ActionScope&) = delete;

private:
    Action action_;
};

// Runs `function` as an action of its own inside the one that runs now, such as the confirmation of
// a list before a save. A failure goes on to the caller, after the watchers were told of the end.
template <class Function>
void RunAsAction(const Action& action, Function&& function)
{
    ActionScope scope(action);
    function();
}

} // namespace toolkit

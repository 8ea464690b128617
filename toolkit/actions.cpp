#include "toolkit/actions.h"

#include <algorithm>
#include <vector>

namespace toolkit {

namespace {
std::vector<ActionWatcher*> watchers;

// A watcher may go while it is told (a window freed by its own handler): the list is read afresh
// for each one.
template <class Tell>
void TellWatchers(Tell tell)
{
    std::vector<ActionWatcher*> told = watchers;
    for (ActionWatcher* watcher : told)
        if (std::find(watchers.begin(), watchers.end(), watcher) != watchers.end())
            tell(*watcher);
}
}

void AddActionWatcher(ActionWatcher* watcher) { watchers.push_back(watcher); }

void RemoveActionWatcher(ActionWatcher* watcher)
{
    watchers.erase(std::remove(watchers.begin(), watchers.end(), watcher), watchers.end());
}

ActionScope::ActionScope(const Action& action)
    : action_(action)
{
    TellWatchers([this](ActionWatcher& watcher) { watcher.ActionStarts(action_); });
}

ActionScope::~ActionScope()
{
    TellWatchers([this](ActionWatcher& watcher) { watcher.ActionEnds(action_); });
}

} // namespace toolkit

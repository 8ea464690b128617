// The requests to end the program that come from outside: SIGTERM and SIGHUP (a kill, a closed
// terminal, the system going down) and the end of the desktop session. Each reaches the handler on
// the interface thread, through the event loop, so that it may do what any handler does; nothing
// asks the user, since nobody may be there to answer.
#pragma once

#include <functional>

namespace toolkit {

// Installs the handler; called once, with the application object made.
void OnEndRequested(std::function<void()> handler);

} // namespace toolkit

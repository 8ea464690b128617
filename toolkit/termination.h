// What comes from outside to end the program: SIGTERM and SIGHUP (a kill, a closed terminal, the
// system going down), and the desktop session asking each program to commit its data before the
// session may end. Each reaches its handler on the interface thread, through the event loop, so
// that it may do what any handler does; nothing asks the user, since nobody may be there to answer.
#pragma once

#include <functional>

namespace toolkit {

// Installs the handlers; called once, with the application object made. `end` is told of the
// signals, after which the program should end; `commit` of the session's request, after which the
// session may end the program, or go on (a session saving its state asks the same).
void OnEndRequested(std::function<void()> end, std::function<void()> commit);

} // namespace toolkit

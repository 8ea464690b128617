// The runtime's one failure type, the guard that keeps it from crossing the event loop, and the
// error box that shows it. The guard also tells the watchers of the user's actions when a handler
// starts and ends (actions.h). Knows nothing about the ledger.
#pragma once

#include "toolkit/actions.h"

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

class QWidget;

namespace toolkit {

// A failure of the runtime: a conversion, a division, a file operation. The message is
// Shift-JIS, exactly as the error box shows it (before the box adds its final ".").
class Failure : public std::runtime_error {
public:
    explicit Failure(std::string message);
    const std::string& Message() const { return message_; }

private:
    std::string message_;
};

// The application title ("家計簿1.5"), Shift-JIS; the error box uses it as its caption.
void SetApplicationTitle(const std::string& title);
const std::string& ApplicationTitle();

// The text the error box shows for a message: "." is appended when the message's last
// character sorts after "." (a trailing ")" or "." is left alone).
std::string ErrorBoxText(const std::string& message);

// Shows the error box (caption the application title, error icon, one OK button), or hands the
// box's text to the sink that a test has set instead.
void ShowError(const std::string& message);
void SetErrorSinkForTest(std::function<void(const std::string& boxText)> sink);

// How many times the error box has been shown (or its text handed to the test's sink), and the text
// it showed last.
unsigned ErrorsShown();
const std::string& LastErrorShown();

// True once for `window` when it is activated again by the closing of an error box that was raised
// while it was active: that activation is the box's, not the user's. The window managers give it
// back within a few milliseconds; later activations are the user's.
bool IsReturnFromErrorBox(const QWidget* window);

// Runs a handler as `action`; a Failure skips the rest of it and, when `show` agrees with its
// message, shows the error box once the watchers were told of the action's end. Returns false on a
// failure. Whatever the handler changed before the failure stays changed. This is the only place
// that catches a Failure.
template <class Function, class Show>
bool GuardShowing(const std::optional<Action>& action, Function&& function, Show&& show)
{
    std::optional<std::string> failed;
    {
        std::optional<ActionScope> scope;
        if (action)
            scope.emplace(*action);
        try {
            std::forward<Function>(function)();
        } catch (const Failure& failure) {
            failed = failure.Message();
        }
    }
    if (!failed)
        return true;
    if (show(*failed))
        ShowError(*failed);
    return false;
}

// Runs a handler as `action`; a Failure skips the rest of it and shows the error box. Returns false
// on a failure.
template <class Function>
bool Guard(const Action& action, Function&& function)
{
    return GuardShowing(action, std::forward<Function>(function), [](const std::string&) { return true; });
}

// The same for what is no action of the user's of its own, such as a window's creation inside the
// action that opens it: the watchers are not told.
template <class Function>
bool Guard(Function&& function)
{
    return GuardShowing(std::nullopt, std::forward<Function>(function), [](const std::string&) { return true; });
}

// A step that runs again at every activation of a window, such as the main window's refresh. Its
// failure is shown once: while the error box has shown the same text since the step last
// succeeded, a failure is not shown again, so a ledger that fails the step does not bring the box
// back at every return to the window. The step still runs each time, so a corrected cell takes
// effect at the next activation.
class RecurringStep {
public:
    template <class Function>
    void Run(const Action& action, Function&& step)
    {
        bool succeeded = GuardShowing(action, std::forward<Function>(step), [this](const std::string& message) {
            return !(message == LastErrorShown() && ErrorsShown() > shownAtSuccess_);
        });
        if (succeeded)
            shownAtSuccess_ = ErrorsShown();
    }

private:
    unsigned shownAtSuccess_ = 0;
};

// Calls a handler that takes none of the signal's arguments. The arguments are passed only so
// that the call depends on them: clang checks a call that does not, even in a discarded branch.
template <class Object, class Member, class... Ignored>
void CallWithoutArguments(Object* object, Member member, Ignored&&...)
{
    (object->*member)();
}

// A slot for connect(): calls the member handler of `object` inside the guard, as `action`, with the
// signal's arguments when the handler takes them and without them otherwise.
template <class Object, class Member>
auto Handler(Object* object, Member member, Action action = Changes())
{
    return [object, member, action](auto&&... arguments) -> void {
        Guard(action, [&] {
            if constexpr (std::is_invocable_v<Member, Object*, decltype(arguments)...>)
                (object->*member)(arguments...);
            else
                CallWithoutArguments(object, member, arguments...);
        });
    };
}

} // namespace toolkit

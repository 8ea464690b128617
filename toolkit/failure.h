// The runtime's one failure type, the guard that keeps it from crossing the event loop, and the
// error box that shows it. Knows nothing about the ledger.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

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

// Runs a handler; a Failure skips the rest of it and shows the error box. Whatever the handler
// changed before the failure stays changed. This is the only place that catches a Failure.
template <class Function>
void Guard(Function&& function)
{
    try {
        std::forward<Function>(function)();
    } catch (const Failure& failure) {
        ShowError(failure.Message());
    }
}

// Calls a handler that takes none of the signal's arguments. The arguments are passed only so
// that the call depends on them: clang checks a call that does not, even in a discarded branch.
template <class Object, class Member, class... Ignored>
void CallWithoutArguments(Object* object, Member member, Ignored&&...)
{
    (object->*member)();
}

// A slot for connect(): calls the member handler of `object` inside the guard, with the
// signal's arguments when the handler takes them and without them otherwise.
template <class Object, class Member>
auto Handler(Object* object, Member member)
{
    return [object, member](auto&&... arguments) -> void {
        Guard([&] {
            if constexpr (std::is_invocable_v<Member, Object*, decltype(arguments)...>)
                (object->*member)(arguments...);
            else
                CallWithoutArguments(object, member, arguments...);
        });
    };
}

} // namespace toolkit

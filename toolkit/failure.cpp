#include "toolkit/failure.h"

#include "toolkit/text.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>

namespace toolkit {

namespace {
std::string applicationTitle;
std::function<void(const std::string&)> errorSink;
unsigned errorsShown = 0;
std::string lastErrorShown;

// The window that was active when the last error box opened, until its activation comes back.
QPointer<const QWidget> returningTo;
QElapsedTimer sinceBoxClosed;
constexpr qint64 ReturnWithinMs = 1000;
}

Failure::Failure(std::string message)
    : std::runtime_error(message)
    , message_(std::move(message))
{
}

void SetApplicationTitle(const std::string& title)
{
    // Kept for the error box only: as Qt's display name it would be appended to every caption.
    applicationTitle = title;
}

const std::string& ApplicationTitle() { return applicationTitle; }

std::string ErrorBoxText(const std::string& message)
{
    if (message.empty())
        return message;
    // The comparison looks at the first byte of the last character, which for a double-byte
    // character is its lead byte (always above ".").
    unsigned char last = static_cast<unsigned char>(message[LastCharacterStart(message)]);
    return last > '.' ? message + "." : message;
}

void ShowError(const std::string& message)
{
    std::string text = ErrorBoxText(message);
    ++errorsShown;
    lastErrorShown = message;
    if (errorSink) {
        errorSink(text);
        return;
    }
    QWidget* active = QApplication::activeWindow();
    QMessageBox box(QMessageBox::Critical, FromSjis(applicationTitle), FromSjis(text), QMessageBox::Ok, active);
    box.exec();
    returningTo = active;
    sinceBoxClosed.start();
}

unsigned ErrorsShown() { return errorsShown; }

const std::string& LastErrorShown() { return lastErrorShown; }

bool IsReturnFromErrorBox(const QWidget* window)
{
    if (!returningTo || returningTo != window)
        return false;
    returningTo = nullptr;
    return sinceBoxClosed.elapsed() < ReturnWithinMs;
}

void SetErrorSinkForTest(std::function<void(const std::string&)> sink) { errorSink = std::move(sink); }

} // namespace toolkit

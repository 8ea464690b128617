#include "toolkit/termination.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace toolkit {

namespace {

// A signal handler may only write to a descriptor: the pipe wakes the event loop, which runs the
// handler.
int signalPipe[2] = { -1, -1 };

void NoteSignal(int)
{
    char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(signalPipe[1], &byte, 1);
}

} // namespace

void OnEndRequested(std::function<void()> end, std::function<void()> commit)
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [end] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) { }
        end();
    });
    struct sigaction action { };
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
    // The answer must not wait for the user: the session would wait with it.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp, [commit](QSessionManager& manager) {
        manager.setRestartHint(QSessionManager::RestartNever);
        commit();
    });
}

} // namespace toolkit

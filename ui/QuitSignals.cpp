// Signals reach the event loop through a socket pair: the handler may only call functions that
// are safe in a signal handler, so it writes one byte and returns, and the loop does the rest.
#include "QuitSignals.h"

#include <QObject>
#include <QSocketNotifier>

#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

namespace quorvik {

namespace {

// The write end for the handler, the read end for the notifier; -1 until made.
int signalSockets[2] = {-1, -1};

void onQuitSignal(int signal) {
    const int savedErrno = errno;
    // The event loop may be held up by a wait for another program's lock; that wait ends now.
    endLockWaits();
    const char byte = static_cast<char>(signal);
    // A full socket already holds a request to quit; nothing is lost by dropping this one.
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
    errno = savedErrno;
}

}  // namespace

bool quitOnSignals(QObject* owner, std::function<void()> quit) {
    if (signalSockets[0] < 0 &&
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSockets) != 0) {
        return false;
    }
    auto* notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [quit = std::move(quit)] {
        char bytes[16];
        while (::read(signalSockets[1], bytes, sizeof bytes) > 0) {
        }
        quit();
    });
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
    return true;
}

}  // namespace quorvik

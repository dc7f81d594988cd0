// The signals that ask the program to end (SIGTERM, SIGINT, SIGHUP) and the end of the desktop
// session, turned into the program's one clean way out: everything saved, then exit code 0.
#pragma once

#include <functional>

class QObject;

namespace quorvik {

// From now on each of the three signals calls `quit` from the event loop. The handler only ends
// the lock waits (endLockWaits) and writes the signal's number into a socket pair, which a
// notifier watches; the socket pair and the notifier live as long as `owner`. False when the
// socket pair cannot be made.
bool quitOnSignals(QObject* owner, std::function<void()> quit);

}  // namespace quorvik

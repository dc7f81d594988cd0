// One running copy per player's files: a later start finds the running program through a local
// socket in $XDG_RUNTIME_DIR, named after the state folder in use, asks it to the front (with
// the puzzle it was started for) and ends.
#pragma once

#include <functional>
#include <optional>

#include "PuzzleNumber.h"

class QObject;

namespace quorvik {

// Whether a running copy answered at the socket; it was asked to bring its window to the front,
// and to start `puzzle` when one is given. A copy that does not answer in time counts as not
// running.
bool bringRunningCopyToFront(const std::optional<PuzzleId>& puzzle = std::nullopt);

// Listens at the socket from now on and runs `toFront` for every later start that knocks, with
// the puzzle that start was given; the listener lives as long as `owner`. A socket left by a copy
// that died is taken over. False when no socket could be made: the program runs all the same.
using LaterStart = std::function<void(const std::optional<PuzzleId>& puzzle)>;
bool listenForLaterStarts(QObject* owner, LaterStart toFront);

}  // namespace quorvik

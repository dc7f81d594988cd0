// Simple reasons why a puzzle has no solution, found without a search: numbers that do not add
// up, a fleet that does not fit them, clues that break the rules. A person can mend a typed-in
// puzzle by them; the solver's count stays the last word.
#pragma once

#include <optional>
#include <string>

#include "Puzzle.h"

namespace quorvik {

// The first such reason, as a German sentence; nothing when none is found (the puzzle may still
// have no solution).
std::optional<std::string> noSolutionReason(const Puzzle& puzzle);

}  // namespace quorvik

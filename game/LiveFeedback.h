// The running count of the player's own marks: which numbers their lines fulfil or overrun, how
// many complete ships of each length the marks hold, and which marks break the rules of a fleet.
// It reads what the player sees (marks, clues, numbers and fleet), never the hidden fleet.
#pragma once

#include <cstdint>
#include <vector>

#include "Solver.h"

namespace quorvik {

// How a line stands against its number.
enum class LineCount : std::uint8_t {
    Open,  // ship marks are still missing, and the open cells have room for them
    Done,  // exactly as many ship marks as the number asks
    Over,  // more ship marks than the number, or fewer open cells than ship marks still missing
};

struct LiveFeedback {
    std::vector<LineCount> columns;
    std::vector<LineCount> rows;
    // completeShips[n]: the straight runs of n ship pieces closed by water or the board's edge
    // at both ends, that touch no other piece and break no rule, for n up to the longest ship of
    // the fleet; index 0 unused.
    std::vector<int> completeShips;
    // The player's marks that break the rules, column by column: pieces touching at a corner,
    // a bent run, a run longer than the fleet's longest ship, a segment whose neighbours
    // contradict its shape, and a mark beside a clue that contradicts the clue's shape.
    std::vector<SolverCell> conflicts;
};

// The feedback for `marks` (Water, a shape or Segment; cells not listed are open)
// on the board, numbers, fleet and clues of `puzzle`. Clues count as ship pieces of their kind;
// they are never reported themselves, since they cannot be wrong.
LiveFeedback liveFeedback(const SolverPuzzle& puzzle, const std::vector<SolverCell>& marks);

}  // namespace quorvik

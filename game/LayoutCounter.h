// The counting search for typed-in puzzles: how many layouts a puzzle has, up to a limit, and the
// first of them, fast enough for sparse boards of 31 x 31 with a large fleet. It goes its own way
// through the layouts, so its first layouts need not be those of solve(). On a board that takes it
// long it uses a second thread; where the puzzle has more layouts than the limit, which of them
// it gives may then differ from one count to the next.
#pragma once

#include "Solver.h"

namespace quorvik {

// Counts the layouts of `puzzle` that agree with its clues and with `options.fixed` (Water,
// Segment of any kind, or exactly that shape), stopping at `options.limit` or once
// `options.cancel` is set; each layout is counted once. The count and the layouts are those of
// solve(); only their order may differ.
SolveResult countLayouts(const SolverPuzzle& puzzle, const SolveOptions& options);

// The steps of a search the player waits for during play (a few tenths of a second on the
// hardest boards, a few hundred steps at most on a puzzle from paper).
constexpr long stepsDuringPlay = 50000;

}  // namespace quorvik

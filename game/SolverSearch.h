// The layout search, shared by the count of layouts and the solution spread.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "SolverBoard.h"

namespace quorvik::solver {

// Goes through the layouts that extend `start`, stopping after `limit` or once `cancel` is set.
// With `spread`, each layout found adds its marks there (bit m for the mark of value m, Water
// where no ship lies) instead of being kept.
SolveResult searchLayouts(const Frame& f, const Knowledge& start, int limit,
                          std::vector<std::uint16_t>* spread, const std::atomic<bool>* cancel);

}  // namespace quorvik::solver

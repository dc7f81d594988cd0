// The five levels: board size, clue count, fleet and where the legend goes. A level is one entry
// of the table; nothing else knows its figures. Its names and captions live with the window.
#pragma once

#include <array>
#include <vector>

namespace quorvik {

inline constexpr int minLevel = 4;
inline constexpr int maxLevel = 8;

// Storage is sized for at most 31 columns and 31 rows.
inline constexpr int maxBoardSize = 31;

// Where a level's legend goes: right of the row numbers (buttons below it), or below the column
// numbers (buttons to its right) for the wide boards.
enum class LegendPlace { Right, Below };

struct LevelInfo {
    int level;
    int maxCol;     // highest column index
    int maxRow;     // highest row index
    int clueCount;  // segments revealed at the start
    // fleet[n]: how many ships of length n the level hides (index 0 unused).
    std::array<int, maxBoardSize + 1> fleet;
    LegendPlace legendPlace;
};

// Whether `level` is one of the table's levels (4 to 8).
constexpr bool isValidLevel(int level) {
    return level >= minLevel && level <= maxLevel;
}

// The table row of `level`; a level outside 4..8 gives the beginner level.
const LevelInfo& levelInfo(int level);

// How many ships of `length` the fleet of `level` holds.
int shipCount(int level, int length);

// Ship segments of the whole fleet: 20, 35, 56, 84 and 120 for levels 4 to 8.
int segmentCount(int level);

// The ship lengths of the fleet, longest first: one legend row each, and the order in which the
// generator places the ships.
std::vector<int> fleetLengths(int level);

}  // namespace quorvik

// The five levels: board size, clue count, fleet and the texts of the level menu and label.
#pragma once

#include <string>
#include <string_view>

namespace quorvik {

inline constexpr int minLevel = 4;
inline constexpr int maxLevel = 8;

// Storage is sized for at most 31 columns and 31 rows; a cell command's bytes rely on it.
inline constexpr int maxBoardSize = 31;

struct LevelInfo {
    int level;
    std::string_view menuName;     // the level's menu entry, e.g. "TMMLevel4"
    std::string_view caption;      // menu caption, e.g. "Anfänger Level"
    std::string_view labelFormat;  // legend heading, e.g. "Anfänger Level: %dx%d"
    int maxCol;                    // highest column index
    int maxRow;                    // highest row index
    int clueCount;                 // segments revealed at the start
};

// Whether `level` is one of the table's levels (4 to 8).
constexpr bool isValidLevel(int level) {
    return level >= minLevel && level <= maxLevel;
}

// The table row of `level`; a level outside 4..8 gives the beginner level.
const LevelInfo& levelInfo(int level);

// The legend heading of `level`: its label format filled with the board's column and row
// counts ("Anfänger Level: 9x9").
std::string levelLabel(int level);

// The fleet of level L holds L - n + 1 ships of every length n from L down to 1.
constexpr int shipCount(int level, int length) {
    return level - length + 1;
}

// Ship segments of the whole fleet: 20, 35, 56, 84 and 120 for levels 4 to 8.
constexpr int segmentCount(int level) {
    int total = 0;
    for (int n = 1; n <= level; ++n) {
        total += n * shipCount(level, n);
    }
    return total;
}

}  // namespace quorvik

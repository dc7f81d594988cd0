// What the player reads of a level and what the level menu's entries are called: the object
// name and the caption, which also heads the legend. The level's figures stay in the level table.
#pragma once

#include <string>
#include <string_view>

namespace quorvik {

struct LevelNames {
    std::string_view menuName;  // the level's menu entry, e.g. "TMMLevel4"
    std::string_view caption;   // menu caption, e.g. "Anfänger Level"
};

// The names of `level`; a level outside 4..8 gives the beginner level's, as the table does.
const LevelNames& levelNames(int level);

// The legend heading of `level`: its caption with the board's column and row counts
// ("Anfänger Level: 9x9").
std::string levelLabel(int level);

// The first digits of puzzle numbers with the levels they name, as the menu names them:
// "4 Anfänger Level, 5 Fortgeschrittenen Level, …, 8 Irrsinniges Level".
std::string levelDigits();

}  // namespace quorvik

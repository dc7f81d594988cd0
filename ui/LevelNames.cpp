// The levels' names, one entry per level of the level table, in the same order.
#include "LevelNames.h"

#include <array>

#include "LevelTable.h"

namespace quorvik {

namespace {

constexpr std::array<LevelNames, maxLevel - minLevel + 1> names{{
    {"TMMLevel4", "Anfänger Level"},
    {"TMMLevel5", "Fortgeschrittenen Level"},
    {"TMMlevel6", "Profi Level"},
    {"TMMLevel7", "Verrücktes Level"},
    {"TMMLevel8", "Irrsinniges Level"},
}};

}  // namespace

const LevelNames& levelNames(int level) {
    return names[static_cast<std::size_t>(levelInfo(level).level - minLevel)];
}

std::string levelLabel(int level) {
    const LevelInfo& info = levelInfo(level);
    return std::string(levelNames(level).caption) + ": " + std::to_string(info.maxCol + 1) + 'x' +
           std::to_string(info.maxRow + 1);
}

std::string levelDigits() {
    std::string list;
    for (int level = minLevel; level <= maxLevel; ++level) {
        list += (list.empty() ? "" : ", ") + std::to_string(level) + ' ';
        list += levelNames(level).caption;
    }
    return list;
}

}  // namespace quorvik

// The levels' names, one entry per level of the level table, in the same order.
#include "LevelNames.h"

#include <array>
#include <cstdio>

#include "LevelTable.h"

namespace quorvik {

namespace {

constexpr std::array<LevelNames, maxLevel - minLevel + 1> names{{
    {"TMMLevel4", "Anfänger Level", "Anfänger Level: %dx%d"},
    {"TMMLevel5", "Fortgeschrittenen Level", "Fortgeschrittenen Level: %dx%d"},
    {"TMMlevel6", "Profi Level", "Profi Level: %dx%d"},
    {"TMMLevel7", "Verrücktes Level", "Verrücktes Level: %dx%d"},
    {"TMMLevel8", "Irrsinniges Level", "Irrsinniges Level: %dx%d"},
}};

}  // namespace

const LevelNames& levelNames(int level) {
    return names[static_cast<std::size_t>(levelInfo(level).level - minLevel)];
}

std::string levelLabel(int level) {
    const LevelInfo& info = levelInfo(level);
    // The format strings are fixed and short; the two counts are at most two digits each.
    char buffer[64];
    const std::string format(levelNames(level).labelFormat);
    std::snprintf(buffer, sizeof buffer, format.c_str(), info.maxCol + 1, info.maxRow + 1);
    return buffer;
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

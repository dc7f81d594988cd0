// Reading what the layouts of a puzzle hold in each cell, and which of the player's marks no
// layout has.
#include <algorithm>

#include "Solver.h"

namespace quorvik {

bool SolutionSpread::has(int rows, const SolverCell& mark) const {
    const std::uint16_t seen = marks[static_cast<std::size_t>(mark.x * rows + mark.y)];
    const auto bitOf = [](Mark m) { return 1U << static_cast<int>(m); };
    if (mark.mark == Mark::Segment) {
        return (seen & ~bitOf(Mark::Water)) != 0;
    }
    return mark.mark != Mark::Covered && (seen & bitOf(mark.mark)) != 0;
}

std::vector<bool> impossibleMarks(const SolverPuzzle& puzzle,
                                  const std::vector<SolverCell>& marks) {
    std::vector<bool> impossible(marks.size(), false);
    std::vector<std::size_t> open;  // marks neither seen in a layout nor ruled out
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const SolverCell& m = marks[i];
        if (m.x >= 0 && m.x < puzzle.cols && m.y >= 0 && m.y < puzzle.rows &&
            m.mark != Mark::Covered) {
            open.push_back(i);
        }
    }
    // With one layout the answer is a comparison; two layouts settle the marks they have.
    const SolveResult verdict = solve(puzzle, {}, 2);
    const auto seen = [&](std::size_t i) {
        const SolverCell& m = marks[i];
        return std::any_of(
            verdict.solutions.begin(), verdict.solutions.end(), [&](const auto& layout) {
                const Mark there = layout[static_cast<std::size_t>(m.x * puzzle.rows + m.y)];
                return m.mark == Mark::Segment ? isShipMark(there) : there == m.mark;
            });
    };
    std::erase_if(open, seen);
    if (verdict.count < 2) {
        for (const std::size_t i : open) {
            impossible[i] = true;
        }
        return impossible;
    }
    // A group of marks that one layout has together is settled by one search; a group no
    // layout has is halved until the marks no layout has stand alone. Holding many marks at
    // once keeps each search short.
    std::vector<std::vector<std::size_t>> groups{open};
    while (!groups.empty()) {
        const std::vector<std::size_t> group = std::move(groups.back());
        groups.pop_back();
        if (group.empty()) {
            continue;
        }
        std::vector<SolverCell> held;
        for (const std::size_t i : group) {
            held.push_back(marks[i]);
        }
        if (solve(puzzle, held, 1).count > 0) {
            continue;
        }
        if (group.size() == 1) {
            impossible[group.front()] = true;
            continue;
        }
        const auto middle = group.begin() + static_cast<std::ptrdiff_t>(group.size() / 2);
        groups.emplace_back(group.begin(), middle);
        groups.emplace_back(middle, group.end());
    }
    return impossible;
}

}  // namespace quorvik

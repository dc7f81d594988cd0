// The layout search: the position of the ship that covers a segment, or of a length's last
// missing ship, or the value of one open cell, each branch narrowed down by every rule. It counts
// the layouts, or gathers what they hold in each cell.
#include <algorithm>
#include <atomic>
#include <memory>

#include "SolverFleet.h"

namespace quorvik::solver {

namespace {

// Whether every length still missing ships has room for them: each line holds at most as many
// ships of a length as fit into it side by side, so the sum over the lines is an upper bound.
// Cuts off at once branches that would otherwise end only after every other ship is placed.
bool fleetFits(const Frame& f, const Work& w) {
    for (int n = 1; n <= f.longest; ++n) {
        int room = 0;
        for (int y = 0; y < f.rows && room < w.remaining[n]; ++y) {
            room += packed(w.rowStarts[n][y], n);
        }
        for (int x = 0; x < f.cols && room < w.remaining[n]; ++x) {
            room += packed(w.colStarts[n][x], n);
        }
        if (room < w.remaining[n]) {
            return false;
        }
    }
    return true;
}

// One search: what it is asked for, the fleet's view every branch reuses, and what it found. It
// goes through the layouts that extend its start, stopping after `limit` or once `cancel` is
// set. With `spread`, each layout found adds its marks there (bit m for the mark of value m,
// Water where no ship lies) instead of being kept.
struct Search {
    const Frame& f;
    int limit;
    std::vector<std::uint16_t>* spread;
    const std::atomic<bool>* cancel;
    std::unique_ptr<Work> work = std::make_unique<Work>();
    SolveResult result{};

    bool done() const { return result.count >= limit || result.cancelled; }

    SolveResult run(const Knowledge& start) {
        explore(start);
        return std::move(result);
    }

    void explore(Knowledge k) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
            result.cancelled = true;
            return;
        }
        if (!propagate(f, k, *work) || !fleetFits(f, *work)) {
            return;
        }
        const Work& w = *work;
        // The segment that the fewest positions cover: each layout has exactly one ship there.
        int best = 0;
        int bestX = -1;
        int bestY = -1;
        for (int y = 0; y < f.rows && best != 2; ++y) {
            for (Mask m = w.incomplete[y]; m && best != 2; m &= m - 1) {
                const int c = countPositionsOver(f, w, lowest(m), y);
                if (bestX < 0 || c < best) {
                    best = c;
                    bestX = lowest(m);
                    bestY = y;
                }
            }
        }
        // A length with one ship missing splits the layouts by where that ship lies; the
        // longest such length with the fewest positions goes first unless a segment has clearly
        // fewer positions over it.
        int lone = 0;
        int loneCount = 0;
        for (int n = f.longest; n >= 1; --n) {
            if (w.remaining[n] == 1) {
                const int c = countPositions(f, w, n);
                if (lone == 0 || c < loneCount) {
                    lone = n;
                    loneCount = c;
                }
            }
        }
        const bool byLength = lone > 0 && (bestX < 0 || loneCount <= best + 3);
        if (byLength || bestX >= 0) {
            std::vector<SolverShip> ships;
            byLength ? positionsOf(f, w, lone, ships) : positionsOver(f, w, bestX, bestY, ships);
            for (const SolverShip& s : ships) {
                Knowledge next = k;
                placeShip(f, next, s);
                // A position where a complete ship already lies is not the missing one.
                if (next.ship == k.ship && next.water == k.water) {
                    continue;
                }
                explore(next);
                if (done()) {
                    return;
                }
            }
            return;
        }
        // Otherwise the open cell that most positions of the longest missing ship cover: a
        // segment there or water.
        int most = 0;
        int cellX = -1;
        int cellY = -1;
        const int n = w.openLongest;
        for (int y = 0; y < f.rows && n > 0; ++y) {
            for (Mask m = f.byRow.full & ~k.ship[y] & ~k.water[y]; m; m &= m - 1) {
                const int x = lowest(m);
                const int c = ones(w.rowStarts[n][y] & startsOver(x, n)) +
                              ones(w.colStarts[n][x] & startsOver(y, n));
                if (cellX < 0 || c > most) {
                    most = c;
                    cellX = x;
                    cellY = y;
                }
            }
        }
        if (cellX < 0) {
            if (w.openLongest != 0) {
                return;  // a ship is missing, possible only where a line has no number
            }
            if (spread != nullptr) {
                const SolverLayout layout = layoutOf(f, k);
                for (std::size_t i = 0; i < layout.size(); ++i) {
                    (*spread)[i] |= static_cast<std::uint16_t>(1U << static_cast<int>(layout[i]));
                }
            } else if (static_cast<int>(result.solutions.size()) < limit) {
                result.solutions.push_back(layoutOf(f, k));
            }
            ++result.count;
            return;
        }
        Knowledge withShip = k;
        withShip.setShip(cellX, cellY);
        explore(withShip);
        if (done()) {
            return;
        }
        k.setWater(cellX, cellY);
        explore(k);
    }
};

}  // namespace

}  // namespace quorvik::solver

namespace quorvik {

SolveResult solve(const SolverPuzzle& puzzle, const SolveOptions& options) {
    const solver::Setup s = solver::setUp(puzzle, options.fixed);
    if (!s.consistent) {
        return {};
    }
    return solver::Search{s.frame, std::max(options.limit, 1), nullptr, options.cancel}.run(
        s.known);
}

SolutionSpread solutionSpread(const SolverPuzzle& puzzle, int limit,
                              const std::atomic<bool>* cancel) {
    SolutionSpread spread;
    const solver::Setup s = solver::setUp(puzzle, {});
    if (!s.consistent) {
        return spread;
    }
    spread.marks.assign(static_cast<std::size_t>(s.frame.cols * s.frame.rows), 0);
    const SolveResult seen =
        solver::Search{s.frame, std::max(limit, 1), &spread.marks, cancel}.run(s.known);
    spread.count = seen.count;
    spread.cancelled = seen.cancelled;
    return spread;
}

}  // namespace quorvik

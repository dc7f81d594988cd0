// The deduction rules a person uses, one step at a time: the next step with its reason, and the
// grade of a puzzle from the hardest step its solution needs.
#include <algorithm>
#include <memory>
#include <utility>

#include "SolverFleet.h"

namespace quorvik {

namespace {

using namespace solver;

// --- Deductions ---

bool isOpen(const Knowledge& k, int x, int y) {
    return !k.isShip(x, y) && !k.isWater(x, y);
}

// The four side neighbours: left, right, up, down.
constexpr std::array<std::pair<int, int>, 4> sides{{{-1, 0}, {1, 0}, {0, -1}, {0, 1}}};

SolverCell waterAt(int x, int y) {
    return {x, y, Mark::Water};
}

// The known kind of segment (x, y), or Segment while its kind is open.
Mark knownKind(const Frame& f, int x, int y) {
    return f.shape[x][y] != noShape ? f.shape[x][y] : Mark::Segment;
}

// Finds the first rule that decides something, looking only at what is known (no propagation),
// so that each deduction is one step a player can follow.
struct Reasoner {
    const Frame& f;
    const Knowledge& k;
    std::unique_ptr<Work> work = std::make_unique<Work>();

    // The first rule up to `last` that decides something.
    std::optional<Deduction> next(DeductionRule last = DeductionRule::Trial) {
        // Each search with the first rule it gives, in the order of DeductionRule. The searches
        // from LengthComplete on read the fleet's view.
        using Search = std::optional<Deduction> (Reasoner::*)() const;
        static constexpr std::pair<DeductionRule, Search> searches[] = {
            {DeductionRule::FullLine, &Reasoner::lineDeduction},
            {DeductionRule::DiagonalWater, &Reasoner::diagonalDeduction},
            {DeductionRule::ClueNeighbours, &Reasoner::clueDeduction},
            {DeductionRule::LengthComplete, &Reasoner::lengthDeduction},
            {DeductionRule::Unreachable, &Reasoner::unreachableDeduction},
            {DeductionRule::OnlyPlacement, &Reasoner::placementDeduction},
            {DeductionRule::SegmentKind, &Reasoner::kindDeduction},
            {DeductionRule::Trial, &Reasoner::trialDeduction},
        };
        for (const auto& [rule, search] : searches) {
            if (rule > last ||
                (rule == DeductionRule::LengthComplete && !analyseFleet(f, k, *work))) {
                return std::nullopt;
            }
            if (auto d = (this->*search)()) {
                return d;
            }
        }
        return std::nullopt;
    }

    // A segment decided in `after`, with its kind where the neighbours already tell it.
    SolverCell segment(const Knowledge& after, int x, int y) const {
        const Mark kind = kindAt(f, after, x, y);
        return {x, y, kind != noShape ? kind : Mark::Segment};
    }

    // A full line first, then a line that needs all its open cells; rows before columns.
    std::optional<Deduction> lineDeduction() const {
        for (int pass = 0; pass < 4; ++pass) {
            const bool full = pass < 2;
            const bool column = pass % 2 == 1;
            const View& v = column ? f.byCol : f.byRow;
            const Lines& ship = column ? k.shipCols : k.ship;
            const Lines& water = column ? k.waterCols : k.water;
            for (int i = 0; i < v.lines; ++i) {
                const Mask open = v.full & ~ship[i] & ~water[i];
                const int need = v.target[i] - ones(ship[i]);
                if (!open || v.target[i] == unknownCount || need != (full ? 0 : ones(open))) {
                    continue;
                }
                Deduction d{
                    .rule = full ? DeductionRule::FullLine : DeductionRule::LineNeedsAllOpen,
                    .isColumn = column,
                    .line = i,
                    .count = v.target[i]};
                Knowledge after = k;
                Side side = column ? byCols(after) : byRows(after);
                full ? side.addWater(i, open) : side.addShip(i, open);
                for (Mask m = open; m; m &= m - 1) {
                    const int x = column ? i : lowest(m);
                    const int y = column ? lowest(m) : i;
                    d.cells.push_back(full ? waterAt(x, y) : segment(after, x, y));
                }
                return d;
            }
        }
        return std::nullopt;
    }

    std::optional<Deduction> diagonalDeduction() const {
        for (int y = 0; y < f.rows; ++y) {
            for (int x = 0; x < f.cols; ++x) {
                if (!k.isShip(x, y)) {
                    continue;
                }
                Deduction d{.rule = DeductionRule::DiagonalWater,
                            .source = {x, y, knownKind(f, x, y)}};
                for (const int dy : {-1, 1}) {
                    for (const int dx : {-1, 1}) {
                        if (onBoard(f, x + dx, y + dy) && isOpen(k, x + dx, y + dy)) {
                            d.cells.push_back(waterAt(x + dx, y + dy));
                        }
                    }
                }
                if (!d.cells.empty()) {
                    return d;
                }
            }
        }
        return std::nullopt;
    }

    // Asked once no diagonal is left open: a segment beside a middle piece has then made the
    // cells across it water, so water (or the edge) beside a middle piece tells its orientation.
    std::optional<Deduction> clueDeduction() const {
        const auto closed = [&](int x, int y) { return !onBoard(f, x, y) || k.isWater(x, y); };
        for (int y = 0; y < f.rows; ++y) {
            for (int x = 0; x < f.cols; ++x) {
                const Mark shape = f.shape[x][y];
                if (shape == noShape) {
                    continue;
                }
                // The side towards which an end continues; a middle piece continues both ways.
                const int dx = shape == Mark::Left ? 1 : shape == Mark::Right ? -1 : 0;
                const int dy = shape == Mark::Top ? 1 : shape == Mark::Bottom ? -1 : 0;
                bool vertical = false;
                if (shape == Mark::Middle) {
                    const bool horizontal = closed(x, y - 1) || closed(x, y + 1);
                    vertical = closed(x - 1, y) || closed(x + 1, y);
                    if (horizontal == vertical) {
                        continue;  // orientation still open (or contradictory)
                    }
                }
                const auto continues = [&](int sx, int sy) {
                    return shape == Mark::Middle ? (vertical ? sx == 0 : sy == 0)
                                                 : sx == dx && sy == dy;
                };
                // None of the cells decided here is a side neighbour of another, so the kinds
                // of the new segments can be read from what is known already.
                Deduction d{.rule = DeductionRule::ClueNeighbours,
                            .source = {x, y, shape},
                            .vertical = vertical};
                bool possible = true;
                for (const auto& [sx, sy] : sides) {
                    if (!onBoard(f, x + sx, y + sy)) {
                        possible = possible && !continues(sx, sy);
                    } else if (isOpen(k, x + sx, y + sy)) {
                        d.cells.push_back(continues(sx, sy) ? segment(k, x + sx, y + sy)
                                                            : waterAt(x + sx, y + sy));
                    }
                }
                if (possible && !d.cells.empty()) {
                    return d;
                }
            }
        }
        return std::nullopt;
    }

    std::optional<Deduction> lengthDeduction() const {
        const Work& w = *work;
        const Run* best = nullptr;
        std::vector<SolverCell> cells;
        for (int i = 0; i < w.runCount; ++i) {
            const Run& run = w.runs[i];
            if (run.length != w.openLongest ||
                (best && std::make_pair(run.y, run.x) > std::make_pair(best->y, best->x))) {
                continue;
            }
            std::vector<SolverCell> ends;
            for (const SolverCell& c : runEnds(run)) {
                if (onBoard(f, c.x, c.y) && isOpen(k, c.x, c.y)) {
                    ends.push_back(waterAt(c.x, c.y));
                }
            }
            if (!ends.empty()) {
                best = &run;
                cells = std::move(ends);
            }
        }
        if (!best) {
            return std::nullopt;
        }
        Deduction d{.rule = DeductionRule::LengthComplete,
                    .cells = std::move(cells),
                    .source = {best->x, best->y, knownKind(f, best->x, best->y)},
                    .vertical = best->vertical,
                    .length = best->length};
        std::sort(d.cells.begin(), d.cells.end(), [](const SolverCell& a, const SolverCell& b) {
            return std::make_pair(a.y, a.x) < std::make_pair(b.y, b.x);
        });
        return d;
    }

    std::optional<Deduction> unreachableDeduction() const {
        Deduction d{.rule = DeductionRule::Unreachable};
        for (int y = 0; y < f.rows; ++y) {
            const Mask open = f.byRow.full & ~k.ship[y] & ~k.water[y];
            for (Mask m = open & ~work->one[y]; m; m &= m - 1) {
                d.cells.push_back(waterAt(lowest(m), y));
            }
        }
        return d.cells.empty() ? std::nullopt : std::optional<Deduction>(d);
    }

    std::optional<Deduction> placementDeduction() const {
        const Work& w = *work;
        for (int y = 0; y < f.rows; ++y) {
            const Mask only = w.incomplete[y] & w.one[y] & ~w.two[y];
            if (!only) {
                continue;
            }
            const int x = lowest(only);
            Deduction d{.rule = DeductionRule::OnlyPlacement,
                        .source = {x, y, knownKind(f, x, y)},
                        .ship = onlyPosition(f, w, x, y)};
            Knowledge after = k;
            placeShip(f, after, d.ship);
            // The ship's segments whose kind is not yet known, then the open cells around it.
            const int width = d.ship.vertical ? 1 : d.ship.length;
            const int height = d.ship.vertical ? d.ship.length : 1;
            for (int cy = std::max(d.ship.y - 1, 0); cy <= std::min(d.ship.y + height, f.rows - 1);
                 ++cy) {
                for (int cx = std::max(d.ship.x - 1, 0);
                     cx <= std::min(d.ship.x + width, f.cols - 1); ++cx) {
                    const bool inShip = cx >= d.ship.x && cx < d.ship.x + width && cy >= d.ship.y &&
                                        cy < d.ship.y + height;
                    if (inShip && f.shape[cx][cy] == noShape) {
                        d.cells.push_back(segment(after, cx, cy));
                    } else if (!inShip && isOpen(k, cx, cy)) {
                        d.cells.push_back(waterAt(cx, cy));
                    }
                }
            }
            return d;
        }
        return std::nullopt;
    }

    std::optional<Deduction> kindDeduction() const {
        Deduction d{.rule = DeductionRule::SegmentKind};
        for (int y = 0; y < f.rows; ++y) {
            for (int x = 0; x < f.cols; ++x) {
                if (k.isShip(x, y) && f.shape[x][y] == noShape) {
                    if (const Mark kind = kindAt(f, k, x, y); kind != noShape) {
                        d.cells.push_back({x, y, kind});
                    }
                }
            }
        }
        return d.cells.empty() ? std::nullopt : std::optional<Deduction>(d);
    }

    std::optional<Deduction> trialDeduction() const {
        for (int y = 0; y < f.rows; ++y) {
            for (int x = 0; x < f.cols; ++x) {
                if (!isOpen(k, x, y)) {
                    continue;
                }
                for (const bool assumeShip : {true, false}) {
                    Knowledge trial = k;
                    assumeShip ? trial.setShip(x, y) : trial.setWater(x, y);
                    if (propagate(f, trial, *work)) {
                        continue;
                    }
                    Deduction d{.rule = DeductionRule::Trial,
                                .source = {x, y, assumeShip ? Mark::Segment : Mark::Water}};
                    Knowledge after = k;
                    assumeShip ? after.setWater(x, y) : after.setShip(x, y);
                    d.cells.push_back(assumeShip ? waterAt(x, y) : segment(after, x, y));
                    return d;
                }
            }
        }
        return std::nullopt;
    }
};

}  // namespace

std::optional<Deduction> nextDeduction(const SolverPuzzle& puzzle,
                                       const std::vector<SolverCell>& known) {
    const Setup s = setUp(puzzle, known);
    return s.consistent ? Reasoner{s.frame, s.known}.next() : std::nullopt;
}

Grade gradeOf(DeductionRule rule) {
    return rule <= DeductionRule::ClueNeighbours ? Grade::Easy
           : rule <= DeductionRule::SegmentKind  ? Grade::Medium
                                                 : Grade::Hard;
}

Grade gradePuzzle(const SolverPuzzle& puzzle, Grade limit) {
    Setup s = setUp(puzzle, {});
    const DeductionRule last = limit == Grade::Easy     ? DeductionRule::ClueNeighbours
                               : limit == Grade::Medium ? DeductionRule::SegmentKind
                                                        : DeductionRule::Trial;
    const Grade beyond =
        limit < Grade::Hard ? static_cast<Grade>(static_cast<int>(limit) + 1) : Grade::VeryHard;
    Grade grade = Grade::Easy;
    // The same steps as hints asked for one after another, each taken as the player would, with
    // what is known carried over instead of read again from the marks.
    for (int y = 0; y < s.frame.rows && s.consistent;) {
        if ((s.known.ship[y] | s.known.water[y]) == s.frame.byRow.full) {
            ++y;
            continue;
        }
        const std::optional<Deduction> d = Reasoner{s.frame, s.known}.next(last);
        if (!d) {
            return beyond;
        }
        grade = std::max(grade, gradeOf(d->rule));
        for (const SolverCell& c : d->cells) {
            take(s, c);
        }
    }
    return s.consistent ? grade : Grade::VeryHard;
}

}  // namespace quorvik

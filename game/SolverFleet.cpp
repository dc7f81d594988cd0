// The rules that look at the fleet: runs of segments, the positions where each missing ship
// still fits, and what follows from them.
#include "SolverFleet.h"

#include <algorithm>

namespace quorvik::solver {

namespace {

// Bit x of line y becomes bit y of line x (a 32 x 32 bit matrix, swapped in halves, quarters...).
Lines transposed(Lines a) {
    Mask m = 0x0000FFFFu;
    for (int j = 16; j != 0; j >>= 1, m ^= m << j) {
        for (int k = 0; k < 32; k = ((k | j) + 1) & ~j) {
            const Mask t = ((a[k] >> j) ^ a[k | j]) & m;
            a[k] ^= t << j;
            a[k | j] ^= t;
        }
    }
    return a;
}

// Runs of two or more segments along the lines of a view: the complete ones (water or the edge
// at both ends) are counted and marked in `done` (by rows), the others listed.
void scanRuns(const View& v, const Lines& ship, const Lines& water, bool column, Work& w,
              Lines& done) {
    for (int i = 0; i < v.lines; ++i) {
        Mask rest = ship[i];
        while (rest) {
            const int a = lowest(rest);
            const int m = std::countr_one(rest >> a);
            const Mask run = lowBits(m) << a;
            rest &= ~run;
            if (m < 2) {
                continue;
            }
            const bool closedBefore = a == 0 || (water[i] & bit(a - 1));
            const bool closedAfter = a + m == v.length || (water[i] & bit(a + m));
            if (closedBefore && closedAfter) {
                ++w.complete[m];
                if (!column) {
                    done[i] |= run;
                }
                for (int j = a; column && j < a + m; ++j) {
                    done[j] |= bit(i);
                }
            } else {
                w.runs[w.runCount++] = column ? Run{i, a, m, true} : Run{a, i, m, false};
            }
        }
    }
}

// The open cells of the lines of a view, what each line still needs and how many open cells it
// has to spare, and across the view which crossing lines have 0, 1 or 2 cells to spare.
constexpr int roomy = 64;  // slack of a line beyond the board or without a number

struct LineRoom {
    Lines open{};
    std::array<int, 32> need{};
    std::array<int, 32> slack{};
    std::array<Mask, 3> tight{};  // tight[s]: crossing lines with exactly s cells to spare
};

LineRoom lineRoom(const View& v, const Lines& ship, const Lines& water) {
    LineRoom room;
    for (int i = 0; i < v.lines; ++i) {
        room.open[i] = v.full & ~ship[i] & ~water[i];
        // A line without a number may take any of its open cells.
        const bool known = v.target[i] != unknownCount;
        room.need[i] = known ? v.target[i] - ones(ship[i]) : ones(room.open[i]);
        room.slack[i] = known ? ones(room.open[i]) - room.need[i] : roomy;
    }
    return room;
}

void markTight(LineRoom& crossing, const LineRoom& lines, int count) {
    for (int i = 0; i < count; ++i) {
        if (lines.slack[i] >= 0 && lines.slack[i] < 3) {
            crossing.tight[lines.slack[i]] |= bit(i);
        }
    }
}

// Left (or upper) cells of the positions of a ship of n cells along the lines of a view that fit
// what is known: no water under it, no segment beside it or just beyond its ends, no middle
// piece at its ends, and no line count broken once the ship and the water round it are in: its
// own line must need its open cells, and no line it touches may lose more open cells than it has
// to spare. The other known kinds have their neighbours decided before this is asked (water
// beside an end, a segment after it), which already rules out every position against them.
void lineStarts(const View& v, const Lines& ship, const Lines& water, const LineRoom& room, int n,
                Lines& out) {
    const Lines& middle = v.kind[roleMiddle];
    for (int i = 0; i < v.lines; ++i) {
        const Mask up = i > 0 ? room.open[i - 1] : 0;
        const Mask down = i + 1 < v.lines ? room.open[i + 1] : 0;
        const Mask mid = room.open[i];
        Mask beside = (i > 0 ? ship[i - 1] : 0) | (i + 1 < v.lines ? ship[i + 1] : 0);
        beside |= (beside << 1) | (beside >> 1);
        // Crossing lines under the ship lose the open cells beside it; those at its ends lose
        // all three cells.
        const auto& t = room.tight;
        const Mask badBody = (t[0] & (up | down)) | (t[1] & up & down);
        const Mask two = (up & mid) | (up & down) | (mid & down);
        const Mask badEnd = (t[0] & (up | mid | down)) | (t[1] & two) | (t[2] & up & mid & down);
        const Mask fits = v.full & ~water[i] & ~beside & ~badBody;
        Mask r = fits;
        for (int j = 1; j < n; ++j) {
            r &= fits >> j;
        }
        r &= ~(ship[i] << 1) & ~(ship[i] >> n) & ~(badEnd << 1) & ~(badEnd >> n);
        r &= ~middle[i] & ~(middle[i] >> (n - 1));
        // The ship's own line and the two beside it, where they are tight enough to matter.
        const int slackUp = i > 0 ? room.slack[i - 1] : roomy;
        const int slackDown = i + 1 < v.lines ? room.slack[i + 1] : roomy;
        if (room.need[i] < n || room.slack[i] < 2 || slackUp < n + 2 || slackDown < n + 2) {
            for (Mask m = r; m; m &= m - 1) {
                const int a = lowest(m);
                const Mask body = lowBits(n) << a;
                const Mask span = (body | (body << 1) | (body >> 1)) & v.full;
                if (ones(mid & body) > room.need[i] || ones(mid & span & ~body) > room.slack[i] ||
                    ones(up & span) > slackUp || ones(down & span) > slackDown) {
                    r &= ~bit(a);
                }
            }
        }
        out[i] = r;
    }
}

// Adds the cells of the positions starting at `starts` to the cells covered once and twice.
void addCover(Mask starts, int n, Mask& one, Mask& two) {
    for (int j = 0; j < n; ++j) {
        const Mask t = starts << j;
        two |= one & t;
        one |= t;
    }
}

}  // namespace

bool analyseFleet(const Frame& f, const Knowledge& k, Work& w) {
    w.complete.fill(0);
    w.runCount = 0;
    Lines done{};
    scanRuns(f.byRow, k.ship, k.water, false, w, done);
    scanRuns(f.byCol, k.shipCols, k.waterCols, true, w, done);
    const View& r = f.byRow;
    for (int y = 0; y < f.rows; ++y) {
        const Mask s = k.ship[y];
        const Mask above = y > 0 ? k.ship[y - 1] : 0;
        const Mask below = y + 1 < f.rows ? k.ship[y + 1] : 0;
        const Mask alone = s & ~(s << 1) & ~(s >> 1) & ~above & ~below;
        const Mask closed = ((k.water[y] << 1) | 1) & ((k.water[y] >> 1) | bit(r.length - 1)) &
                            (y > 0 ? k.water[y - 1] : r.full) &
                            (y + 1 < f.rows ? k.water[y + 1] : r.full);
        w.complete[1] += ones(alone & closed);
        done[y] |= alone & closed;
        for (Mask open = alone & ~closed; open; open &= open - 1) {
            w.runs[w.runCount++] = Run{lowest(open), y, 1, false};
        }
        w.incomplete[y] = s & ~done[y];
    }
    w.openLongest = 0;
    for (int n = 1; n <= maxSide; ++n) {
        if (w.complete[n] > f.fleet[n]) {
            return false;
        }
        w.remaining[n] = f.fleet[n] - w.complete[n];
        if (w.remaining[n] > 0) {
            w.openLongest = n;
        }
    }
    LineRoom rowRoom = lineRoom(f.byRow, k.ship, k.water);
    LineRoom colRoom = lineRoom(f.byCol, k.shipCols, k.waterCols);
    markTight(rowRoom, colRoom, f.cols);
    markTight(colRoom, rowRoom, f.rows);
    Lines oneCols{};
    Lines twoCols{};
    w.one.fill(0);
    w.two.fill(0);
    for (int n = 1; n <= f.longest; ++n) {
        if (w.remaining[n] <= 0) {
            w.rowStarts[n].fill(0);
            w.colStarts[n].fill(0);
            continue;
        }
        lineStarts(f.byRow, k.ship, k.water, rowRoom, n, w.rowStarts[n]);
        for (int y = 0; y < f.rows; ++y) {
            addCover(w.rowStarts[n][y], n, w.one[y], w.two[y]);
        }
        if (n == 1) {
            w.colStarts[n].fill(0);  // a single is counted once, as a horizontal position
        } else {
            lineStarts(f.byCol, k.shipCols, k.waterCols, colRoom, n, w.colStarts[n]);
            for (int x = 0; x < f.cols; ++x) {
                addCover(w.colStarts[n][x], n, oneCols[x], twoCols[x]);
            }
        }
    }
    oneCols = transposed(oneCols);
    twoCols = transposed(twoCols);
    for (int y = 0; y < f.rows; ++y) {
        w.two[y] |= twoCols[y] | (w.one[y] & oneCols[y]);
        w.one[y] |= oneCols[y];
    }
    return true;
}

std::array<SolverCell, 4> runEnds(const Run& run) {
    const auto at = [](int x, int y) { return SolverCell{x, y, Mark::Covered}; };
    if (run.length == 1) {
        return {at(run.x - 1, run.y), at(run.x + 1, run.y), at(run.x, run.y - 1),
                at(run.x, run.y + 1)};
    }
    if (run.vertical) {
        return {at(run.x, run.y - 1), at(run.x, run.y + run.length), at(-1, -1), at(-1, -1)};
    }
    return {at(run.x - 1, run.y), at(run.x + run.length, run.y), at(-1, -1), at(-1, -1)};
}

SolverShip onlyPosition(const Frame& f, const Work& w, int x, int y) {
    for (int n = f.longest; n >= 1; --n) {
        if (w.remaining[n] <= 0) {
            continue;
        }
        if (const Mask h = w.rowStarts[n][y] & startsOver(x, n)) {
            return {lowest(h), y, n, false};
        }
        if (const Mask v = w.colStarts[n][x] & startsOver(y, n)) {
            return {x, lowest(v), n, true};
        }
    }
    return {};
}

void positionsOver(const Frame& f, const Work& w, int x, int y, std::vector<SolverShip>& out) {
    out.clear();
    for (int n = f.longest; n >= 1; --n) {
        if (w.remaining[n] <= 0) {
            continue;
        }
        for (Mask h = w.rowStarts[n][y] & startsOver(x, n); h; h &= h - 1) {
            out.push_back({lowest(h), y, n, false});
        }
        for (Mask v = w.colStarts[n][x] & startsOver(y, n); v; v &= v - 1) {
            out.push_back({x, lowest(v), n, true});
        }
    }
}

void positionsOf(const Frame& f, const Work& w, int n, std::vector<SolverShip>& out) {
    out.clear();
    for (int y = 0; y < f.rows; ++y) {
        for (Mask h = w.rowStarts[n][y]; h; h &= h - 1) {
            out.push_back({lowest(h), y, n, false});
        }
    }
    for (int x = 0; x < f.cols; ++x) {
        for (Mask v = w.colStarts[n][x]; v; v &= v - 1) {
            out.push_back({x, lowest(v), n, true});
        }
    }
}

int countPositions(const Frame& f, const Work& w, int n) {
    int count = 0;
    for (int y = 0; y < f.rows; ++y) {
        count += ones(w.rowStarts[n][y]);
    }
    for (int x = 0; x < f.cols; ++x) {
        count += ones(w.colStarts[n][x]);
    }
    return count;
}

int countPositionsOver(const Frame& f, const Work& w, int x, int y) {
    int count = 0;
    for (int n = f.longest; n >= 1; --n) {
        if (w.remaining[n] > 0) {
            count += ones(w.rowStarts[n][y] & startsOver(x, n)) +
                     ones(w.colStarts[n][x] & startsOver(y, n));
        }
    }
    return count;
}

void placeShip(const Frame& f, Knowledge& k, const SolverShip& s) {
    const int width = s.vertical ? 1 : s.length;
    const int height = s.vertical ? s.length : 1;
    const Mask around =
        (s.x > 0 ? lowBits(width + 2) << (s.x - 1) : lowBits(width + 1)) & f.byRow.full;
    const Mask body = lowBits(width) << s.x;
    for (int y = std::max(s.y - 1, 0); y <= std::min(s.y + height, f.rows - 1); ++y) {
        const bool inShip = y >= s.y && y < s.y + height;
        addCells(k.ship, k.shipCols, y, inShip ? body : 0);
        addCells(k.water, k.waterCols, y, inShip ? around & ~body : around);
    }
}

namespace {

// Applies what analyseFleet found: cells no missing ship reaches are water, and a segment only
// one position covers gets that ship (which also closes a run as long as the longest missing
// ship). False when a segment has no position left.
bool applyFleet(const Frame& f, Knowledge& k, const Work& w) {
    for (int y = 0; y < f.rows; ++y) {
        const Mask open = f.byRow.full & ~k.ship[y] & ~k.water[y];
        addCells(k.water, k.waterCols, y, open & ~w.one[y]);
        if (w.incomplete[y] & ~w.one[y]) {
            return false;
        }
        for (Mask only = w.incomplete[y] & ~w.two[y]; only; only &= only - 1) {
            placeShip(f, k, onlyPosition(f, w, lowest(only), y));
        }
    }
    return true;
}

}  // namespace

bool propagate(const Frame& f, Knowledge& k, Work& w) {
    for (;;) {
        if (!basicRules(f, k) || !analyseFleet(f, k, w)) {
            return false;
        }
        const Lines ship = k.ship;
        const Lines water = k.water;
        if (!applyFleet(f, k, w)) {
            return false;
        }
        if (k.ship == ship && k.water == water) {
            return true;
        }
    }
}

}  // namespace quorvik::solver

// The solver. What is known of the board is two bit masks per row, the cells known to hold a
// segment and the cells known to be water, kept also by columns for the column rules. Sound
// rules narrow the masks down (the same rules a player uses), and a search over the position
// of the ship that covers a segment or of a length's last missing ship, or over one open cell,
// finds every layout.
#include "Solver.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <memory>
#include <utility>

#include "CellCodes.h"

namespace quorvik {

namespace {

using Mask = std::uint32_t;
using Lines = std::array<Mask, 32>;  // one mask per row (bit x) or per column (bit y)

constexpr int maxSide = 31;

constexpr Mask bit(int i) {
    return Mask{1} << i;
}
constexpr Mask lowBits(int n) {
    return n >= 32 ? ~Mask{0} : bit(n) - 1;
}
// Counted by halves, pairs, nibbles and bytes: the portable build has no popcount instruction.
int ones(Mask m) {
    m = m - ((m >> 1) & 0x55555555u);
    m = (m & 0x33333333u) + ((m >> 2) & 0x33333333u);
    return static_cast<int>((((m + (m >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24);
}
int lowest(Mask m) {
    return std::countr_zero(m);
}

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

// The start cells of the ships of n cells along a line that cover cell p.
Mask startsOver(int p, int n) {
    const int first = std::max(p - n + 1, 0);
    return lowBits(p - first + 1) << first;
}

// What a known segment kind means along the lines of one direction: in rows a left end starts a
// ship along the line and an upper end lies across it; in columns it is the other way round.
enum Role { roleSingle, roleMiddle, roleStart, roleEnd, roleAcrossStart, roleAcrossEnd, roleCount };

int roleOf(int code, bool column) {
    switch (code) {
        case imgShipSingle:
            return roleSingle;
        case imgShipMiddle:
            return roleMiddle;
        case imgShipLeft:
            return column ? roleAcrossStart : roleStart;
        case imgShipRight:
            return column ? roleAcrossEnd : roleEnd;
        case imgShipTop:
            return column ? roleStart : roleAcrossStart;
        default:  // imgShipBottom
            return column ? roleEnd : roleAcrossEnd;
    }
}

// The board seen along rows or along columns.
struct View {
    int length = 0;  // cells per line
    int lines = 0;
    Mask full = 0;  // every cell of a line
    std::array<int, 32> target{};
    std::array<Lines, roleCount> kind{};  // cells whose segment kind is known, by role
};

// What does not change while solving: size, numbers, fleet and the known segment kinds.
struct Frame {
    int cols = 0;
    int rows = 0;
    View byRow;
    View byCol;
    std::array<int, 32> fleet{};  // ships per length
    int longest = 0;
    std::array<std::array<int, 32>, 32> code{};  // known kind per [x][y], 0 where none
};

// Adds `cells` to line i and the same cells, seen the other way, to the crossing lines.
void addCells(Lines& along, Lines& crossing, int i, Mask cells) {
    for (Mask fresh = cells & ~along[i]; fresh; fresh &= fresh - 1) {
        crossing[lowest(fresh)] |= bit(i);
    }
    along[i] |= cells;
}

// What is known: segments and water by rows (bit x of row y) and the same by columns (bit y of
// column x); every change goes to both.
struct Knowledge {
    Lines ship{};
    Lines water{};
    Lines shipCols{};
    Lines waterCols{};

    bool isShip(int x, int y) const { return (ship[y] >> x) & 1; }
    bool isWater(int x, int y) const { return (water[y] >> x) & 1; }
    void setShip(int x, int y) { addCells(ship, shipCols, y, bit(x)); }
    void setWater(int x, int y) { addCells(water, waterCols, y, bit(x)); }
};

// One direction of the knowledge: its lines and the crossing lines, changed together.
struct Side {
    Lines& ship;
    Lines& water;
    Lines& shipCrossing;
    Lines& waterCrossing;

    void addShip(int i, Mask cells) { addCells(ship, shipCrossing, i, cells); }
    void addWater(int i, Mask cells) { addCells(water, waterCrossing, i, cells); }
};

Side byRows(Knowledge& k) {
    return {k.ship, k.water, k.shipCols, k.waterCols};
}
Side byCols(Knowledge& k) {
    return {k.shipCols, k.waterCols, k.ship, k.water};
}

bool clashes(const Frame& f, const Knowledge& k) {
    for (int y = 0; y < f.rows; ++y) {
        if (k.ship[y] & k.water[y]) {
            return true;
        }
    }
    return false;
}

struct Setup {
    Frame frame;
    Knowledge known;
    bool consistent = true;
};

// Adds one cell (a clue, a mark, a deduction's result) to what is known.
void take(Setup& s, const SolverCell& c) {
    Frame& f = s.frame;
    if (c.x < 0 || c.x >= f.cols || c.y < 0 || c.y >= f.rows) {
        return;
    }
    if (c.code == imgWater) {
        s.known.setWater(c.x, c.y);
    } else if (c.code == imgQuestion) {
        s.known.setShip(c.x, c.y);
    } else if (isSegmentCode(c.code)) {
        s.known.setShip(c.x, c.y);
        int& code = f.code[c.x][c.y];
        if (code != 0 && code != c.code) {
            s.consistent = false;
        }
        code = c.code;
        f.byRow.kind[roleOf(c.code, false)][c.y] |= bit(c.x);
        f.byCol.kind[roleOf(c.code, true)][c.x] |= bit(c.y);
    }
}

// The frame and the starting knowledge from the puzzle and a list of cells (clues, marks).
Setup setUp(const SolverPuzzle& p, const std::vector<SolverCell>& extra) {
    Setup s;
    Frame& f = s.frame;
    if (p.cols < 1 || p.cols > maxSide || p.rows < 1 || p.rows > maxSide) {
        s.consistent = false;
        return s;
    }
    f.cols = p.cols;
    f.rows = p.rows;
    f.byRow.length = f.byCol.lines = f.cols;
    f.byRow.lines = f.byCol.length = f.rows;
    f.byRow.full = lowBits(f.cols);
    f.byCol.full = lowBits(f.rows);
    int rowTotal = 0;
    int colTotal = 0;
    for (int y = 0; y < f.rows; ++y) {
        f.byRow.target[y] = y < static_cast<int>(p.rowCounts.size()) ? p.rowCounts[y] : 0;
        rowTotal += f.byRow.target[y];
    }
    for (int x = 0; x < f.cols; ++x) {
        f.byCol.target[x] = x < static_cast<int>(p.colCounts.size()) ? p.colCounts[x] : 0;
        colTotal += f.byCol.target[x];
    }
    int fleetTotal = 0;
    for (int n = 1; n < static_cast<int>(p.fleet.size()); ++n) {
        if (p.fleet[n] <= 0) {
            continue;
        }
        if (n > maxSide) {
            s.consistent = false;
            continue;
        }
        f.fleet[n] = p.fleet[n];
        f.longest = n;
        fleetTotal += n * p.fleet[n];
    }
    // Every segment lies in one row and one column.
    if (rowTotal != fleetTotal || colTotal != fleetTotal) {
        s.consistent = false;
    }
    for (const SolverCell& c : p.clues) {
        take(s, c);
    }
    for (const SolverCell& c : extra) {
        take(s, c);
    }
    if (clashes(f, s.known)) {
        s.consistent = false;
    }
    return s;
}

// --- Rules that look at one line, one cell and its neighbours ---

// A line holding all its segments has water in its open cells; a line that needs every open
// cell has segments there. False when a line has too many segments or too little room.
bool lineRule(const View& v, Side s) {
    for (int i = 0; i < v.lines; ++i) {
        const Mask open = v.full & ~s.ship[i] & ~s.water[i];
        const int need = v.target[i] - ones(s.ship[i]);
        const int room = ones(open);
        if (need < 0 || need > room) {
            return false;
        }
        if (need == 0) {
            s.addWater(i, open);
        } else if (need == room) {
            s.addShip(i, open);
        }
    }
    return true;
}

// A known kind decides the neighbours along the line: an end continues inwards and has water
// outside, a single or a piece lying across the line has water on both sides. A middle piece
// lies along the line when a neighbour across it is water or the edge; then both neighbours
// along it are segments. (A segment beside a middle piece makes the cells across it water by
// the diagonal rule, so that case needs no rule of its own.)
bool kindRule(const View& v, Side s) {
    const Mask last = bit(v.length - 1);
    for (int i = 0; i < v.lines; ++i) {
        const auto& k = v.kind;
        const Mask start = k[roleStart][i];
        const Mask end = k[roleEnd][i];
        const Mask closed = k[roleSingle][i] | k[roleAcrossStart][i] | k[roleAcrossEnd][i];
        if ((start & last) || (end & 1)) {
            return false;
        }
        s.addWater(i, (((closed | end) << 1) | ((closed | start) >> 1)) & v.full);
        s.addShip(i, (start << 1) | (end >> 1));
        const Mask middle = k[roleMiddle][i];
        if (middle == 0) {
            continue;
        }
        const Mask before = i > 0 ? s.water[i - 1] : v.full;
        const Mask after = i + 1 < v.lines ? s.water[i + 1] : v.full;
        const Mask along = middle & (before | after);
        if (along & (1 | last)) {
            return false;
        }
        s.addShip(i, (along << 1) | (along >> 1));
    }
    return true;
}

// Ships never touch, not even at a corner, and are straight: the diagonal neighbours of a
// segment are water.
void diagonalRule(const View& v, Side s) {
    for (int i = 0; i < v.lines; ++i) {
        const Mask d = ((s.ship[i] << 1) | (s.ship[i] >> 1)) & v.full;
        if (i > 0) {
            s.addWater(i - 1, d);
        }
        if (i + 1 < v.lines) {
            s.addWater(i + 1, d);
        }
    }
}

// The line, kind and diagonal rules in both directions until nothing changes.
bool basicRules(const Frame& f, Knowledge& k) {
    for (;;) {
        const Lines ship = k.ship;
        const Lines water = k.water;
        if (!lineRule(f.byRow, byRows(k)) || !kindRule(f.byRow, byRows(k))) {
            return false;
        }
        diagonalRule(f.byRow, byRows(k));
        if (!lineRule(f.byCol, byCols(k)) || !kindRule(f.byCol, byCols(k))) {
            return false;
        }
        if (clashes(f, k)) {
            return false;
        }
        if (k.ship == ship && k.water == water) {
            return true;
        }
    }
}

// --- Rules that look at the fleet ---

// A straight run of segments whose ship is not yet closed at both ends; length 1 is a single
// segment without a neighbour, orientation open.
struct Run {
    int x = 0;
    int y = 0;
    int length = 0;
    bool vertical = false;
};

// The fleet's view of a knowledge state: the ships known complete, the runs still open, and for
// every length with ships missing the positions where such a ship still fits.
struct Work {
    std::array<int, 32> complete{};
    std::array<int, 32> remaining{};
    int openLongest = 0;                            // the longest length with a ship missing
    Lines incomplete{};                             // segments not in a complete ship
    std::array<Run, 2 * maxSide * maxSide> runs{};  // a cell starts at most a row and a column run
    int runCount = 0;
    std::array<Lines, 32> rowStarts{};  // by length: left cells of horizontal positions
    std::array<Lines, 32> colStarts{};  // by length: upper cells of vertical positions (bit y)
    Lines one{};                        // cells covered by at least one position
    Lines two{};                        // cells covered by at least two positions
};

// Runs of two or more segments along the lines of a view: the complete ones (water or the edge
// at both ends) are counted and marked in `done` (by rows), the others listed.
bool scanRuns(const View& v, const Lines& ship, const Lines& water, bool column, Work& w,
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
    return true;
}

// The open cells of the lines of a view, what each line still needs and how many open cells it
// has to spare, and across the view which crossing lines have 0, 1 or 2 cells to spare.
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
        room.need[i] = v.target[i] - ones(ship[i]);
        room.slack[i] = ones(room.open[i]) - room.need[i];
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
    constexpr int roomy = 64;  // slack of a line beyond the board
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

// Reads the fleet's view of `k` into `w`. False when there are more complete ships of a length
// than the fleet has.
bool analyseFleet(const Frame& f, const Knowledge& k, Work& w) {
    w.complete.fill(0);
    w.runCount = 0;
    Lines done{};
    const Lines& shipCols = k.shipCols;
    const Lines& waterCols = k.waterCols;
    if (!scanRuns(f.byRow, k.ship, k.water, false, w, done) ||
        !scanRuns(f.byCol, shipCols, waterCols, true, w, done)) {
        return false;
    }
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
    LineRoom colRoom = lineRoom(f.byCol, shipCols, waterCols);
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
            lineStarts(f.byCol, shipCols, waterCols, colRoom, n, w.colStarts[n]);
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

// The cells just beyond a run's ends (all four neighbours of a single segment).
std::array<SolverCell, 4> runEnds(const Run& run) {
    if (run.length == 1) {
        return {{{run.x - 1, run.y, 0},
                 {run.x + 1, run.y, 0},
                 {run.x, run.y - 1, 0},
                 {run.x, run.y + 1, 0}}};
    }
    if (run.vertical) {
        return {{{run.x, run.y - 1, 0}, {run.x, run.y + run.length, 0}, {-1, -1, 0}, {-1, -1, 0}}};
    }
    return {{{run.x - 1, run.y, 0}, {run.x + run.length, run.y, 0}, {-1, -1, 0}, {-1, -1, 0}}};
}

bool onBoard(const Frame& f, int x, int y) {
    return x >= 0 && x < f.cols && y >= 0 && y < f.rows;
}

// The one position of `w` that covers segment (x, y); call only where exactly one does.
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

// All positions of `w` that cover segment (x, y), longest ships first.
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

// All positions of `w` for a ship of n cells, rows before columns.
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

// Puts a ship's segments on the board and water all round it.
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

// Every rule until nothing changes; `w` then describes the final state. False on a contradiction.
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

// --- Layouts ---

// The kind of segment (x, y) as its four neighbours decide it, or 0 while one of them is open.
int kindAt(const Frame& f, const Knowledge& k, int x, int y) {
    enum State { open, ship, water };
    const auto at = [&](int cx, int cy) {
        if (!onBoard(f, cx, cy) || k.isWater(cx, cy)) {
            return water;
        }
        return k.isShip(cx, cy) ? ship : open;
    };
    const State l = at(x - 1, y);
    const State r = at(x + 1, y);
    const State u = at(x, y - 1);
    const State d = at(x, y + 1);
    if (l == ship || r == ship) {
        if (l == open || r == open) {
            return 0;
        }
        return l == ship ? (r == ship ? imgShipMiddle : imgShipRight) : imgShipLeft;
    }
    if (u == ship || d == ship) {
        if (u == open || d == open) {
            return 0;
        }
        return u == ship ? (d == ship ? imgShipMiddle : imgShipBottom) : imgShipTop;
    }
    if (l == open || r == open || u == open || d == open) {
        return 0;
    }
    return imgShipSingle;
}

// A board without open cells that passes every rule is a layout: the line rule leaves each line
// its number, the diagonal rule keeps ships straight and apart, the kind rule gives every known
// segment its neighbours, and with every ship complete and none of a length in excess the fleet
// is exact, since the segments add up to the fleet's.
SolverLayout layoutOf(const Frame& f, const Knowledge& k) {
    SolverLayout layout(static_cast<std::size_t>(f.cols * f.rows), imgCovered);
    for (int x = 0; x < f.cols; ++x) {
        for (int y = 0; y < f.rows; ++y) {
            if (k.isShip(x, y)) {
                layout[static_cast<std::size_t>(x * f.rows + y)] = kindAt(f, k, x, y);
            }
        }
    }
    return layout;
}

// --- Search ---

class Search {
public:
    // With `spread`, each layout found adds its codes there (one bit per code, bit c - 20 for a
    // segment, bit 9 for no ship) instead of being kept.
    Search(const Frame& f, int limit, std::vector<std::uint16_t>* spread = nullptr)
        : f_(f), limit_(limit), spread_(spread) {}

    SolveResult run(const Knowledge& start) {
        explore(start);
        return std::move(result_);
    }

private:
    bool done() const { return result_.count >= limit_; }

    void explore(Knowledge k) {
        if (!propagate(f_, k, *work_)) {
            return;
        }
        const Work& w = *work_;
        // The segment that the fewest positions cover: each layout has exactly one ship there.
        int best = 0;
        int bestX = -1;
        int bestY = -1;
        for (int y = 0; y < f_.rows && best != 2; ++y) {
            for (Mask m = w.incomplete[y]; m && best != 2; m &= m - 1) {
                const int c = countPositionsOver(f_, w, lowest(m), y);
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
        for (int n = f_.longest; n >= 1; --n) {
            if (w.remaining[n] == 1) {
                const int c = countPositions(f_, w, n);
                if (lone == 0 || c < loneCount) {
                    lone = n;
                    loneCount = c;
                }
            }
        }
        const bool byLength = lone > 0 && (bestX < 0 || loneCount <= best + 3);
        if (byLength || bestX >= 0) {
            std::vector<SolverShip> ships;
            byLength ? positionsOf(f_, w, lone, ships) : positionsOver(f_, w, bestX, bestY, ships);
            for (const SolverShip& s : ships) {
                Knowledge next = k;
                placeShip(f_, next, s);
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
        for (int y = 0; y < f_.rows && n > 0; ++y) {
            for (Mask m = f_.byRow.full & ~k.ship[y] & ~k.water[y]; m; m &= m - 1) {
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
            if (spread_ != nullptr) {
                const SolverLayout layout = layoutOf(f_, k);
                for (std::size_t i = 0; i < layout.size(); ++i) {
                    (*spread_)[i] |= static_cast<std::uint16_t>(1U << (layout[i] - imgShipSingle));
                }
            } else if (static_cast<int>(result_.solutions.size()) < limit_) {
                result_.solutions.push_back(layoutOf(f_, k));
            }
            ++result_.count;
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

    const Frame& f_;
    int limit_;
    std::vector<std::uint16_t>* spread_;
    std::unique_ptr<Work> work_ = std::make_unique<Work>();
    SolveResult result_;
};

// --- Deductions ---

bool isOpen(const Knowledge& k, int x, int y) {
    return !k.isShip(x, y) && !k.isWater(x, y);
}

// The four side neighbours: left, right, up, down.
constexpr std::array<std::pair<int, int>, 4> sides{{{-1, 0}, {1, 0}, {0, -1}, {0, 1}}};

SolverCell waterAt(int x, int y) {
    return {x, y, imgWater};
}

// Finds the first rule that decides something, looking only at what is known (no propagation),
// so that each deduction is one step a player can follow.
class Reasoner {
public:
    Reasoner(const Frame& f, const Knowledge& k) : f_(f), k_(k) {}

    // The first rule up to `last` that decides something.
    std::optional<Deduction> next(DeductionRule last = DeductionRule::Trial) {
        if (auto d = lineDeduction(true)) {
            return d;
        }
        if (auto d = lineDeduction(false)) {
            return d;
        }
        if (auto d = diagonalDeduction()) {
            return d;
        }
        if (auto d = clueDeduction()) {
            return d;
        }
        if (last < DeductionRule::LengthComplete || !analyseFleet(f_, k_, *work_)) {
            return std::nullopt;
        }
        if (auto d = lengthDeduction()) {
            return d;
        }
        if (auto d = unreachableDeduction()) {
            return d;
        }
        if (auto d = placementDeduction()) {
            return d;
        }
        if (auto d = kindDeduction()) {
            return d;
        }
        if (last < DeductionRule::Trial) {
            return std::nullopt;
        }
        return trialDeduction();
    }

private:
    // A segment decided in `after`, with its kind where the neighbours already tell it.
    SolverCell segment(const Knowledge& after, int x, int y) const {
        const int kind = kindAt(f_, after, x, y);
        return {x, y, kind != 0 ? kind : imgQuestion};
    }

    std::optional<Deduction> lineDeduction(bool full) const {
        for (int pass = 0; pass < 2; ++pass) {
            const bool column = pass == 1;
            const View& v = column ? f_.byCol : f_.byRow;
            const Lines& ship = column ? k_.shipCols : k_.ship;
            const Lines& water = column ? k_.waterCols : k_.water;
            for (int i = 0; i < v.lines; ++i) {
                const Mask open = v.full & ~ship[i] & ~water[i];
                const int need = v.target[i] - ones(ship[i]);
                if (!open || need != (full ? 0 : ones(open))) {
                    continue;
                }
                Deduction d;
                d.rule = full ? DeductionRule::FullLine : DeductionRule::LineNeedsAllOpen;
                d.isColumn = column;
                d.line = i;
                d.count = v.target[i];
                Knowledge after = k_;
                for (Mask m = open; m; m &= m - 1) {
                    const int x = column ? i : lowest(m);
                    const int y = column ? lowest(m) : i;
                    full ? after.setWater(x, y) : after.setShip(x, y);
                }
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
        for (int y = 0; y < f_.rows; ++y) {
            for (int x = 0; x < f_.cols; ++x) {
                if (!k_.isShip(x, y)) {
                    continue;
                }
                Deduction d;
                d.rule = DeductionRule::DiagonalWater;
                d.source = {x, y, f_.code[x][y] != 0 ? f_.code[x][y] : imgQuestion};
                for (const int dy : {-1, 1}) {
                    for (const int dx : {-1, 1}) {
                        if (onBoard(f_, x + dx, y + dy) && isOpen(k_, x + dx, y + dy)) {
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
        const auto closed = [&](int x, int y) { return !onBoard(f_, x, y) || k_.isWater(x, y); };
        for (int y = 0; y < f_.rows; ++y) {
            for (int x = 0; x < f_.cols; ++x) {
                const int code = f_.code[x][y];
                if (code == 0) {
                    continue;
                }
                // The side towards which an end continues; a middle piece continues both ways.
                const int dx = code == imgShipLeft ? 1 : code == imgShipRight ? -1 : 0;
                const int dy = code == imgShipTop ? 1 : code == imgShipBottom ? -1 : 0;
                bool vertical = false;
                if (code == imgShipMiddle) {
                    const bool horizontal = closed(x, y - 1) || closed(x, y + 1);
                    vertical = closed(x - 1, y) || closed(x + 1, y);
                    if (horizontal == vertical) {
                        continue;  // orientation still open (or contradictory)
                    }
                }
                const auto continues = [&](int sx, int sy) {
                    return code == imgShipMiddle ? (vertical ? sx == 0 : sy == 0)
                                                 : sx == dx && sy == dy;
                };
                // None of the cells decided here is a side neighbour of another, so the kinds
                // of the new segments can be read from what is known already.
                Deduction d;
                d.rule = DeductionRule::ClueNeighbours;
                d.source = {x, y, code};
                d.vertical = vertical;
                bool possible = true;
                for (const auto& [sx, sy] : sides) {
                    if (!onBoard(f_, x + sx, y + sy)) {
                        possible = possible && !continues(sx, sy);
                    } else if (isOpen(k_, x + sx, y + sy)) {
                        d.cells.push_back(continues(sx, sy) ? segment(k_, x + sx, y + sy)
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
        const Work& w = *work_;
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
                if (onBoard(f_, c.x, c.y) && isOpen(k_, c.x, c.y)) {
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
        Deduction d;
        d.rule = DeductionRule::LengthComplete;
        const int code = f_.code[best->x][best->y];
        d.source = {best->x, best->y, code != 0 ? code : imgQuestion};
        d.length = best->length;
        d.vertical = best->vertical;
        d.cells = std::move(cells);
        std::sort(d.cells.begin(), d.cells.end(), [](const SolverCell& a, const SolverCell& b) {
            return std::make_pair(a.y, a.x) < std::make_pair(b.y, b.x);
        });
        return d;
    }

    std::optional<Deduction> unreachableDeduction() const {
        Deduction d;
        d.rule = DeductionRule::Unreachable;
        for (int y = 0; y < f_.rows; ++y) {
            const Mask open = f_.byRow.full & ~k_.ship[y] & ~k_.water[y];
            for (Mask m = open & ~work_->one[y]; m; m &= m - 1) {
                d.cells.push_back(waterAt(lowest(m), y));
            }
        }
        return d.cells.empty() ? std::nullopt : std::optional<Deduction>(d);
    }

    std::optional<Deduction> placementDeduction() const {
        const Work& w = *work_;
        for (int y = 0; y < f_.rows; ++y) {
            const Mask only = w.incomplete[y] & w.one[y] & ~w.two[y];
            if (!only) {
                continue;
            }
            const int x = lowest(only);
            Deduction d;
            d.rule = DeductionRule::OnlyPlacement;
            d.source = {x, y, f_.code[x][y] != 0 ? f_.code[x][y] : imgQuestion};
            d.ship = onlyPosition(f_, w, x, y);
            Knowledge after = k_;
            placeShip(f_, after, d.ship);
            // The ship's segments whose kind is not yet known, then the open cells around it.
            const int width = d.ship.vertical ? 1 : d.ship.length;
            const int height = d.ship.vertical ? d.ship.length : 1;
            for (int cy = std::max(d.ship.y - 1, 0); cy <= std::min(d.ship.y + height, f_.rows - 1);
                 ++cy) {
                for (int cx = std::max(d.ship.x - 1, 0);
                     cx <= std::min(d.ship.x + width, f_.cols - 1); ++cx) {
                    const bool inShip = cx >= d.ship.x && cx < d.ship.x + width && cy >= d.ship.y &&
                                        cy < d.ship.y + height;
                    if (inShip && f_.code[cx][cy] == 0) {
                        d.cells.push_back(segment(after, cx, cy));
                    } else if (!inShip && isOpen(k_, cx, cy)) {
                        d.cells.push_back(waterAt(cx, cy));
                    }
                }
            }
            return d;
        }
        return std::nullopt;
    }

    std::optional<Deduction> kindDeduction() const {
        Deduction d;
        d.rule = DeductionRule::SegmentKind;
        for (int y = 0; y < f_.rows; ++y) {
            for (int x = 0; x < f_.cols; ++x) {
                if (k_.isShip(x, y) && f_.code[x][y] == 0) {
                    if (const int kind = kindAt(f_, k_, x, y)) {
                        d.cells.push_back({x, y, kind});
                    }
                }
            }
        }
        return d.cells.empty() ? std::nullopt : std::optional<Deduction>(d);
    }

    std::optional<Deduction> trialDeduction() const {
        for (int y = 0; y < f_.rows; ++y) {
            for (int x = 0; x < f_.cols; ++x) {
                if (!isOpen(k_, x, y)) {
                    continue;
                }
                for (const bool assumeShip : {true, false}) {
                    Knowledge trial = k_;
                    assumeShip ? trial.setShip(x, y) : trial.setWater(x, y);
                    if (propagate(f_, trial, *work_)) {
                        continue;
                    }
                    Deduction d;
                    d.rule = DeductionRule::Trial;
                    d.source = {x, y, assumeShip ? imgQuestion : imgWater};
                    Knowledge after = k_;
                    assumeShip ? after.setWater(x, y) : after.setShip(x, y);
                    d.cells.push_back(assumeShip ? waterAt(x, y) : segment(after, x, y));
                    return d;
                }
            }
        }
        return std::nullopt;
    }

    const Frame& f_;
    const Knowledge& k_;
    std::unique_ptr<Work> work_ = std::make_unique<Work>();
};

bool agrees(const SolverLayout& layout, int rows, const SolverCell& mark) {
    const int code = layout[static_cast<std::size_t>(mark.x * rows + mark.y)];
    if (mark.code == imgWater) {
        return code == imgCovered;
    }
    return mark.code == imgQuestion ? code != imgCovered : code == mark.code;
}

}  // namespace

SolveResult solve(const SolverPuzzle& puzzle, const std::vector<SolverCell>& fixed, int limit) {
    const Setup s = setUp(puzzle, fixed);
    if (!s.consistent) {
        return {};
    }
    return Search(s.frame, std::max(limit, 1)).run(s.known);
}

SolutionSpread solutionSpread(const SolverPuzzle& puzzle, int limit) {
    SolutionSpread spread;
    const Setup s = setUp(puzzle, {});
    if (!s.consistent) {
        return spread;
    }
    spread.codes.assign(static_cast<std::size_t>(s.frame.cols * s.frame.rows), 0);
    spread.count = Search(s.frame, std::max(limit, 1), &spread.codes).run(s.known).count;
    return spread;
}

bool SolutionSpread::has(int rows, const SolverCell& mark) const {
    const std::uint16_t codes = this->codes[static_cast<std::size_t>(mark.x * rows + mark.y)];
    const auto bitOf = [](int code) { return 1U << (code - imgShipSingle); };
    if (mark.code == imgWater) {
        return (codes & bitOf(imgCovered)) != 0;
    }
    if (mark.code == imgQuestion) {
        return (codes & ~bitOf(imgCovered)) != 0;
    }
    return isSegmentCode(mark.code) && (codes & bitOf(mark.code)) != 0;
}

std::optional<Deduction> nextDeduction(const SolverPuzzle& puzzle,
                                       const std::vector<SolverCell>& known) {
    const Setup s = setUp(puzzle, known);
    if (!s.consistent) {
        return std::nullopt;
    }
    return Reasoner(s.frame, s.known).next();
}

Grade gradeOf(DeductionRule rule) {
    if (rule <= DeductionRule::ClueNeighbours) {
        return Grade::Easy;
    }
    return rule <= DeductionRule::SegmentKind ? Grade::Medium : Grade::Hard;
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
        const std::optional<Deduction> d = Reasoner(s.frame, s.known).next(last);
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

std::vector<bool> impossibleMarks(const SolverPuzzle& puzzle,
                                  const std::vector<SolverCell>& marks) {
    std::vector<bool> impossible(marks.size(), false);
    std::vector<std::size_t> open;  // marks neither seen in a layout nor ruled out
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const SolverCell& m = marks[i];
        if (m.x >= 0 && m.x < puzzle.cols && m.y >= 0 && m.y < puzzle.rows &&
            (m.code == imgWater || m.code == imgQuestion || isSegmentCode(m.code))) {
            open.push_back(i);
        }
    }
    // With one layout the answer is a comparison; two layouts settle the marks they have.
    const SolveResult verdict = solve(puzzle, {}, 2);
    const auto seen = [&](std::size_t i) {
        return std::any_of(verdict.solutions.begin(), verdict.solutions.end(),
                           [&](const SolverLayout& l) { return agrees(l, puzzle.rows, marks[i]); });
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

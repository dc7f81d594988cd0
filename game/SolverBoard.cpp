// The board as the solver sees it: reading a puzzle into masks, and the rules that look at one
// line, one cell and its neighbours.
#include "SolverBoard.h"

#include <algorithm>

namespace quorvik::solver {

namespace {

// The roles of the shapes from Single on (Single, Top, Bottom, Left, Right, Middle): along rows,
// then along columns.
constexpr Role shapeRoles[][2] = {{roleSingle, roleSingle}, {roleAcrossStart, roleStart},
                                  {roleAcrossEnd, roleEnd}, {roleStart, roleAcrossStart},
                                  {roleEnd, roleAcrossEnd}, {roleMiddle, roleMiddle}};

}  // namespace

void take(Setup& s, const SolverCell& c) {
    Frame& f = s.frame;
    if (c.x < 0 || c.x >= f.cols || c.y < 0 || c.y >= f.rows) {
        return;
    }
    if (c.mark == Mark::Water) {
        s.known.setWater(c.x, c.y);
    } else if (isShipMark(c.mark)) {
        s.known.setShip(c.x, c.y);
    }
    if (isShape(c.mark)) {
        Mark& shape = f.shape[c.x][c.y];
        if (shape != noShape && shape != c.mark) {
            s.consistent = false;
        }
        shape = c.mark;
        const Role* roles = shapeRoles[static_cast<int>(c.mark) - static_cast<int>(Mark::Single)];
        f.byRow.kind[roles[0]][c.y] |= bit(c.x);
        f.byCol.kind[roles[1]][c.x] |= bit(c.y);
    }
}

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
    // Every segment lies in one row and one column; lines without a number take the rest.
    const auto readNumbers = [&](View& v, const std::vector<int>& counts) {
        int total = 0;
        bool allKnown = true;
        for (int i = 0; i < v.lines; ++i) {
            const int count = i < static_cast<int>(counts.size()) ? counts[i] : 0;
            v.target[i] = std::max(count, unknownCount);
            allKnown = allKnown && count >= 0;
            total += std::max(count, 0);
        }
        if (allKnown ? total != fleetTotal : total > fleetTotal) {
            s.consistent = false;
        }
    };
    readNumbers(f.byRow, p.rowCounts);
    readNumbers(f.byCol, p.colCounts);
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

namespace {

// A line holding all its segments has water in its open cells; a line that needs every open
// cell has segments there. False when a line has too many segments or too little room. Lines
// without a number are left alone.
bool lineRule(const View& v, Side s) {
    for (int i = 0; i < v.lines; ++i) {
        if (v.target[i] == unknownCount) {
            continue;
        }
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

}  // namespace

bool basicRules(const Frame& f, Knowledge& k) {
    for (;;) {
        const Lines ship = k.ship;
        const Lines water = k.water;
        if (!lineRule(f.byRow, byRows(k)) || !kindRule(f.byRow, byRows(k))) {
            return false;
        }
        diagonalRule(f.byRow, byRows(k));
        if (!lineRule(f.byCol, byCols(k)) || !kindRule(f.byCol, byCols(k)) || clashes(f, k)) {
            return false;
        }
        if (k.ship == ship && k.water == water) {
            return true;
        }
    }
}

// --- Layouts ---

Mark kindAt(const Frame& f, const Knowledge& k, int x, int y) {
    enum State { open, ship, water };
    const auto at = [&](int cx, int cy) {
        return !onBoard(f, cx, cy) || k.isWater(cx, cy) ? water : k.isShip(cx, cy) ? ship : open;
    };
    bool anyOpen = false;
    for (const bool vertical : {false, true}) {
        const State before = vertical ? at(x, y - 1) : at(x - 1, y);
        const State after = vertical ? at(x, y + 1) : at(x + 1, y);
        if (before == ship || after == ship) {
            if (before == open || after == open) {
                return noShape;
            }
            if (before != ship) {
                return vertical ? Mark::Top : Mark::Left;
            }
            return after == ship ? Mark::Middle : vertical ? Mark::Bottom : Mark::Right;
        }
        anyOpen = anyOpen || before == open || after == open;
    }
    return anyOpen ? noShape : Mark::Single;
}

// A board without open cells that passes every rule and has no ship missing is a layout: the
// line rule leaves each line its number, the diagonal rule keeps ships straight and apart, the
// kind rule gives every known segment its neighbours, and every ship is complete with none of a
// length in excess. (With every number given, no ship can be missing then: the segments add up
// to the fleet's.)
SolverLayout layoutOf(const Frame& f, const Knowledge& k) {
    SolverLayout layout(static_cast<std::size_t>(f.cols * f.rows), Mark::Water);
    for (int x = 0; x < f.cols; ++x) {
        for (int y = 0; y < f.rows; ++y) {
            if (k.isShip(x, y)) {
                layout[static_cast<std::size_t>(x * f.rows + y)] = kindAt(f, k, x, y);
            }
        }
    }
    return layout;
}

}  // namespace quorvik::solver

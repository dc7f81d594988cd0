// A plain enumeration of a puzzle's layouts, the reference the solver's counts are checked
// against, and boards written as rows of characters for the solver's tests.
#pragma once

#include <QStringList>

#include <set>
#include <vector>

#include "Solver.h"

namespace quorvik::enumeration {

inline std::size_t at(int x, int y, int rows) {
    return static_cast<std::size_t>(x * rows + y);
}

// The shape a ship of n cells has in its k-th cell.
inline Mark pieceShape(int n, int k, bool vertical) {
    if (n == 1) {
        return Mark::Single;
    }
    if (k == 0) {
        return vertical ? Mark::Top : Mark::Left;
    }
    return k == n - 1 ? (vertical ? Mark::Bottom : Mark::Right) : Mark::Middle;
}

// Whether a ship of n cells at (x, y) stays on the board and touches no segment of `layout`.
inline bool isFree(const SolverLayout& layout, int cols, int rows, int x, int y, int n,
                   bool vertical) {
    const int w = vertical ? 1 : n;
    const int h = vertical ? n : 1;
    if (x + w > cols || y + h > rows) {
        return false;
    }
    for (int cx = std::max(x - 1, 0); cx <= std::min(x + w, cols - 1); ++cx) {
        for (int cy = std::max(y - 1, 0); cy <= std::min(y + h, rows - 1); ++cy) {
            if (layout[at(cx, cy, rows)] != Mark::Water) {
                return false;
            }
        }
    }
    return true;
}

// Puts a ship of n cells at (x, y) into `layout`, or takes it away again.
inline void putShip(SolverLayout& layout, int rows, int x, int y, int n, bool vertical, bool in) {
    for (int k = 0; k < n; ++k) {
        layout[at(vertical ? x : x + k, vertical ? y + k : y, rows)] =
            in ? pieceShape(n, k, vertical) : Mark::Water;
    }
}

// Every layout of a puzzle's fleet, found without the solver: ships placed longest first, the
// ships of one length at increasing positions, none touching another or overfilling a line, and
// kept when the numbers and the given cells (clues and marks) fit.
class Enumerator {
public:
    Enumerator(const SolverPuzzle& p, const std::vector<SolverCell>& marks) : p_(p) {
        given_ = p.clues;
        given_.insert(given_.end(), marks.begin(), marks.end());
        layout_.assign(at(p.cols, 0, p.rows), Mark::Water);
    }

    std::set<SolverLayout> layouts() {
        place(static_cast<int>(p_.fleet.size()) - 1, 0, 0);
        return found_;
    }

private:
    // Segments per line, compared with the numbers: all at most (`exact` false) or equal.
    bool linesFit(bool exact) const {
        for (int pass = 0; pass < 2; ++pass) {
            const bool cols = pass == 0;
            for (int i = 0; i < (cols ? p_.cols : p_.rows); ++i) {
                int count = 0;
                for (int j = 0; j < (cols ? p_.rows : p_.cols); ++j) {
                    count += layout_[cols ? at(i, j, p_.rows) : at(j, i, p_.rows)] != Mark::Water;
                }
                const int target =
                    (cols ? p_.colCounts : p_.rowCounts)[static_cast<std::size_t>(i)];
                if (target >= 0 && (exact ? count != target : count > target)) {
                    return false;
                }
            }
        }
        return true;
    }

    void place(int n, int shipsPlaced, int from) {
        while (n > 0 && shipsPlaced == p_.fleet[static_cast<std::size_t>(n)]) {
            --n;
            shipsPlaced = 0;
            from = 0;
        }
        if (n == 0) {
            for (const SolverCell& c : given_) {
                const Mark there = layout_[at(c.x, c.y, p_.rows)];
                if (c.mark == Mark::Segment ? there == Mark::Water : there != c.mark) {
                    return;
                }
            }
            if (linesFit(true)) {
                found_.insert(layout_);
            }
            return;
        }
        for (int pos = from; pos < p_.cols * p_.rows * 2; ++pos) {
            const bool vertical = pos % 2 == 1;
            const int x = pos / 2 % p_.cols;
            const int y = pos / 2 / p_.cols;
            if ((n == 1 && vertical) || !isFree(layout_, p_.cols, p_.rows, x, y, n, vertical)) {
                continue;
            }
            putShip(layout_, p_.rows, x, y, n, vertical, true);
            if (linesFit(false)) {
                place(n, shipsPlaced + 1, pos + 1);
            }
            putShip(layout_, p_.rows, x, y, n, vertical, false);
        }
    }

    const SolverPuzzle& p_;
    std::vector<SolverCell> given_;
    SolverLayout layout_;
    std::set<SolverLayout> found_;
};

// A board from rows: '.' no ship; o < > ^ v = hidden segments (single, left, right, upper end,
// lower end, middle); O L R T B M the same revealed as clues; '~' water marked; '#' a segment
// marked. The numbers and the fleet are read from the segments.
inline SolverPuzzle boardOf(const QStringList& rows, std::vector<SolverCell>& marks) {
    SolverPuzzle p;
    p.rows = static_cast<int>(rows.size());
    p.cols = static_cast<int>(rows.front().size());
    p.rowCounts.assign(static_cast<std::size_t>(p.rows), 0);
    p.colCounts.assign(static_cast<std::size_t>(p.cols), 0);
    p.fleet.assign(static_cast<std::size_t>(std::max(p.cols, p.rows) + 1), 0);
    const auto ship = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < p.cols && y < p.rows &&
               QStringLiteral("o<>^v=OLRTBM#").contains(rows[y][x]);
    };
    for (int y = 0; y < p.rows; ++y) {
        for (int x = 0; x < p.cols; ++x) {
            const QChar c = rows[y][x];
            static const QString clues = QStringLiteral("OBLRTM");
            static const Mark shapes[] = {Mark::Single, Mark::Bottom, Mark::Left,
                                          Mark::Right,  Mark::Top,    Mark::Middle};
            if (clues.contains(c)) {
                p.clues.push_back({x, y, shapes[clues.indexOf(c)]});
            } else if (c == '~' || c == '#') {
                marks.push_back({x, y, c == '~' ? Mark::Water : Mark::Segment});
            }
            if (!ship(x, y)) {
                continue;
            }
            ++p.rowCounts[static_cast<std::size_t>(y)];
            ++p.colCounts[static_cast<std::size_t>(x)];
            if (!ship(x - 1, y) && !ship(x, y - 1)) {
                int across = 1;
                while (ship(x + across, y)) {
                    ++across;
                }
                int down = 1;
                while (ship(x, y + down)) {
                    ++down;
                }
                const int n = std::max(across, down);
                ++p.fleet[static_cast<std::size_t>(n)];
            }
        }
    }
    return p;
}

// Whether a cell's value agrees with a layout (water, any segment, or exactly this segment).
inline bool agrees(const SolverCell& c, const SolverLayout& layout, int rows) {
    const Mark there = layout[at(c.x, c.y, rows)];
    return c.mark == Mark::Segment ? there != Mark::Water : there == c.mark;
}

}  // namespace quorvik::enumeration

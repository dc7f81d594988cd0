// The running count of the player's marks. The board is small (at most 31 x 31) and the count
// runs after every move, so it is a few straight passes over one array of marks.
#include "LiveFeedback.h"

#include <cstddef>

namespace quorvik {

namespace {

// The board as the player sees it: one mark per cell at index x * rows + y, and which cells are
// clues.
struct SeenBoard {
    int cols = 0;
    int rows = 0;
    std::vector<Mark> mark;
    std::vector<char> clue;

    std::size_t at(int x, int y) const { return static_cast<std::size_t>(x * rows + y); }
    bool onBoard(int x, int y) const { return x >= 0 && x < cols && y >= 0 && y < rows; }
    // Beyond the edge no mark lies.
    Mark markAt(int x, int y) const { return onBoard(x, y) ? mark[at(x, y)] : Mark::Covered; }
    bool ship(int x, int y) const { return isShipMark(markAt(x, y)); }
    // Water or the edge: no ship goes on there.
    bool closed(int x, int y) const { return !onBoard(x, y) || mark[at(x, y)] == Mark::Water; }
};

struct Step {
    int dx;
    int dy;
};
constexpr Step sides[4] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};

// What a segment's shape asks of its neighbours left, right, above and below: F forbids a ship
// piece there (the ship ends), N needs one to be possible (no water, no edge: the ship goes on).
const char* shapeRule(Mark shape, bool vertical) {
    if (shape == Mark::Middle) {
        return vertical ? "FFNN" : "NNFF";
    }
    // In the order of Mark: none for Covered, Water and Segment.
    constexpr const char* rules[] = {"....", "....", "....", "FFFF",
                                     "FFFN", "FFNF", "FNFF", "NFFF"};
    return rules[static_cast<std::size_t>(shape)];
}

// The neighbours that contradict the shape of the segment at (x, y). A middle piece takes the
// orientation with fewer contradictions; "???" fits anything.
std::vector<Step> contradictions(const SeenBoard& b, int x, int y) {
    const auto against = [&](bool vertical) {
        std::vector<Step> found;
        const char* rule = shapeRule(b.markAt(x, y), vertical);
        for (int i = 0; i < 4; ++i) {
            const Step s = sides[i];
            if ((rule[i] == 'F' && b.ship(x + s.dx, y + s.dy)) ||
                (rule[i] == 'N' && b.closed(x + s.dx, y + s.dy))) {
                found.push_back(s);
            }
        }
        return found;
    };
    std::vector<Step> across = against(false);
    if (b.markAt(x, y) == Mark::Middle && !across.empty()) {
        std::vector<Step> down = against(true);
        if (down.size() < across.size()) {
            across.swap(down);
        }
    }
    return across;
}

SeenBoard seenBoard(const SolverPuzzle& puzzle, const std::vector<SolverCell>& marks) {
    const auto cells = static_cast<std::size_t>(puzzle.cols * puzzle.rows);
    SeenBoard b{puzzle.cols, puzzle.rows, std::vector<Mark>(cells, Mark::Covered),
                std::vector<char>(cells, 0)};
    for (const SolverCell& m : marks) {
        if (b.onBoard(m.x, m.y)) {
            b.mark[b.at(m.x, m.y)] = m.mark;
        }
    }
    // A clue is what its cell shows, whatever a mark says.
    for (const SolverCell& c : puzzle.clues) {
        if (b.onBoard(c.x, c.y)) {
            b.mark[b.at(c.x, c.y)] = c.mark;
            b.clue[b.at(c.x, c.y)] = 1;
        }
    }
    return b;
}

LineCount lineCount(int ships, int open, int number) {
    return ships > number || ships + open < number ? LineCount::Over
           : ships == number                       ? LineCount::Done
                                                   : LineCount::Open;
}

}  // namespace

LiveFeedback liveFeedback(const SolverPuzzle& puzzle, const std::vector<SolverCell>& marks) {
    const SeenBoard b = seenBoard(puzzle, marks);
    LiveFeedback result;

    for (const bool columns : {true, false}) {
        const std::vector<int>& numbers = columns ? puzzle.colCounts : puzzle.rowCounts;
        for (int line = 0; line < (columns ? b.cols : b.rows); ++line) {
            int ships = 0;
            int open = 0;
            for (int k = 0; k < (columns ? b.rows : b.cols); ++k) {
                const Mark c = columns ? b.markAt(line, k) : b.markAt(k, line);
                ships += isShipMark(c) ? 1 : 0;
                open += c == Mark::Covered ? 1 : 0;
            }
            const int number = line < static_cast<int>(numbers.size())
                                   ? numbers[static_cast<std::size_t>(line)]
                                   : 0;
            (columns ? result.columns : result.rows).push_back(lineCount(ships, open, number));
        }
    }

    const int longest = longestShip(puzzle.fleet);

    // Pieces that break a rule, clues included; only the player's marks are reported.
    std::vector<char> broken(b.mark.size(), 0);
    const auto breaks = [&](int x, int y) { broken[b.at(x, y)] = 1; };
    for (int x = 0; x < b.cols; ++x) {
        for (int y = 0; y < b.rows; ++y) {
            if (!b.ship(x, y)) {
                continue;
            }
            // Ships never touch at a corner, and never bend.
            const bool corner = b.ship(x - 1, y - 1) || b.ship(x + 1, y - 1) ||
                                b.ship(x - 1, y + 1) || b.ship(x + 1, y + 1);
            if (corner || ((b.ship(x - 1, y) || b.ship(x + 1, y)) &&
                           (b.ship(x, y - 1) || b.ship(x, y + 1)))) {
                breaks(x, y);
            }
            const std::vector<Step> against = contradictions(b, x, y);
            if (against.empty()) {
                continue;
            }
            breaks(x, y);
            // A clue is right: the marks beside it that contradict its shape are wrong.
            if (b.clue[b.at(x, y)]) {
                for (const Step s : against) {
                    if (b.onBoard(x + s.dx, y + s.dy) && !b.clue[b.at(x + s.dx, y + s.dy)]) {
                        breaks(x + s.dx, y + s.dy);
                    }
                }
            }
        }
    }

    // Straight runs, across and down: too long ones break the rules, closed ones are ships.
    result.completeShips.assign(static_cast<std::size_t>(longest + 1), 0);
    for (const bool down : {false, true}) {
        const int dx = down ? 0 : 1;
        const int dy = down ? 1 : 0;
        for (int x = 0; x < b.cols; ++x) {
            for (int y = 0; y < b.rows; ++y) {
                if (!b.ship(x, y) || b.ship(x - dx, y - dy)) {
                    continue;  // not the first piece of a run
                }
                int length = 1;
                while (b.ship(x + length * dx, y + length * dy)) {
                    ++length;
                }
                bool whole = b.closed(x - dx, y - dy) && b.closed(x + length * dx, y + length * dy);
                for (int i = 0; i < length; ++i) {
                    if (length > longest) {
                        breaks(x + i * dx, y + i * dy);
                    }
                    whole = whole && !broken[b.at(x + i * dx, y + i * dy)];
                }
                // A single piece is a ship only when it is closed above and below too; it is
                // counted once, in the pass across.
                if (length == 1) {
                    whole = whole && !down && b.closed(x, y - 1) && b.closed(x, y + 1);
                }
                if (whole && length < static_cast<int>(result.completeShips.size())) {
                    ++result.completeShips[static_cast<std::size_t>(length)];
                }
            }
        }
    }

    for (int x = 0; x < b.cols; ++x) {
        for (int y = 0; y < b.rows; ++y) {
            if (broken[b.at(x, y)] && !b.clue[b.at(x, y)]) {
                result.conflicts.push_back({x, y, b.markAt(x, y)});
            }
        }
    }
    return result;
}

}  // namespace quorvik

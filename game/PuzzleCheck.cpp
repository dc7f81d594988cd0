// The reasons are tried from the whole puzzle down to single clues, so the sentence names the
// widest fault first: one wrong number spoils every line sum, a wrong clue only its neighbours.
#include "PuzzleCheck.h"

#include <algorithm>
#include <numeric>
#include <tuple>

namespace quorvik {

namespace {

using Reason = std::optional<std::string>;

std::string cellName(int x, int y) {
    return "Spalte " + std::to_string(x + 1) + ", Zeile " + std::to_string(y + 1);
}

// The segment a clue shows, with its article, as a sentence's subject, in the order of Mark.
constexpr const char* clueNames[] = {"Das Schiffsteil", "Das Schiffsteil", "Das Schiffsteil",
                                     "Der Einer",       "Das obere Ende",  "Das untere Ende",
                                     "Das linke Ende",  "Das rechte Ende", "Das Mittelstück"};

// What a shape says of the neighbour at (dx, dy): 1 a segment, 0 water, -1 nothing.
int neighbourOf(Mark mark, int dx, int dy) {
    const auto along = [&](int wantX, int wantY) { return dx == wantX && dy == wantY ? 1 : 0; };
    switch (mark) {
        case Mark::Single:
            return 0;
        case Mark::Top:
            return along(0, 1);
        case Mark::Bottom:
            return along(0, -1);
        case Mark::Left:
            return along(1, 0);
        case Mark::Right:
            return along(-1, 0);
        default:
            return -1;
    }
}

// Whether any ship of the fleet can hold the shape: a single needs length 1, an end 2 or more,
// a middle piece 3 or more.
bool fleetHolds(const Puzzle& p, Mark mark) {
    if (mark == Mark::Single) {
        return p.fleet.size() > 1 && p.fleet[1] > 0;
    }
    return longestShip(p.fleet) >= (mark == Mark::Middle ? 3 : mark == Mark::Segment ? 1 : 2);
}

// The sums of one direction's numbers against each other and against the fleet.
Reason sumReason(const std::vector<int>& numbers, int length, int segments, const char* lines) {
    int given = 0;
    int missing = 0;
    for (const int n : numbers) {
        n < 0 ? ++missing : given += n;
    }
    const std::string fleet = "Die Flotte hat " + std::to_string(segments) + " Schiffsteile, ";
    if (missing == 0 && given != segments) {
        return fleet + "die " + lines + " ergeben zusammen " + std::to_string(given) + ".";
    }
    if (given > segments) {
        return fleet + "die angegebenen " + lines + " schon " + std::to_string(given) + ".";
    }
    if (given + missing * length < segments) {
        return fleet + "die " + lines + " lassen höchstens " +
               std::to_string(given + missing * length) + " zu.";
    }
    return std::nullopt;
}

Reason wholeReason(const Puzzle& p, int segments) {
    const int longest = longestShip(p.fleet);
    if (longest > std::max(p.columns, p.rows)) {
        return "Ein Schiff der Länge " + std::to_string(longest) +
               " passt nicht auf ein Brett mit " + std::to_string(p.columns) + " Spalten und " +
               std::to_string(p.rows) + " Zeilen.";
    }
    const bool allGiven =
        std::none_of(p.columnNumbers.begin(), p.columnNumbers.end(), [](int n) { return n < 0; }) &&
        std::none_of(p.rowNumbers.begin(), p.rowNumbers.end(), [](int n) { return n < 0; });
    if (allGiven) {
        const int rowSum = std::accumulate(p.rowNumbers.begin(), p.rowNumbers.end(), 0);
        const int columnSum = std::accumulate(p.columnNumbers.begin(), p.columnNumbers.end(), 0);
        if (rowSum != columnSum) {
            return "Die Zeilenzahlen ergeben zusammen " + std::to_string(rowSum) +
                   ", die Spaltenzahlen " + std::to_string(columnSum) + ".";
        }
    }
    if (Reason r = sumReason(p.rowNumbers, p.columns, segments, "Zeilenzahlen")) {
        return r;
    }
    return sumReason(p.columnNumbers, p.rows, segments, "Spaltenzahlen");
}

Reason clueReason(const Puzzle& p) {
    std::vector<Mark> at(static_cast<std::size_t>(p.columns * p.rows), Mark::Covered);
    for (const Clue& c : p.clues) {
        at[static_cast<std::size_t>(c.x * p.rows + c.y)] = c.mark;
    }
    const auto markAt = [&](int x, int y) {
        return x < 0 || x >= p.columns || y < 0 || y >= p.rows
                   ? Mark::Covered
                   : at[static_cast<std::size_t>(x * p.rows + y)];
    };
    std::vector<int> inColumn(static_cast<std::size_t>(p.columns), 0);
    std::vector<int> inRow(static_cast<std::size_t>(p.rows), 0);
    for (const Clue& c : p.clues) {
        if (!isShipMark(c.mark)) {
            continue;
        }
        const std::string name =
            clueNames[static_cast<std::size_t>(c.mark)] + std::string(" in ") + cellName(c.x, c.y);
        const int columnNumber = p.columnNumbers[static_cast<std::size_t>(c.x)];
        const int rowNumber = p.rowNumbers[static_cast<std::size_t>(c.y)];
        if (columnNumber == 0 || rowNumber == 0) {
            return name + " liegt in einer " + (columnNumber == 0 ? "Spalte" : "Zeile") +
                   " mit der Zahl 0.";
        }
        if (!fleetHolds(p, c.mark)) {
            return name + " gehört zu keinem Schiff der Flotte.";
        }
        const bool roomAcross = c.x > 0 && c.x + 1 < p.columns;
        const bool roomDown = c.y > 0 && c.y + 1 < p.rows;
        if ((c.mark == Mark::Top && c.y + 1 == p.rows) || (c.mark == Mark::Bottom && c.y == 0) ||
            (c.mark == Mark::Left && c.x + 1 == p.columns) || (c.mark == Mark::Right && c.x == 0) ||
            (c.mark == Mark::Middle && !roomAcross && !roomDown)) {
            return name + " zeigt über den Rand des Bretts.";
        }
        for (const auto& [dx, dy] : {std::pair{1, -1}, {1, 1}}) {
            if (isShipMark(markAt(c.x + dx, c.y + dy))) {
                return "Die Schiffsteile in " + cellName(c.x, c.y) + " und " +
                       cellName(c.x + dx, c.y + dy) + " berühren sich an einer Ecke.";
            }
        }
        for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            const Mark next = markAt(c.x + dx, c.y + dy);
            const int says = neighbourOf(c.mark, dx, dy);
            if (next != Mark::Covered && says >= 0 && says != (isShipMark(next) ? 1 : 0)) {
                return name + " passt nicht zu " + cellName(c.x + dx, c.y + dy) + ".";
            }
        }
        ++inColumn[static_cast<std::size_t>(c.x)];
        ++inRow[static_cast<std::size_t>(c.y)];
    }
    // More clue segments in a line than its number.
    for (const auto& [line, numbers, counted] :
         {std::tuple{"Spalte ", &p.columnNumbers, &inColumn}, {"Zeile ", &p.rowNumbers, &inRow}}) {
        for (std::size_t k = 0; k < numbers->size(); ++k) {
            if ((*numbers)[k] >= 0 && (*counted)[k] > (*numbers)[k]) {
                return line + std::to_string(k + 1) + " hat die Zahl " +
                       std::to_string((*numbers)[k]) + ", aber schon " +
                       std::to_string((*counted)[k]) + " Schiffsteile als Vorgabe.";
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> noSolutionReason(const Puzzle& puzzle) {
    if (Reason r = wholeReason(puzzle, fleetSegments(puzzle))) {
        return r;
    }
    return clueReason(puzzle);
}

}  // namespace quorvik

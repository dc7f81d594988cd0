// The fleet's view of the board: the ships known complete, the runs still open, and where each
// missing ship still fits; the rules drawn from it, and all rules applied until nothing changes.
#pragma once

#include <array>
#include <vector>

#include "SolverBoard.h"

namespace quorvik::solver {

// --- Rules that look at the fleet ---

// A straight run of segments whose ship is not yet closed at both ends, laid out as a ship
// position; length 1 is a single segment without a neighbour, orientation open.
using Run = SolverShip;

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

// Reads the fleet's view of `k` into `w`. False when there are more complete ships of a length
// than the fleet has.
bool analyseFleet(const Frame& f, const Knowledge& k, Work& w);

// The cells just beyond a run's ends (all four neighbours of a single segment).
std::array<SolverCell, 4> runEnds(const Run& run);

// The one position of `w` that covers segment (x, y); call only where exactly one does.
SolverShip onlyPosition(const Frame& f, const Work& w, int x, int y);

// All positions of `w` that cover segment (x, y), longest ships first.
void positionsOver(const Frame& f, const Work& w, int x, int y, std::vector<SolverShip>& out);

// All positions of `w` for a ship of n cells, rows before columns.
void positionsOf(const Frame& f, const Work& w, int n, std::vector<SolverShip>& out);

int countPositions(const Frame& f, const Work& w, int n);
int countPositionsOver(const Frame& f, const Work& w, int x, int y);

// Puts a ship's segments on the board and water all round it.
void placeShip(const Frame& f, Knowledge& k, const SolverShip& s);

// Every rule until nothing changes; `w` then describes the final state. False on a contradiction.
bool propagate(const Frame& f, Knowledge& k, Work& w);

}  // namespace quorvik::solver

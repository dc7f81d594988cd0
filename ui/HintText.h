// The short German sentence that tells the player why a hint's cells are what they are.
#pragma once

#include <QString>

#include "ShipGame.h"
#include "Solver.h"

namespace quorvik {

// One sentence for a deduction of the solver; rows and columns are counted from 1.
QString hintText(const Deduction& deduction);
// The hint bar's sentence for a hint of any kind.
QString hintSentence(const ShipGame::Hint& hint);
// The sentence of "Fehler zeigen": how many marks fit no solution, how many another one.
QString mistakesSentence(std::size_t impossible, std::size_t otherSolution);
// The sentence while the board shows the solution.
QString solutionShownText();

}  // namespace quorvik

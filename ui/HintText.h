// The short German sentence that tells the player why a hint's cells are what they are.
#pragma once

#include <QString>

#include "Solver.h"

namespace quorvik {

// One sentence for a deduction of the solver; rows and columns are counted from 1.
QString hintText(const Deduction& deduction);

}  // namespace quorvik

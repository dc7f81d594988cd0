// Resetting an element's state to its defaults.
#include "ElementState.h"

namespace quorvik {

void ElementState::reset() {
    hasShip = false;
    isClue = false;
    isColElement_ = false;
    isCovered = true;
    isLegend = false;
    col = -1;
    row = -1;
    mark = Mark::Covered;
    ship = Mark::Water;
    number = 0;
    markCount = 0;
    shipLength = 0;
    shipInRow = 0;
    lineDone = false;
    reveal = Reveal::None;
}

}  // namespace quorvik

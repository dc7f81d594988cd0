// Resetting an element's state to its defaults.
#include "ElementState.h"

namespace quorvik {

void ElementState::Preset() {
    HasShip = false;
    IsFixed = false;
    isColElement_ = false;
    IsCovered = true;
    IsLegend = false;
    Col = -1;
    Row = -1;
    ImageIndex = imgCovered;
    ShipIndex = imgCovered;
    ReihenSumme = 0;
    ShipLength = 0;
    ShipNo = 0;
    LineDone = false;
    Face = CellFace::Normal;
    Beneath = imgCovered;
}

}  // namespace quorvik

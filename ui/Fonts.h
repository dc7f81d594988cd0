// The faces of the program's windows: Arial where it is installed, elsewhere its metric twin
// Liberation Sans, which the game installs.
#pragma once

#include <QFont>

namespace quorvik {

// Arial (or Liberation Sans) at a pixel size.
QFont arialFont(int pixelSize, bool bold = false, bool italic = false);

// The windows' own font: a small sans face of 11 pixels.
QFont windowFont();

}  // namespace quorvik

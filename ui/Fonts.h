// The faces of the program's windows: Arial where it is installed, elsewhere its metric twin
// Liberation Sans; for the legend heading Arial Black, elsewhere Inter Black. The game installs
// both stand-ins.
#pragma once

#include <QFont>

#include <thread>

namespace quorvik {

// Arial (or Liberation Sans) at a pixel size.
QFont arialFont(int pixelSize, bool bold = false, bool italic = false);

// The windows' own font: a small sans face of 11 pixels.
QFont windowFont();

// The legend heading's heavy sans face in its blackest weight, at the largest pixel size whose
// character cell (ascent and descent, internal leading included) is at most cellHeight pixels.
QFont headingFont(int cellHeight);

// Starts reading fontconfig's configuration and font list on a thread of its own, so that it
// goes on while the application connects to the display instead of holding up the window's first
// font. Join the thread once the application exists, before the first window. Without a thread
// (none could be started), fontconfig is read on first use, as before.
std::thread readFontConfigurationAhead();

}  // namespace quorvik

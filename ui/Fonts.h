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

// Reads fontconfig's configuration and font list on a thread of lower priority, beside the
// connection to the display, instead of holding up the window's first font. Neither waits for
// the other: a thread that needs fontconfig sooner reads it too, and fontconfig keeps one. The
// thread is joined when it goes out of scope; there is none when none could be started.
std::jthread readFontConfigurationAhead();

}  // namespace quorvik

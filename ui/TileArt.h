// The drawing rules of the tile pictures at any size: the ship shapes, the marks, the framed
// cells and the numerals, so that a zoomed board or a high-density screen shows them drawn at the
// size they are shown at rather than enlarged. At the normal size of 32 pixels the game keeps
// its committed pictures; tools/TileArt drew those by the same rules.
#pragma once

#include <QImage>

namespace quorvik::TileArt {

// Picture `code` (0 to 33, or a numeral 20 to 31 when `numeral` is set) at `size` x `size`
// pixels: ARGB32, every alpha 0 or 255. Numerals and the question mark are drawn from the
// numerals' font file; where it is missing they are `fallback` enlarged and thresholded. A null
// image for a code without picture.
QImage picture(int code, int size, bool numeral, const QImage& fallback);

// Where the numerals' outlines come from.
QString numeralFontFile();

}  // namespace quorvik::TileArt

// The drawing rules of the tile pictures at any size: the ship shapes, the marks, the framed
// cells and the numerals, so that a zoomed board or a high-density screen shows them drawn at the
// size they are shown at rather than enlarged. The committed 32-pixel pictures are drawn by the
// same rules (tools/TileArt), so the game's normal size and its zoomed sizes agree.
#pragma once

#include <QColor>
#include <QImage>
#include <QRawFont>
#include <QString>

#include <algorithm>

class QPainter;
class QRectF;

namespace quorvik::TileArt {

// The face the numerals and the question mark are drawn from: a font's outlines, leant further by
// `slant` (horizontal shift per unit of height) and thickened by a stroke of `weight` pixels of the
// 32-pixel picture around the outline, which closes the counters to slits.
struct Face {
    QRawFont font;
    double slant = 0.15;
    double weight = 0.5;
};

// The version of these rules: raised with every change of what they draw, so that pictures kept
// from an earlier version are drawn anew.
inline constexpr int drawingVersion = 1;

// Replaces each pixel of a picture of 32-bit pixels by `f` of it, scanline after scanline.
template <typename F>
void mapPixels(QImage& img, F f) {
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        std::transform(line, line + img.width(), line, f);
    }
}

// Gives an ARGB32 picture a one-bit mask: alpha at least half becomes opaque, the rest fully
// transparent, so that the drawing rule never blends.
void settleMask(QImage& img);

// The numerals' font file (C059 Bold), found through the system's font configuration; empty when
// no such face is installed.
QString numeralFontFile();
// The game's numeral face; its font is invalid when the font file is missing.
const Face& numeralFace();

// Picture `code` at `size` x `size` pixels drawn with `face`: ARGB32, every alpha 0 or 255. Codes
// 0 to 33 as the image set numbers them, or with `numeral` the number `code` (20 to 31 beside
// the set, -1 the dark grey question mark of a line without a number). Numbers are 23/32 of the
// height tall, in their colour; "???" (32) is a cyan question mark on silver inside the frame.
// A null image for a code without picture.
QImage picture(const Face& face, int code, int size, bool numeral);

// Ship shape `code` (20 to 25) as a filled outline in `colour`, scaled into `cell`: the shapes
// of the pictures as vector shapes, for paper. Nothing for other codes.
void paintShip(QPainter& painter, int code, const QRectF& cell, const QColor& colour);

// Picture `code` drawn by the game's face. Where its font is missing, numerals and the question
// mark are `fallback` (the 32-pixel picture) scaled and thresholded. Null for a size below 1.
QImage picture(int code, int size, bool numeral, const QImage& fallback);

}  // namespace quorvik::TileArt

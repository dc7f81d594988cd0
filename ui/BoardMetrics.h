// The board's sizes at a cell pitch: what they depend on, the formulas that scale every part
// from the normal pitch, the zoom steps and where the board's panels lie.
#pragma once

#include <QRect>
#include <QSize>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "LevelTable.h"

namespace quorvik {

class ShipGame;

// What the board's size depends on: the grid's columns and rows and the legend's rows, each a
// ship length and how many ships of it, longest first.
struct BoardShape {
    int columns = 0;
    int rows = 0;
    std::vector<std::pair<int, int>> legendRows;

    static BoardShape ofLevel(int level);
    static BoardShape ofGame(const ShipGame& game);
};

// The sizes of the board's parts at one cell pitch, by the same formulas at every pitch: a
// panel border of 2, legend ships 8 apart and legend rows 8 apart, an 18-pixel heading and
// 4-pixel insets, each scaled from the normal pitch of 34 and rounded.
struct BoardMetrics {
    static constexpr int normalPitch = 34;

    int pitch = normalPitch;

    int scaled(int normal) const { return (normal * pitch + normalPitch / 2) / normalPitch; }
    int border() const { return std::max(1, scaled(2)); }
    int inset() const { return scaled(4); }
    int numberPanel() const { return pitch + 2 * border(); }
    int headingHeight() const { return scaled(18); }
    // The legend's rows start below its heading; a row's ships follow each other with a gap.
    int legendTop() const { return 2 * inset() + headingHeight(); }
    int legendRowPitch() const { return pitch + scaled(8); }
    int legendShipPitch(int length) const { return length * pitch + scaled(8); }

    // The grid panel of a board; the legend of its fleet, heading included.
    QSize images(const BoardShape& shape) const;
    QSize legend(const BoardShape& shape) const;
    // The board view's size with the legend on `side`. The buttons beside the legend keep their
    // size, so a small pitch may widen or heighten the view to hold them.
    QSize board(const BoardShape& shape, LegendPlace side) const;
    QSize board(int level, LegendPlace side) const {
        return board(BoardShape::ofLevel(level), side);
    }
};

// The zoom steps, in percent of the normal size, and the pitch of each. Below 60 % the legend's
// heading and the numerals (3 against 8) no longer read well.
inline constexpr std::array<int, 10> zoomSteps = {60, 70, 80, 90, 100, 115, 130, 150, 175, 200};
inline constexpr int normalZoom = 100;
int pitchForZoom(int percent);
// The step nearest to `percent`.
int nearestZoomStep(int percent);

// Where the parts of the board lie at one pitch, in the view's coordinates.
struct BoardLayout {
    BoardMetrics metrics;
    QRect images;   // the grid's panel
    QRect columns;  // the column numbers' panel, below the grid
    QRect rows;     // the row numbers' panel, right of the grid
    QRect legend;   // the legend's panel, heading included
    QRect buttons;  // the buttons and the playing time
    QSize size;     // the whole view
};

}  // namespace quorvik

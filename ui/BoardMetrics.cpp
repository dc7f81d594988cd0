// The board's sizes at a cell pitch: the pitch of a zoom step, the shape of a level's or a
// game's board, and the sizes of the grid, the legend and the whole view.
#include "BoardMetrics.h"

#include <cstdlib>

#include "ShipGame.h"

namespace quorvik {

// The buttons beside the legend keep their size at every pitch: "F1 Zeigen" at (10, 10) and
// "F2 Neu" at (10, 45), each 75 x 25, and the playing time below them at (10, 78), 18 high.
constexpr QSize buttonsExtent(95, 96);

int pitchForZoom(int percent) {
    return (BoardMetrics::normalPitch * percent + 50) / 100;
}

int nearestZoomStep(int percent) {
    return *std::min_element(zoomSteps.begin(), zoomSteps.end(), [percent](int a, int b) {
        return std::abs(a - percent) < std::abs(b - percent);
    });
}

BoardShape BoardShape::ofLevel(int level) {
    const LevelInfo& info = levelInfo(level);
    BoardShape shape{info.maxCol + 1, info.maxRow + 1, {}};
    for (const int length : fleetLengths(level)) {
        shape.legendRows.emplace_back(length, shipCount(level, length));
    }
    return shape;
}

BoardShape BoardShape::ofGame(const ShipGame& game) {
    BoardShape shape{game.maxCol() + 1, game.maxRow() + 1, {}};
    for (int r = 0; r < game.legendRowCount(); ++r) {
        shape.legendRows.emplace_back(game.legendRowLength(r), game.legendShipCount(r));
    }
    return shape;
}

QSize BoardMetrics::images(const BoardShape& shape) const {
    return {shape.columns * pitch + 2 * border(), shape.rows * pitch + 2 * border()};
}

QSize BoardMetrics::legend(const BoardShape& shape) const {
    // Ships of one row side by side, rows below the heading, longest ships first.
    int width = 0;
    for (const auto& [length, ships] : shape.legendRows) {
        const int left = legendShipPitch(length) * (ships - 1) + (length - 1) * pitch;
        width = std::max(width, left + inset() + numberPanel());
    }
    const int rows = static_cast<int>(shape.legendRows.size());
    return {width, rows == 0 ? 0 : legendTop() + (rows - 1) * legendRowPitch() + numberPanel()};
}

QSize BoardMetrics::board(const BoardShape& shape, LegendPlace side) const {
    const QSize grid = images(shape);
    const QSize legendSize = legend(shape);
    // The insets and the numbers' panels round the grid; the legend and the buttons beside it
    // go below the column numbers or right of the row numbers.
    const int around = 2 * inset() + numberPanel();
    if (side == LegendPlace::Below) {
        return {std::max(grid.width(), legendSize.width() + buttonsExtent.width()) + around,
                grid.height() + around + std::max(legendSize.height(), buttonsExtent.height())};
    }
    return {grid.width() + around + legendSize.width(),
            std::max(grid.height(), legendSize.height() + buttonsExtent.height()) + around};
}

}  // namespace quorvik

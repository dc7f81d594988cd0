// How the main window meets the screens it is shown on: which side of the board the legend takes
// when the level's own layout would not fit the screen, and where a window goes whose stored
// position would leave its menu bar out of reach. Plain functions of sizes and rectangles, so
// that any arrangement of screens can be tried without one.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <span>

#include "LevelTable.h"

namespace quorvik {

// Whether a window of outer size `window` fits an area of size `available`.
bool fitsWithin(const QSize& window, const QSize& available);

// The legend's side for a level whose table puts it at `preferred`, given the window's outer
// size with the legend below the board and to its right. A legend meant to go below goes
// there, unless that window does not fit `available` and the other one does; when neither
// fits, it stays below. A legend meant for the right stays there: below the narrower boards
// the buttons beside the legend would find no room.
LegendPlace legendSide(LegendPlace preferred, const QSize& below, const QSize& right,
                       const QSize& available);

// Where a window goes whose frame's top left is stored as `stored` (any values, even near the
// limits of int). `handle` is the part the player needs to reach, relative to the frame's top
// left: the title bar and the menu bar's entries. The stored place stays while the screens'
// available areas `areas` cover the whole handle there; otherwise the window moves into
// `primary`, the primary screen's available area, as near to the stored place as it fits (its
// top left corner first when the window is larger than the area).
QPoint reachablePosition(const QPoint& stored, const QSize& window, const QRect& handle,
                         const QList<QRect>& areas, const QRect& primary);

// The largest of the zoom `steps` (ascending) not above `chosen` at which the window's outer
// size `outer(step)` fits `available`; the smallest step when none does.
int fittingZoom(std::span<const int> steps, int chosen, const std::function<QSize(int)>& outer,
                const QSize& available);

// Where a window whose frame is `window` goes so that it lies wholly in `area`: moved as little
// as needed, its top left first when it is larger than the area.
QPoint placeWithin(const QRect& window, const QRect& area);

}  // namespace quorvik

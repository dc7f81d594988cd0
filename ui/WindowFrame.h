// The frame the window manager draws around a top-level window: its margins, the window's outer
// size, a start place where the title and menu bar can be reached, and a placement that is made
// once more when the frame is first known, so that a window lands by its outer rectangle
// although the frame is drawn only after the window appears.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QSize>

#include <functional>

class QWidget;

namespace quorvik {

// The frame's margins around `window`; none while no frame is known (before the first showing,
// or without a window manager).
QMargins frameMargins(const QWidget& window);

// The outer size of `window`: with its own frame where that is known, else with the frame of
// the window it belongs to, which the window manager most likely draws alike.
QSize outerSize(const QWidget& window);

// Where `window` goes at start: at `stored`, unless the screens would not show its title bar and
// the entries of its menu bar (`menuBar`, at the top left of the client area) there; then onto
// the primary screen, as near as it fits (reachablePosition).
QPoint reachablePlace(const QWidget& window, const QPoint& stored, const QSize& menuBar);

// Moves the frame's top left of `window` to `place()` now, and once more when the frame first
// becomes known while the window is shown, when `place` counts it. Where no frame appears the
// first move stays.
void placeByFrame(QWidget& window, const std::function<QPoint()>& place);

}  // namespace quorvik

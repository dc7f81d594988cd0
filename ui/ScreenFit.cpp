// The main window's fit on its screens: the legend's side and a reachable start position.
#include "ScreenFit.h"

#include <QRegion>

#include <algorithm>

namespace quorvik {

namespace {

// One coordinate of a window of `length` moved into the span [start, start + extent) as far as
// it fits there, its start first. In 64 bits: a stored coordinate may be near the limits of int.
int clampInto(qint64 wanted, int length, int start, int extent) {
    const qint64 last = qint64(start) + extent - length;
    return int(std::max<qint64>(start, std::min(wanted, last)));
}

}  // namespace

bool fitsWithin(const QSize& window, const QSize& available) {
    return window.width() <= available.width() && window.height() <= available.height();
}

LegendPlace legendSide(LegendPlace preferred, const QSize& below, const QSize& right,
                       const QSize& available) {
    return preferred == LegendPlace::Right ||
                   (!fitsWithin(below, available) && fitsWithin(right, available))
               ? LegendPlace::Right
               : LegendPlace::Below;
}

QPoint reachablePosition(const QPoint& stored, const QSize& window, const QRect& handle,
                         const QList<QRect>& areas, const QRect& primary) {
    QRect bounds;
    QRegion covered;
    for (const QRect& area : areas) {
        bounds |= area;
        covered += area;
    }
    // The handle on the screens, first in 64 bits against the bounds of all areas; inside them
    // its coordinates are small enough for a QRect.
    const qint64 left = qint64(stored.x()) + handle.x();
    const qint64 top = qint64(stored.y()) + handle.y();
    const bool withinBounds = !bounds.isEmpty() && left >= bounds.left() && top >= bounds.top() &&
                              left + handle.width() <= qint64(bounds.left()) + bounds.width() &&
                              top + handle.height() <= qint64(bounds.top()) + bounds.height();
    // Areas of different sizes leave gaps inside their bounds, where no screen shows anything.
    if ((withinBounds && QRegion(QRect(int(left), int(top), handle.width(), handle.height()))
                             .subtracted(covered)
                             .isEmpty()) ||
        primary.isEmpty()) {
        return stored;
    }
    return {clampInto(stored.x(), window.width(), primary.x(), primary.width()),
            clampInto(stored.y(), window.height(), primary.y(), primary.height())};
}

int fittingZoom(std::span<const int> steps, int chosen, const std::function<QSize(int)>& outer,
                const QSize& available) {
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        if (*it <= chosen && fitsWithin(outer(*it), available)) {
            return *it;
        }
    }
    return steps.empty() ? chosen : steps.front();
}

QPoint placeWithin(const QRect& window, const QRect& area) {
    return {clampInto(window.x(), window.width(), area.x(), area.width()),
            clampInto(window.y(), window.height(), area.y(), area.height())};
}

}  // namespace quorvik

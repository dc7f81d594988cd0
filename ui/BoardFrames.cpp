// The bevels round the board's panels and elements, and the frames drawn over cells, each kind
// with its own colour and its own line or mark.
#include "BoardFrames.h"

#include <qdrawutil.h>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <tuple>

namespace quorvik {

namespace {

// The frames' colours in the order of FrameKind.
constexpr QRgb frameColours[] = {0xFFFFD700, 0xFF00C000, 0xFFFF00FF, 0xFFFF8000, 0xFFFF0000};

// A pen of square lines, or with `dashes` of flat ones.
QPen framePen(const QColor& colour, double width, const QList<qreal>& dashes = {}) {
    QPen pen(colour, width, Qt::SolidLine, dashes.isEmpty() ? Qt::SquareCap : Qt::FlatCap,
             Qt::MiterJoin);
    if (!dashes.isEmpty()) {
        pen.setDashPattern(dashes);
    }
    return pen;
}

}  // namespace

void drawRaisedBevel(QPainter& painter, const QRect& r, const QPalette& palette) {
    if (painter.paintEngine()->type() != QPaintEngine::Raster ||
        painter.device()->devicePixelRatio() != 1 ||
        painter.transform().type() > QTransform::TxTranslate || r.width() < 2 || r.height() < 2) {
        qDrawShadePanel(&painter, r, palette, false, 1);
        return;
    }
    const QColor light = palette.light().color();
    const QColor dark = palette.dark().color();
    painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), light);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), light);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), dark);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height() - 1), dark);
}

void paintFrame(QPainter& p, FrameKind kind, const QRect& r, int w) {
    const QColor colour = QColor::fromRgb(frameColours[static_cast<int>(kind)]);
    const auto inset = [&r](double d) { return QRectF(r).adjusted(d, d, -d, -d); };
    if (kind == FrameKind::Cursor) {
        const QRectF ring = inset(3.5 * w + 1);
        p.setPen(framePen(Qt::black, w));
        p.drawRect(ring);
        p.setPen(framePen(colour, w, {2.0, 1.0}));
        p.drawRect(ring);
        return;
    }
    p.setPen(framePen(Qt::black, w));
    p.drawRect(inset(w / 2.0));
    if (kind == FrameKind::OtherSolution) {
        // Two thin lines with a gap.
        const int thin = std::max(1, w / 2);
        p.setPen(framePen(colour, thin));
        p.drawRect(inset(w + thin / 2.0));
        p.drawRect(inset(w + 2.0 * thin + thin / 2.0));
        return;
    }
    // A mistake's dots are as long as the line is thick, on the silver between them.
    p.setPen(kind == FrameKind::Mistake ? framePen(colour, w, {1.0, 1.0}) : framePen(colour, w));
    p.drawRect(inset(1.5 * w));
    if (kind == FrameKind::Conflict) {
        // A triangle in each corner.
        const double leg = 3.0 * w;
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        const QRectF in = inset(w);
        for (const auto& [corner, dx, dy] :
             {std::tuple{in.topLeft(), 1.0, 1.0}, std::tuple{in.topRight(), -1.0, 1.0},
              std::tuple{in.bottomLeft(), 1.0, -1.0}, std::tuple{in.bottomRight(), -1.0, -1.0}}) {
            const QPointF triangle[] = {corner, corner + QPointF(dx * leg, 0),
                                        corner + QPointF(0, dy * leg)};
            p.drawPolygon(triangle, 3);
        }
        p.setBrush(Qt::NoBrush);
    }
}

}  // namespace quorvik

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

QColor colourOf(FrameKind kind) {
    switch (kind) {
        case FrameKind::Cursor:
            return {0xFF, 0xD7, 0x00};
        case FrameKind::Hint:
            return {0x00, 0xC0, 0x00};
        case FrameKind::Mistake:
            return {0xFF, 0x00, 0xFF};
        case FrameKind::OtherSolution:
            return {0xFF, 0x80, 0x00};
        case FrameKind::Conflict:
            return {0xFF, 0x00, 0x00};
    }
    return Qt::black;
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
    const QColor colour = colourOf(kind);
    const QPen black(Qt::black, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    if (kind == FrameKind::Cursor) {
        const double in = 3.5 * w + 1;
        const QRectF ring = QRectF(r).adjusted(in, in, -in, -in);
        p.setPen(black);
        p.drawRect(ring);
        QPen dashes(colour, w, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
        dashes.setDashPattern({2.0, 1.0});
        p.setPen(dashes);
        p.drawRect(ring);
        return;
    }
    p.setPen(black);
    p.drawRect(QRectF(r).adjusted(w / 2.0, w / 2.0, -w / 2.0, -w / 2.0));
    const QRectF inner = QRectF(r).adjusted(1.5 * w, 1.5 * w, -1.5 * w, -1.5 * w);
    switch (kind) {
        case FrameKind::Mistake: {
            // Dots as long as the line is thick, on the silver between them.
            QPen dots(colour, w, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
            dots.setDashPattern({1.0, 1.0});
            p.setPen(dots);
            p.drawRect(inner);
            break;
        }
        case FrameKind::OtherSolution: {
            // Two thin lines with a gap.
            const int thin = std::max(1, w / 2);
            p.setPen(QPen(colour, thin, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            p.drawRect(QRectF(r).adjusted(w + thin / 2.0, w + thin / 2.0, -w - thin / 2.0,
                                          -w - thin / 2.0));
            const double second = w + 2.0 * thin + thin / 2.0;
            p.drawRect(QRectF(r).adjusted(second, second, -second, -second));
            break;
        }
        case FrameKind::Conflict: {
            // A solid line and a triangle in each corner.
            p.setPen(QPen(colour, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            p.drawRect(inner);
            const double leg = 3.0 * w;
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            const QRectF in = QRectF(r).adjusted(w, w, -w, -w);
            for (const auto& [corner, dx, dy] :
                 {std::tuple{in.topLeft(), 1.0, 1.0}, std::tuple{in.topRight(), -1.0, 1.0},
                  std::tuple{in.bottomLeft(), 1.0, -1.0},
                  std::tuple{in.bottomRight(), -1.0, -1.0}}) {
                const QPointF triangle[] = {corner, corner + QPointF(dx * leg, 0),
                                            corner + QPointF(0, dy * leg)};
                p.drawPolygon(triangle, 3);
            }
            p.setBrush(Qt::NoBrush);
            break;
        }
        default:
            p.setPen(QPen(colour, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            p.drawRect(inner);
            break;
    }
}

}  // namespace quorvik

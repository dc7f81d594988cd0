// The tile pictures' drawing rules at any size. Every measure is given for the normal 32 pixels
// and scaled by size / 32: the disc of diameter 28, the bands and frames 2 pixels wide, the
// diagonals 3 pixels thick, the numerals 23 pixels tall from row 4.
#include "TileArt.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace quorvik::TileArt {

namespace {

constexpr QRgb red = 0xFFFF0000;
constexpr QRgb black = 0xFF000000;
constexpr QRgb white = 0xFFFFFFFF;
constexpr QRgb silver = 0xFFC0C0C0;
constexpr QRgb cyan = 0xFF00FFFF;
// The numerals' face: C059 Bold, leant a little further and thickened by half a pixel.
constexpr double slant = 0.15;
constexpr double weight = 0.5;

QImage fromRule(int size, const std::function<QRgb(double, double)>& colourAt) {
    // The rule is asked at each pixel's centre in the coordinates of the 32-pixel picture.
    QImage img(size, size, QImage::Format_ARGB32);
    const double unit = 32.0 / size;
    for (int y = 0; y < size; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < size; ++x) {
            line[x] = colourAt((x + 0.5) * unit, (y + 0.5) * unit);
        }
    }
    return img;
}

bool inDisc(double x, double y) {
    return (x - 16.0) * (x - 16.0) + (y - 16.0) * (y - 16.0) <= 14.0 * 14.0;
}

bool inBand(double v) {
    return v >= 2.0 && v < 30.0;
}

bool onFrame(double x, double y) {
    return x < 2.0 || y < 2.0 || x >= 30.0 || y >= 30.0;
}

double segmentDistance(double x, double y, double x0, double y0, double x1, double y1) {
    const double vx = x1 - x0;
    const double vy = y1 - y0;
    const double t = std::clamp(((x - x0) * vx + (y - y0) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
    return std::hypot(x - (x0 + t * vx), y - (y0 + t * vy));
}

QImage shipPicture(int code, int size) {
    return fromRule(size, [code](double x, double y) -> QRgb {
        bool on = false;
        switch (code) {
            case 20:
                on = inDisc(x, y);
                break;
            case 21:  // lower end: open and flat at the top edge
                on = inDisc(x, y) || (inBand(x) && y < 16.0);
                break;
            case 24:  // upper end
                on = inDisc(x, 32.0 - y) || (inBand(x) && y >= 16.0);
                break;
            case 22:  // left end: open and flat at the right edge
                on = inDisc(x, y) || (inBand(y) && x >= 16.0);
                break;
            case 23:  // right end
                on = inDisc(32.0 - x, y) || (inBand(y) && x < 16.0);
                break;
            case 25:
                on = inBand(x) && inBand(y);
                break;
            case 26:
                on = inBand(y);
                break;
            case 27:
            case 33:
                on = inBand(x);
                break;
            default:
                break;
        }
        return on ? red : 0;
    });
}

QRawFont& numeralFont() {
    static QRawFont font(numeralFontFile(), 256.0, QFont::PreferNoHinting);
    return font;
}

QPainterPath textPath(const QString& text) {
    QRawFont& font = numeralFont();
    QPainterPath path;
    const QList<quint32> glyphs = font.glyphIndexesForString(text);
    const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs);
    QPointF pen(0, 0);
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        path.addPath(font.pathForGlyph(glyphs[i]).translated(pen));
        pen += advances[i];
    }
    return QTransform().shear(-slant, 0.0).map(path);
}

// Fills `path` mapped onto `target` (in 32-pixel coordinates) and keeps the pixels at least half
// covered, so the picture keeps a one-bit mask.
void fillGlyph(QImage& tile, const QPainterPath& path, const QRectF& target, QRgb colour) {
    const double scale = tile.width() / 32.0;
    const QRectF ink = path.boundingRect();
    const double w = weight * scale;
    const QRectF box(target.left() * scale, target.top() * scale, target.width() * scale,
                     target.height() * scale);
    const QRectF inner = box.adjusted(w / 2, w / 2, -w / 2, -w / 2);
    QTransform map;
    map.translate(inner.left(), inner.top());
    map.scale(inner.width() / ink.width(), inner.height() / ink.height());
    map.translate(-ink.left(), -ink.top());
    QImage coverage(tile.size(), QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    {
        QPainter p(&coverage);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::black);
        p.drawPath(map.map(path));
    }
    for (int y = 0; y < tile.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(coverage.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (int x = 0; x < tile.width(); ++x) {
            if (qAlpha(src[x]) >= 128) {
                dst[x] = colour;
            }
        }
    }
}

QImage numberPicture(int n, int size, QRgb colour) {
    QImage tile(size, size, QImage::Format_ARGB32);
    tile.fill(Qt::transparent);
    const QPainterPath path = textPath(QString::number(n));
    const QRectF ink = path.boundingRect();
    QRectF target(2.0, 4.0, 29.0, 23.0);
    if (n < 10) {
        const double width = std::clamp(ink.width() * 23.0 / ink.height(), 12.0, 17.0);
        target = QRectF(16.0 - width / 2.0, 4.0, width, 23.0);
    }
    fillGlyph(tile, path, target, colour);
    return tile;
}

QImage questionPicture(int size) {
    QImage tile = fromRule(size, [](double x, double y) { return onFrame(x, y) ? black : silver; });
    const QPainterPath glyph = textPath(QStringLiteral("?"));
    // The dot is the outline that lies lowest; the rest is the hook.
    std::vector<QPainterPath> parts;
    for (const QPolygonF& polygon : glyph.toSubpathPolygons()) {
        QPainterPath part;
        part.addPolygon(polygon);
        parts.push_back(part);
    }
    if (parts.empty()) {
        return tile;
    }
    const auto dotIt =
        std::max_element(parts.begin(), parts.end(), [](const auto& a, const auto& b) {
            return a.boundingRect().top() < b.boundingRect().top();
        });
    const QPainterPath dot = *dotIt;
    QPainterPath hook;
    for (auto it = parts.begin(); it != parts.end(); ++it) {
        if (it != dotIt) {
            hook.addPath(*it);
        }
    }
    hook.setFillRule(Qt::WindingFill);
    const QRectF hookInk = hook.boundingRect();
    const QRectF dotInk = dot.boundingRect();
    const QRectF glyphInk = hookInk.united(dotInk);
    const double sx = 11.0 / glyphInk.width();
    const auto column = [&](double gx) { return 10.0 + (gx - glyphInk.left()) * sx; };
    fillGlyph(tile, hook, QRectF(column(hookInk.left()), 4.0, hookInk.width() * sx, 17.0), cyan);
    fillGlyph(tile, dot, QRectF(column(dotInk.center().x()) - 3.5, 22.0, 7.0, 7.0), cyan);
    return tile;
}

// The 32-pixel picture enlarged or reduced, with its mask settled at half again.
QImage scaledFallback(const QImage& fallback, int size) {
    if (fallback.isNull()) {
        return {};
    }
    QImage img = fallback.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < size; ++x) {
            line[x] = qAlpha(line[x]) >= 128 ? (line[x] | 0xFF000000) : 0;
        }
    }
    return img;
}

// The numeral's one colour: that of the 32-pixel picture's first opaque pixel.
QRgb inkOf(const QImage& picture) {
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(picture.pixel(x, y)) != 0) {
                return picture.pixel(x, y);
            }
        }
    }
    return black;
}

}  // namespace

QString numeralFontFile() {
    return QStringLiteral("/usr/share/fonts/opentype/urw-base35/C059-Bold.otf");
}

QImage picture(int code, int size, bool numeral, const QImage& fallback) {
    if (size <= 0) {
        return {};
    }
    const bool glyph = numeral || code < 20 || code == 32;
    if (glyph && !numeralFont().isValid()) {
        return scaledFallback(fallback, size);
    }
    if (numeral || (code >= 0 && code < 20)) {
        return numberPicture(code, size, inkOf(fallback));
    }
    switch (code) {
        case 28:
            return fromRule(size, [](double x, double y) { return onFrame(x, y) ? black : white; });
        case 29:
            return fromRule(size,
                            [](double x, double y) { return onFrame(x, y) ? black : silver; });
        case 30:
            // The frame and both diagonals, 3 pixels thick along every row.
            return fromRule(size, [](double x, double y) -> QRgb {
                const bool diagonal = std::abs(x - y) < 1.5 || std::abs(x + y - 32.0) < 1.5;
                return onFrame(x, y) || diagonal ? black : 0;
            });
        case 31:
            return fromRule(size, [](double x, double y) -> QRgb {
                const double d = std::min(segmentDistance(x, y, 7.5, 14.5, 12.5, 22.5),
                                          segmentDistance(x, y, 12.5, 22.5, 24.5, 6.5));
                return d <= 1.15 ? black : 0;
            });
        case 32:
            return questionPicture(size);
        default:
            return code >= 20 && code <= 33 ? shipPicture(code, size) : QImage();
    }
}

}  // namespace quorvik::TileArt

// The tile pictures' drawing rules. Every measure is given for the normal 32 pixels and scaled
// by size / 32: the disc of diameter 28, the bands and frames 2 pixels wide, the diagonals 3
// pixels thick, the numerals 23 pixels tall from row 4. Each rule is asked at the centre of each
// pixel in the coordinates of the 32-pixel picture.
#include "TileArt.h"

#include <fontconfig/fontconfig.h>

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace quorvik::TileArt {

namespace {

constexpr QRgb red = 0xFFFF0000;
constexpr QRgb black = 0xFF000000;
constexpr QRgb white = 0xFFFFFFFF;
constexpr QRgb silver = 0xFFC0C0C0;
constexpr QRgb cyan = 0xFF00FFFF;
// A line without a number: its question mark is dark grey.
constexpr QRgb unknownNumberColour = 0xFF505050;

// The numerals' colours 0 to 7 from blue-violet to red, paler than the rest.
constexpr std::array<QRgb, 8> paleNumberColours = {0xFF8360EA, 0xFFA560EA, 0xFFC860EA, 0xFFEA60EA,
                                                   0xFFEA60C8, 0xFFEA60A5, 0xFFEA6083, 0xFFE96164};

// The single ship: a disc of diameter 28 centred in the picture.
constexpr double discCentre = 16.0;
constexpr double discRadius = 14.0;
// The band a ship's body fills: columns or rows 2 to 29.
constexpr double bandStart = 2.0;
constexpr double bandEnd = 30.0;

bool inDisc(double x, double y) {
    return (x - discCentre) * (x - discCentre) + (y - discCentre) * (y - discCentre) <=
           discRadius * discRadius;
}

bool inBand(double v) {
    return v >= bandStart && v < bandEnd;
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

// The ship shapes as outlines in the coordinates of the 32-pixel picture, for paper: each is
// the disc, the band and the halves shapeColour joins, filled with the winding rule.
QPainterPath shipOutline(int code) {
    const QRectF disc(discCentre - discRadius, discCentre - discRadius, 2 * discRadius,
                      2 * discRadius);
    const double band = bandEnd - bandStart;
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (code >= 20 && code <= 24) {
        path.addEllipse(disc);  // the single ship, and the round side of each end
    }
    // The half band of each end, towards its flat edge, and the middle's band, codes 21 to 25.
    const QRectF bands[] = {{bandStart, 0.0, band, discCentre},
                            {discCentre, bandStart, 32.0 - discCentre, band},
                            {0.0, bandStart, discCentre, band},
                            {bandStart, discCentre, band, 32.0 - discCentre},
                            {bandStart, bandStart, band, band}};
    if (code >= 21 && code <= 25) {
        path.addRect(bands[code - 21]);
    }
    return path;
}

// The outline of `text`, glyph after glyph on one baseline, leant by the face's slant.
QPainterPath textPath(const Face& face, const QString& text) {
    QPainterPath path;
    const QList<quint32> glyphs = face.font.glyphIndexesForString(text);
    const QList<QPointF> advances = face.font.advancesForGlyphIndexes(glyphs);
    QPointF pen(0, 0);
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        path.addPath(face.font.pathForGlyph(glyphs[i]).translated(pen));
        pen += advances[i];
    }
    // Outline coordinates grow downwards, so a lean to the right shifts by -y.
    return QTransform().shear(-face.slant, 0.0).map(path);
}

// The closed outlines a path is made of, each as a path of its own, curves kept.
std::vector<QPainterPath> subpaths(const QPainterPath& path) {
    std::vector<QPainterPath> parts;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            parts.emplace_back();
            parts.back().moveTo(e);
        } else if (e.isLineTo()) {
            parts.back().lineTo(e);
        } else if (e.isCurveTo()) {
            parts.back().cubicTo(e, path.elementAt(i + 1), path.elementAt(i + 2));
            i += 2;
        }
    }
    return parts;
}

// Maps the ink box of `path` onto `target` (in 32-pixel coordinates), fills it with
// anti-aliasing and keeps the pixels at least half covered: a one-bit glyph of the face's weight.
void fillGlyph(QImage& tile, const QPainterPath& path, const QRectF& target, QRgb colour,
               double weight) {
    const double scale = tile.width() / 32.0;
    const QRectF ink = path.boundingRect();
    const double w = weight * scale;
    const QRectF inner = QRectF(target.topLeft() * scale, target.size() * scale)
                             .adjusted(w / 2, w / 2, -w / 2, -w / 2);
    const QTransform map = QTransform::fromTranslate(inner.left(), inner.top())
                               .scale(inner.width() / ink.width(), inner.height() / ink.height())
                               .translate(-ink.left(), -ink.top());
    QImage coverage(tile.size(), QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    {
        QPainter p(&coverage);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(w > 0 ? QPen(Qt::black, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                       : QPen(Qt::NoPen));
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

// The colour of number n, 0 to 31: the hue advances by 15 degrees a number from blue-violet
// through red at 7, cyan at 19 and on to red again at 31; from 8 on the channels lie between
// 0x3A and 0xE4.
QRgb numberColour(int n) {
    if (n >= 0 && n < static_cast<int>(paleNumberColours.size())) {
        return paleNumberColours[static_cast<std::size_t>(n)];
    }
    constexpr int lo = 0x3A;
    constexpr int hi = 0xE4;
    const double hue = std::fmod((n - 7) * 15.0, 360.0);
    const int sector = static_cast<int>(hue / 60.0);
    const double f = (hue - sector * 60.0) / 60.0;
    const int rising = static_cast<int>(std::floor(lo + (hi - lo) * f + 0.5));
    const int falling = static_cast<int>(std::floor(hi - (hi - lo) * f + 0.5));
    // Red, green and blue in each sixth of the hue circle.
    const int channels[6][3] = {{hi, rising, lo},  {falling, hi, lo}, {lo, hi, rising},
                                {lo, falling, hi}, {rising, lo, hi},  {hi, lo, falling}};
    const int* rgb = channels[sector >= 0 && sector < 5 ? sector : 5];
    return qRgb(rgb[0], rgb[1], rgb[2]);
}

// Number n, or for -1 the question mark of a line without a number: 23 pixels tall from row 4.
// One digit keeps about its own proportions (12 to 17 wide, the question mark 10 to 15) and is
// centred; two digits are fitted to columns 2 to 30.
QImage numeralPicture(const Face& face, int n, int size) {
    QImage tile(size, size, QImage::Format_ARGB32);
    tile.fill(Qt::transparent);
    const bool unknown = n == -1;
    const QPainterPath path = textPath(face, unknown ? QStringLiteral("?") : QString::number(n));
    QRectF target(2.0, 4.0, 29.0, 23.0);
    if (n < 10) {
        const QRectF ink = path.boundingRect();
        const double narrowest = unknown ? 10.0 : 12.0;
        const double width =
            std::clamp(ink.width() * 23.0 / ink.height(), narrowest, narrowest + 5.0);
        target = QRectF(16.0 - width / 2.0, 4.0, width, 23.0);
    }
    fillGlyph(tile, path, target, unknown ? unknownNumberColour : numberColour(n), face.weight);
    return tile;
}

// The colour of shape picture `code` at (x, y), transparent where it shows nothing.
QRgb shapeColour(int code, double x, double y) {
    const auto ship = [](bool in) { return in ? red : QRgb{0}; };
    switch (code) {
        case 20:
            return ship(inDisc(x, y));
        case 21:  // lower end: rounded below, open and flat at the top edge
            return ship(inDisc(x, y) || (inBand(x) && y < 16.0));
        case 24:  // upper end: the lower end mirrored
            return ship(inDisc(x, 32.0 - y) || (inBand(x) && y >= 16.0));
        case 22:  // left end: rounded on the left, open and flat at the right edge
            return ship(inDisc(x, y) || (inBand(y) && x >= 16.0));
        case 23:  // right end: the left end mirrored
            return ship(inDisc(32.0 - x, y) || (inBand(y) && x < 16.0));
        case 25:  // middle: keeps its margin on every side
            return ship(inBand(x) && inBand(y));
        case 26:  // horizontal band over the full width
            return ship(inBand(y));
        case 27:  // vertical band over the full height
        case 33:
            return ship(inBand(x));
        case 28:
            return onFrame(x, y) ? black : white;
        case 29:
            return onFrame(x, y) ? black : silver;
        case 30: {
            // The frame and both diagonals, 3 pixels thick along every row.
            const bool diagonal = std::abs(x - y) < 1.5 || std::abs(x + y - 32.0) < 1.5;
            return onFrame(x, y) || diagonal ? black : 0;
        }
        default: {
            // 31, the tick: a short arm down to the bottom, a long arm up to the right.
            const double d = std::min(segmentDistance(x, y, 7.5, 14.5, 12.5, 22.5),
                                      segmentDistance(x, y, 12.5, 22.5, 24.5, 6.5));
            return d <= 1.15 ? black : 0;
        }
    }
}

// The pictures without glyphs: ship shapes 20 to 27 and 33, water 28, covered 29, the cross 30
// and the tick 31. A null image for other codes.
QImage shapePicture(int code, int size) {
    if (code < 20 || code > 33 || code == 32) {
        return {};
    }
    QImage img(size, size, QImage::Format_ARGB32);
    const double unit = 32.0 / size;
    for (int y = 0; y < size; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < size; ++x) {
            line[x] = shapeColour(code, (x + 0.5) * unit, (y + 0.5) * unit);
        }
    }
    return img;
}

QImage questionPicture(const Face& face, int size) {
    QImage tile = shapePicture(29, size);
    std::vector<QPainterPath> parts = subpaths(textPath(face, QStringLiteral("?")));
    if (parts.empty()) {
        return tile;
    }
    // The dot is the outline that lies lowest; everything else belongs to the hook. The hook
    // takes columns 10 to 20 and rows 4 to 20, the dot rows 22 to 28.
    const auto dotIt = std::ranges::max_element(
        parts, {}, [](const QPainterPath& part) { return part.boundingRect().top(); });
    const QPainterPath dot = *dotIt;
    parts.erase(dotIt);
    QPainterPath hook;
    for (const QPainterPath& part : parts) {
        hook.addPath(part);
    }
    // Both parts keep their horizontal relation: one horizontal mapping for the whole glyph.
    const QRectF hookInk = hook.boundingRect();
    const QRectF dotInk = dot.boundingRect();
    const QRectF glyphInk = hookInk.united(dotInk);
    const double sx = 11.0 / glyphInk.width();
    const auto column = [&](double gx) { return 10.0 + (gx - glyphInk.left()) * sx; };
    fillGlyph(tile, hook, QRectF(column(hookInk.left()), 4.0, hookInk.width() * sx, 17.0), cyan,
              face.weight);
    // The dot is drawn round: as wide as it is tall, centred where the glyph puts it.
    fillGlyph(tile, dot, QRectF(column(dotInk.center().x()) - 3.5, 22.0, 7.0, 7.0), cyan,
              face.weight);
    return tile;
}

}  // namespace

void settleMask(QImage& img) {
    mapPixels(img, [](QRgb p) { return qAlpha(p) >= 128 ? (p | 0xFF000000) : QRgb{0}; });
}

QString numeralFontFile() {
    // Asked by family and style, and taken only when the match is that face: a substitute
    // would draw other numerals than the committed pictures show.
    using Pattern = std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)>;
    const Pattern pattern(FcNameParse(reinterpret_cast<const FcChar8*>("C059:style=Bold")),
                          &FcPatternDestroy);
    if (!pattern) {
        return {};
    }
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const Pattern match(FcFontMatch(nullptr, pattern.get(), &result), &FcPatternDestroy);
    FcChar8* family = nullptr;
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match.get(), FC_FAMILY, 0, &family) == FcResultMatch &&
        FcPatternGetString(match.get(), FC_FILE, 0, &path) == FcResultMatch &&
        QString::fromUtf8(reinterpret_cast<const char*>(family)) == QLatin1String("C059")) {
        return QString::fromUtf8(reinterpret_cast<const char*>(path));
    }
    return {};
}

const Face& numeralFace() {
    // The outlines are scaled to the picture afterwards; a large size keeps the hinting out.
    static const Face face{QRawFont(numeralFontFile(), 256.0, QFont::PreferNoHinting)};
    return face;
}

void paintShip(QPainter& painter, int code, const QRectF& cell, const QColor& colour) {
    const QTransform map = QTransform::fromTranslate(cell.left(), cell.top())
                               .scale(cell.width() / 32.0, cell.height() / 32.0);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(map.map(shipOutline(code)));
    painter.restore();
}

QImage picture(const Face& face, int code, int size, bool numeral) {
    if (numeral || (code >= 0 && code < 20)) {
        return numeralPicture(face, code, size);
    }
    return code == 32 ? questionPicture(face, size) : shapePicture(code, size);
}

QImage picture(int code, int size, bool numeral, const QImage& fallback) {
    if (size <= 0) {
        return {};
    }
    if (numeralFace().font.isValid() || !(numeral || code < 20 || code == 32)) {
        return picture(numeralFace(), code, size, numeral);
    }
    if (fallback.isNull()) {
        return {};
    }
    // The 32-pixel picture enlarged or reduced, with its mask settled at half again.
    QImage img = fallback.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_ARGB32);
    settleMask(img);
    return img;
}

}  // namespace quorvik::TileArt

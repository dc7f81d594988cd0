// Draws every picture Quorvik shows: the 34 tiles of the image set, the numerals 20 to 31 that
// sit beside it, the seven pictures of the cell menu and the window icon in all its sizes. The
// output is committed under assets/; the game itself only loads the PNG files from its resources.
//
// Regenerate (from the repository root, with any build directory):
//   cmake --build build/debug --target quorvik_tileart
//   QT_QPA_PLATFORM=offscreen build/debug/tools/quorvik_tileart assets
// The numerals and the question mark come from the outlines of one font file, read by path
// through QRawFont, so the result depends on that file (C059 Bold from the Debian package
// fonts-urw-base35) and not on which fonts the system's font matching would pick. The upright
// bold cut is leant a little and thickened by half a pixel: heavy, high-contrast figures, slightly
// slanted, whose closed counters shrink to slits. `--font`, `--slant` and `--weight` try others.
//
// Tiles are 32 x 32 RGBA with alpha 0 or 255 only: the image set keeps a one-bit mask, so
// anti-aliased glyph edges are thresholded. Menu pictures are 24-bit without alpha.
#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int tileSize = 32;
constexpr QRgb red = 0xFFFF0000;
constexpr QRgb black = 0xFF000000;
constexpr QRgb white = 0xFFFFFFFF;
constexpr QRgb silver = 0xFFC0C0C0;
constexpr QRgb cyan = 0xFF00FFFF;

const char* const defaultFont = "/usr/share/fonts/opentype/urw-base35/C059-Bold.otf";
constexpr double defaultSlant = 0.15;
constexpr double defaultWeight = 0.5;

// The numerals' colours 0 to 19: the hue advances by 15 degrees per number from blue-violet to
// cyan; 0 to 7 are paler than the rest.
constexpr std::array<QRgb, 20> numberColours = {
    0xFF8360EA, 0xFFA560EA, 0xFFC860EA, 0xFFEA60EA, 0xFFEA60C8, 0xFFEA60A5, 0xFFEA6083,
    0xFFE96164, 0xFFE4653A, 0xFFE48F3A, 0xFFE4BA3A, 0xFFE4E43A, 0xFFBAE43A, 0xFF8FE43A,
    0xFF65E43A, 0xFF3AE43A, 0xFF3AE465, 0xFF3AE48F, 0xFF3AE4BA, 0xFF3AE4E4,
};

// Numbers past 19 continue the hue beyond cyan in the same steps, with the saturation and
// brightness of 8 to 19 (channels between 0x3A and 0xE4): 20 is sky blue, 31 is back at red.
QRgb extendedNumberColour(int n) {
    constexpr double lo = 0x3A;
    constexpr double hi = 0xE4;
    const double hue = std::fmod((n - 7) * 15.0, 360.0);
    const int sector = static_cast<int>(hue / 60.0);
    const double f = (hue - sector * 60.0) / 60.0;
    const int rising = static_cast<int>(std::floor(lo + (hi - lo) * f + 0.5));
    const int falling = static_cast<int>(std::floor(hi - (hi - lo) * f + 0.5));
    const int l = static_cast<int>(lo);
    const int h = static_cast<int>(hi);
    switch (sector) {
        case 0:
            return qRgb(h, rising, l);
        case 1:
            return qRgb(falling, h, l);
        case 2:
            return qRgb(l, h, rising);
        case 3:
            return qRgb(l, falling, h);
        case 4:
            return qRgb(rising, l, h);
        default:
            return qRgb(h, l, falling);
    }
}

QImage emptyTile() {
    QImage img(tileSize, tileSize, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

// A tile from a pixel rule: `colourAt` gives the opaque colour of (x, y), or 0 for transparent.
QImage tileFromRule(const std::function<QRgb(int, int)>& colourAt) {
    QImage img = emptyTile();
    for (int y = 0; y < tileSize; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < tileSize; ++x) {
            line[x] = colourAt(x, y);
        }
    }
    return img;
}

bool onFrame(int x, int y) {
    return x < 2 || y < 2 || x >= tileSize - 2 || y >= tileSize - 2;
}

// The single ship: a disc of diameter 28 centred in the tile, covering columns and rows 2 to 29.
bool inDisc(int x, int y) {
    const double dx = x + 0.5 - 16.0;
    const double dy = y + 0.5 - 16.0;
    return dx * dx + dy * dy <= 14.0 * 14.0;
}

bool inBand(int v) {
    return v >= 2 && v <= 29;
}

// Distance from pixel (x, y) to the segment from (x0, y0) to (x1, y1).
double segmentDistance(double x, double y, double x0, double y0, double x1, double y1) {
    const double vx = x1 - x0;
    const double vy = y1 - y0;
    const double t = std::clamp(((x - x0) * vx + (y - y0) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
    const double dx = x - (x0 + t * vx);
    const double dy = y - (y0 + t * vy);
    return std::sqrt(dx * dx + dy * dy);
}

QImage shipTile(int code) {
    return tileFromRule([code](int x, int y) -> QRgb {
        bool on = false;
        switch (code) {
            case 20:  // single
                on = inDisc(x, y);
                break;
            case 21:  // lower end: rounded below, open and flat at the top edge
                on = inDisc(x, y) || (inBand(x) && y < 16);
                break;
            case 24:  // upper end: the lower end mirrored top to bottom
                on = inDisc(x, 31 - y) || (inBand(x) && 31 - y < 16);
                break;
            case 22:  // left end: rounded on the left, open and flat at the right edge
                on = inDisc(x, y) || (inBand(y) && x >= 16);
                break;
            case 23:  // right end: the left end mirrored left to right
                on = inDisc(31 - x, y) || (inBand(y) && 31 - x >= 16);
                break;
            case 25:  // middle: keeps its 2-pixel margin on every side
                on = inBand(x) && inBand(y);
                break;
            case 26:  // horizontal band over the full width
                on = inBand(y);
                break;
            case 27:  // vertical band over the full height
            case 33:
                on = inBand(x);
                break;
            default:
                break;
        }
        return on ? red : 0;
    });
}

QImage markTile(int code) {
    if (code == 30) {
        // Frame and both diagonals, 3 pixels thick along every row.
        return tileFromRule([](int x, int y) -> QRgb {
            const bool diagonal = std::abs(x - y) <= 1 || std::abs(x + y - 31) <= 1;
            return onFrame(x, y) || diagonal ? black : 0;
        });
    }
    // The tick: a short arm from (7, 14) down to (12, 22), a long arm up to (24, 6).
    return tileFromRule([](int x, int y) -> QRgb {
        const double d =
            std::min(segmentDistance(x, y, 7, 14, 12, 22), segmentDistance(x, y, 12, 22, 24, 6));
        return d <= 1.15 ? black : 0;
    });
}

QImage framedTile(QRgb fill) {
    return tileFromRule([fill](int x, int y) { return onFrame(x, y) ? black : fill; });
}

// The face the numerals and the question mark are drawn from: a font file's outlines, leant
// further by `slant` (horizontal shift per unit of height) and thickened by a stroke of `weight`
// tile pixels around the outline, which closes the counters to slits.
struct Face {
    QRawFont font;
    double slant = 0.0;
    double weight = 0.0;
};

// The outline of `text`, glyph after glyph on one baseline.
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

// The closed outlines a path is made of, each as a path of its own.
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

// Maps the ink box of `path` onto `target`, fills it in `colour` with anti-aliasing and keeps
// the pixels at least half covered: a one-bit glyph that keeps the face's weight.
void fillGlyph(QImage& tile, const QPainterPath& path, const QRectF& target, QRgb colour,
               double weight) {
    const QRectF ink = path.boundingRect();
    const QRectF inner = target.adjusted(weight / 2, weight / 2, -weight / 2, -weight / 2);
    QTransform map;
    map.translate(inner.left(), inner.top());
    map.scale(inner.width() / ink.width(), inner.height() / ink.height());
    map.translate(-ink.left(), -ink.top());

    QImage coverage(tile.size(), QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    {
        QPainter p(&coverage);
        p.setRenderHint(QPainter::Antialiasing);
        if (weight > 0) {
            p.setPen(QPen(Qt::black, weight, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        } else {
            p.setPen(Qt::NoPen);
        }
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

// Numerals stand 23 pixels tall on rows 4 to 26. One digit keeps about its own proportions
// (12 to 17 pixels wide) and is centred; two digits are fitted to columns 2 to 30.
QImage numberTile(const Face& face, int n, QRgb colour) {
    QImage tile = emptyTile();
    const QPainterPath path = textPath(face, QString::number(n));
    const QRectF ink = path.boundingRect();
    constexpr double top = 4.0;
    constexpr double height = 23.0;
    QRectF target;
    if (n < 10) {
        const double width = std::clamp(ink.width() * height / ink.height(), 12.0, 17.0);
        target = QRectF(16.0 - width / 2.0, top, width, height);
    } else {
        target = QRectF(2.0, top, 29.0, height);
    }
    fillGlyph(tile, path, target, colour, face.weight);
    return tile;
}

// "???": a cyan question mark on silver inside the frame. The hook takes columns 10 to 20 and
// rows 4 to 20, the dot rows 22 to 28, so the mark reads at a glance beside the numerals.
QImage questionTile(const Face& face) {
    QImage tile = framedTile(silver);
    std::vector<QPainterPath> parts = subpaths(textPath(face, QStringLiteral("?")));
    // The dot is the outline that lies lowest; everything else belongs to the hook.
    auto dotIt = std::max_element(parts.begin(), parts.end(), [](const auto& a, const auto& b) {
        return a.boundingRect().top() < b.boundingRect().top();
    });
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
    const double dotCentre = column(dotInk.center().x());
    fillGlyph(tile, dot, QRectF(dotCentre - 3.5, 22.0, 7.0, 7.0), cyan, face.weight);
    return tile;
}

// A cell-menu picture: 24 bits, no mask. Ship tiles become their red shape on white.
QImage menuPicture(const QImage& tile, bool onWhite) {
    QImage out(tile.size(), QImage::Format_RGB888);
    for (int y = 0; y < tile.height(); ++y) {
        for (int x = 0; x < tile.width(); ++x) {
            const QRgb p = tile.pixel(x, y);
            out.setPixel(x, y, qAlpha(p) == 255 ? p : (onWhite ? white : silver));
        }
    }
    return out;
}

// The window icon: a sea-blue board holding a ship of three and a single ship that keep their
// distance, as the fleet does, and cells marked as water.
QImage iconPicture(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    const QRectF board(2, 2, 60, 60);
    QLinearGradient sea(board.topLeft(), board.bottomLeft());
    sea.setColorAt(0.0, QColor(0x2F, 0x7F, 0xC8));
    sea.setColorAt(1.0, QColor(0x10, 0x35, 0x66));
    p.setPen(QPen(QColor(0x0A, 0x22, 0x44), size >= 32 ? 1.5 : 3.0));
    p.setBrush(sea);
    p.drawRoundedRect(board, 11, 11);

    // Small sizes show three by three cells, so the ships stay more than a pixel or two tall.
    const int cells = size >= 32 ? 4 : 3;
    const double cell = 50.0 / cells;
    constexpr double origin = 7.0;
    const auto cellRect = [&](int c, int r, int span = 1) {
        return QRectF(origin + c * cell, origin + r * cell, span * cell, cell);
    };
    if (size >= 32) {
        p.setPen(QPen(QColor(255, 255, 255, 70), 1.0));
        for (int i = 1; i < cells; ++i) {
            p.drawLine(QPointF(origin + i * cell, origin), QPointF(origin + i * cell, 57));
            p.drawLine(QPointF(origin, origin + i * cell), QPointF(57, origin + i * cell));
        }
    }

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xE8, 0xF4, 0xFF, 220));
    for (int c = 0; c < cells - 2; ++c) {
        p.drawRoundedRect(cellRect(c, 0).adjusted(2.0, 2.0, -2.0, -2.0), 1.5, 1.5);
    }

    const auto hull = [&](const QRectF& r) {
        QLinearGradient shade(r.topLeft(), r.bottomLeft());
        shade.setColorAt(0.0, QColor(0xFF, 0x6A, 0x5C));
        shade.setColorAt(0.55, QColor(0xE5, 0x1E, 0x1E));
        shade.setColorAt(1.0, QColor(0xA8, 0x10, 0x10));
        p.setBrush(shade);
        if (size >= 32) {
            p.setPen(QPen(QColor(0x5A, 0x08, 0x08), 1.0));
        } else {
            p.setPen(Qt::NoPen);
        }
        p.drawRoundedRect(r, r.height() / 2.0, r.height() / 2.0);
    };
    hull(cellRect(0, 2, 3).adjusted(1.2, 1.2, -1.2, -1.2));
    hull(cellRect(cells - 1, 0).adjusted(1.2, 1.2, -1.2, -1.2));
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

bool save(const QImage& img, const QString& file) {
    if (!img.save(file, "PNG")) {
        std::fprintf(stderr, "quorvik_tileart: cannot write %s\n", qPrintable(file));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Draws Quorvik's tiles, menu pictures and icons."));
    parser.addHelpOption();
    const QCommandLineOption fontOption(QStringLiteral("font"),
                                        QStringLiteral("Font file for the numerals."),
                                        QStringLiteral("file"), QString::fromLatin1(defaultFont));
    parser.addOption(fontOption);
    const QCommandLineOption slantOption(QStringLiteral("slant"),
                                         QStringLiteral("Extra lean of the numerals."),
                                         QStringLiteral("ratio"), QString::number(defaultSlant));
    parser.addOption(slantOption);
    const QCommandLineOption weightOption(QStringLiteral("weight"),
                                          QStringLiteral("Extra stroke of the numerals in pixels."),
                                          QStringLiteral("pixels"), QString::number(defaultWeight));
    parser.addOption(weightOption);
    parser.addPositionalArgument(QStringLiteral("assets"), QStringLiteral("The assets directory."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        parser.showHelp(1);
    }

    const QString fontFile = parser.value(fontOption);
    // The outlines are scaled to the tile afterwards; a large size keeps the hinting out.
    Face face{QRawFont(fontFile, 256.0, QFont::PreferNoHinting),
              parser.value(slantOption).toDouble(), parser.value(weightOption).toDouble()};
    if (!face.font.isValid()) {
        std::fprintf(stderr, "quorvik_tileart: cannot read the font %s\n", qPrintable(fontFile));
        return 1;
    }

    const QDir assets(parser.positionalArguments().front());
    if (!assets.mkpath(QStringLiteral("tiles")) || !assets.mkpath(QStringLiteral("icons"))) {
        std::fprintf(stderr, "quorvik_tileart: cannot create the output directories\n");
        return 1;
    }
    const auto tilePath = [&](const QString& name) {
        return assets.filePath(QStringLiteral("tiles/") + name);
    };

    std::array<QImage, 34> tiles;
    for (int n = 0; n < 20; ++n) {
        tiles[n] = numberTile(face, n, numberColours[n]);
    }
    for (int code = 20; code <= 27; ++code) {
        tiles[code] = shipTile(code);
    }
    tiles[28] = framedTile(white);
    tiles[29] = framedTile(silver);
    tiles[30] = markTile(30);
    tiles[31] = markTile(31);
    tiles[32] = questionTile(face);
    tiles[33] = shipTile(33);

    bool ok = true;
    for (int code = 0; code < 34; ++code) {
        ok &=
            save(tiles[code], tilePath(QStringLiteral("tile%1.png").arg(code, 2, 10, QChar('0'))));
    }
    for (int n = 20; n <= 31; ++n) {
        ok &= save(numberTile(face, n, extendedNumberColour(n)),
                   tilePath(QStringLiteral("number%1.png").arg(n)));
    }
    for (int code : {20, 21, 22, 23, 24, 25}) {
        ok &=
            save(menuPicture(tiles[code], true), tilePath(QStringLiteral("menu%1.png").arg(code)));
    }
    ok &= save(menuPicture(tiles[32], false), tilePath(QStringLiteral("menu32.png")));

    for (int size : {16, 32, 48, 64, 128, 256}) {
        ok &= save(iconPicture(size),
                   assets.filePath(QStringLiteral("icons/quorvik-%1.png").arg(size)));
    }
    ok &= save(iconPicture(64), assets.filePath(QStringLiteral("icons/quorvik.png")));

    QTextStream(stdout) << "numerals from " << fontFile << '\n';
    return ok ? 0 : 1;
}

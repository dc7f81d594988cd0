// Draws every picture Quorvik shows: the 34 tiles of the image set, the numerals 20 to 31 that
// sit beside it, the seven pictures of the cell menu and the window icon in all its sizes. The
// output is committed under assets/; the game itself loads the PNG files from its resources at
// the normal size and draws other sizes by the same rules (ui/TileArt).
//
// Regenerate (from the repository root, with any build directory):
//   cmake --build build/debug --target quorvik_tileart
//   QT_QPA_PLATFORM=offscreen build/debug/tools/quorvik_tileart assets
// The numerals and the question mark come from the outlines of one face, C059 Bold from the
// Debian package fonts-urw-base35, found through fontconfig. The upright bold cut is leant a
// little and thickened by half a pixel: heavy, high-contrast figures, slightly slanted, whose
// closed counters shrink to slits. `--font`, `--slant` and `--weight` try others.
//
// Tiles are 32 x 32 RGBA with alpha 0 or 255 only: the image set keeps a one-bit mask, so
// anti-aliased glyph edges are thresholded. Menu pictures are 24-bit without alpha.
#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTextStream>

#include <array>
#include <cstdio>

#include "TileArt.h"

namespace {

using namespace quorvik;

constexpr int tileSize = 32;
constexpr QRgb white = 0xFFFFFFFF;
constexpr QRgb silver = 0xFFC0C0C0;

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
    const TileArt::Face& gameFace = TileArt::numeralFace();
    const QCommandLineOption fontOption(QStringLiteral("font"),
                                        QStringLiteral("Font file for the numerals."),
                                        QStringLiteral("file"), TileArt::numeralFontFile());
    parser.addOption(fontOption);
    const QCommandLineOption slantOption(QStringLiteral("slant"),
                                         QStringLiteral("Extra lean of the numerals."),
                                         QStringLiteral("ratio"), QString::number(gameFace.slant));
    parser.addOption(slantOption);
    const QCommandLineOption weightOption(
        QStringLiteral("weight"), QStringLiteral("Extra stroke of the numerals in pixels."),
        QStringLiteral("pixels"), QString::number(gameFace.weight));
    parser.addOption(weightOption);
    parser.addPositionalArgument(QStringLiteral("assets"), QStringLiteral("The assets directory."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        parser.showHelp(1);
    }

    const QString fontFile = parser.value(fontOption);
    // The outlines are scaled to the tile afterwards; a large size keeps the hinting out.
    const TileArt::Face face{QRawFont(fontFile, 256.0, QFont::PreferNoHinting),
                             parser.value(slantOption).toDouble(),
                             parser.value(weightOption).toDouble()};
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
    for (int code = 0; code < 34; ++code) {
        tiles[code] = TileArt::picture(face, code, tileSize, false);
    }

    bool ok = true;
    for (int code = 0; code < 34; ++code) {
        ok &=
            save(tiles[code], tilePath(QStringLiteral("tile%1.png").arg(code, 2, 10, QChar('0'))));
    }
    for (int n = 20; n <= 31; ++n) {
        ok &= save(TileArt::picture(face, n, tileSize, true),
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

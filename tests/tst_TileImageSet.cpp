// The tile image set: the drawing rule with and without a background, and the features that
// define each committed picture (frame, margins, open ends, marks, numerals, menu pictures).
#include <QtTest>

#include <climits>
#include <optional>

#include "TileArt.h"
#include "TileImageSet.h"

using namespace quorvik;

namespace {

constexpr QRgb red = 0xFFFF0000;
constexpr QRgb black = 0xFF000000;
constexpr QRgb white = 0xFFFFFFFF;
constexpr QRgb silver = 0xFFC0C0C0;
constexpr QRgb cyan = 0xFF00FFFF;
constexpr QRgb green = 0xFF00A000;  // a colour no picture uses
constexpr QRgb grey = TileImageSet::greyRgb;
constexpr QRgb blue = TileImageSet::blueRgb;
constexpr std::optional<QRgb> keep;  // no background: transparent pixels keep the target's

bool isOpaque(const QImage& img, int x, int y) {
    return qAlpha(img.pixel(x, y)) == 255;
}

QImage filled(QRgb colour) {
    QImage img(32, 32, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

// The box around a picture's opaque pixels, or those of one colour.
QRect inkBox(const QImage& img, std::optional<QRgb> colour = std::nullopt) {
    QRect box;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (colour ? img.pixel(x, y) == *colour : isOpaque(img, x, y)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

}  // namespace

class TestTileImageSet : public QObject {
    Q_OBJECT

    TileImageSet set;

private slots:
    void loadsEveryPicture() {
        QCOMPARE(set.count(), 34);
        for (int i = 0; i < 34; ++i) {
            const QImage p = set.picture(i);
            QCOMPARE(p.size(), QSize(32, 32));
            // The set takes its tiles from the sheet the build made: each is its committed PNG.
            const QImage committed =
                QImage(QStringLiteral(":/tiles/tile%1.png").arg(i, 2, 10, QLatin1Char('0')))
                    .convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 32; ++x) {
                    QVERIFY(qAlpha(p.pixel(x, y)) == 0 || qAlpha(p.pixel(x, y)) == 255);
                    const QRgb c = committed.pixel(x, y);
                    QCOMPARE(p.pixel(x, y), qAlpha(c) >= 128 ? c | black : QRgb{0});
                }
            }
        }
    }

    // Opaque pixels take the picture's colour, transparent ones the background, or stay as
    // they were with none. The single ship has both kinds.
    void drawRule_data() {
        QTest::addColumn<QRgb>("transparentBecomes");
        QTest::newRow("silver") << silver;
        QTest::newRow("grey") << QRgb(0xFF808080);
        QTest::newRow("blue") << QRgb(0xFF0000FF);
        QTest::newRow("none keeps the target") << green;
    }
    void drawRule() {
        QFETCH(QRgb, transparentBecomes);
        QImage target = filled(green);
        QVERIFY(set.drawPicture(singlePicture, target,
                                transparentBecomes == green ? keep : transparentBecomes));
        const QImage ship = set.picture(singlePicture);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                QCOMPARE(target.pixel(x, y), isOpaque(ship, x, y) ? red : transparentBecomes);
            }
        }
    }

    // A target of the wrong size is replaced by a fresh silver one; a 32 x 32 target in any
    // format keeps its pixels under a draw with no background.
    void targetSize_data() {
        QTest::addColumn<QImage>("target");
        QTest::addColumn<QRgb>("underMark");
        QTest::newRow("null") << QImage() << silver;
        QTest::newRow("16x16") << filled(green).copy(0, 0, 16, 16) << silver;
        QTest::newRow("33x32") << QImage(33, 32, QImage::Format_RGB32) << silver;
        QTest::newRow("RGB32") << filled(green) << green;
        QTest::newRow("ARGB32") << filled(green).convertToFormat(QImage::Format_ARGB32) << green;
        QTest::newRow("RGB888") << filled(green).convertToFormat(QImage::Format_RGB888) << green;
    }
    void targetSize() {
        QFETCH(QImage, target);
        QFETCH(QRgb, underMark);
        QVERIFY(set.drawPicture(crossPicture, target, keep));
        QCOMPARE(target.size(), QSize(32, 32));
        QCOMPARE(target.pixel(15, 5) | black, underMark);  // inside the frame, off the diagonals
        QCOMPARE(target.pixel(0, 0) | black, black);
    }

    void outsideTheSetDrawsNothing_data() {
        QTest::addColumn<bool>("number");
        QTest::addColumn<int>("index");
        QTest::newRow("picture -1") << false << -1;
        QTest::newRow("picture 34") << false << 34;
        QTest::newRow("picture INT_MIN") << false << INT_MIN;
        QTest::newRow("number -2") << true << -2;
        QTest::newRow("number 32") << true << 32;
    }
    void outsideTheSetDrawsNothing() {
        QFETCH(bool, number);
        QFETCH(int, index);
        QImage target;
        QVERIFY(set.drawPicture(leftPicture, target, silver));
        const QImage before = target.copy();
        ElementState line;
        line.number = index;
        QVERIFY(!(number ? set.renderElement(ElementKind::ColNumber, line, target)
                         : set.drawPicture(index, target, silver)));
        QCOMPARE(target, before);
    }

    void opaquePicturesIgnoreTheBackground_data() {
        QTest::addColumn<int>("index");
        QTest::newRow("water") << int(waterPicture);
        QTest::newRow("covered") << int(coveredPicture);
        QTest::newRow("question") << int(segmentPicture);
    }
    void opaquePicturesIgnoreTheBackground() {
        QFETCH(int, index);
        QImage reference;
        QVERIFY(set.drawPicture(index, reference, silver));
        for (const std::optional<QRgb> background :
             {std::optional(grey), std::optional(blue), keep}) {
            QImage target = filled(green);
            QVERIFY(set.drawPicture(index, target, background));
            QCOMPARE(target, reference);
        }
    }

    // Exactly two pixels of black along every edge, then the picture's own inside.
    void frame_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QRgb>("inside");
        QTest::newRow("water") << int(waterPicture) << white;
        QTest::newRow("covered") << int(coveredPicture) << silver;
        QTest::newRow("question") << int(segmentPicture) << silver;
        QTest::newRow("wrong mark") << int(crossPicture) << QRgb(0);
    }
    void frame() {
        QFETCH(int, index);
        QFETCH(QRgb, inside);
        const QImage p = set.picture(index);
        for (int i = 0; i < 32; ++i) {
            for (int d : {0, 1, 30, 31}) {
                QCOMPARE(p.pixel(i, d), black);
                QCOMPARE(p.pixel(d, i), black);
            }
        }
        for (const QPoint& pt : {QPoint(2, 8), QPoint(29, 8), QPoint(8, 2), QPoint(24, 29)}) {
            QCOMPARE(p.pixel(pt), inside);
        }
    }

    void middleAndBands_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("box");
        QTest::newRow("middle keeps its margin") << int(middlePicture) << QRect(2, 2, 28, 28);
        QTest::newRow("horizontal band") << int(middleAcrossPicture) << QRect(0, 2, 32, 28);
        QTest::newRow("vertical band") << int(middleDownPicture) << QRect(2, 0, 28, 32);
        QTest::newRow("33 as the vertical band") << 33 << QRect(2, 0, 28, 32);
    }
    void middleAndBands() {
        QFETCH(int, index);
        QFETCH(QRect, box);
        const QImage p = set.picture(index);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                QCOMPARE(p.pixel(x, y), box.contains(x, y) ? red : QRgb(0));
            }
        }
    }

    // The ends seen with their open side at v = 0: u runs across the ship, v along it.
    void endPieces_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("openSide");  // 0 top, 1 bottom, 2 right, 3 left
        QTest::newRow("lower end, open at the top") << int(bottomPicture) << 0;
        QTest::newRow("upper end, open at the bottom") << int(topPicture) << 1;
        QTest::newRow("left end, open at the right") << int(leftPicture) << 2;
        QTest::newRow("right end, open at the left") << int(rightPicture) << 3;
    }
    void endPieces() {
        QFETCH(int, index);
        QFETCH(int, openSide);
        const QImage p = set.picture(index);
        const auto at = [&](int u, int v) {
            const QPoint pts[] = {{u, v}, {u, 31 - v}, {31 - v, u}, {v, u}};
            return isOpaque(p, pts[openSide].x(), pts[openSide].y());
        };
        for (int u = 0; u < 32; ++u) {
            // Flat and open: the band runs full width from the centre to the tile edge.
            for (int v = 0; v < 16; ++v) {
                QCOMPARE(at(u, v), u >= 2 && u <= 29);
            }
            QVERIFY(!at(u, 30) && !at(u, 31));  // the closed side keeps its margin
        }
        // Rounded: the far corners are empty, the far edge is touched in the middle.
        QVERIFY(!at(2, 29) && !at(29, 29));
        QVERIFY(at(15, 29) && at(16, 29) && at(2, 16));
    }

    void singleShip() {
        const QImage p = set.picture(singlePicture);
        QCOMPARE(inkBox(p), QRect(QPoint(2, 2), QPoint(29, 29)));
        QVERIFY(!isOpaque(p, 2, 2));
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                QCOMPARE(p.pixel(x, y), p.pixel(31 - x, y));
                QCOMPARE(p.pixel(x, y), p.pixel(y, x));
            }
        }
    }

    // Drawn at 64 pixels, a picture is drawn anew, not the 32-pixel one enlarged: some 2 x 2
    // block of it is not of one colour, while its ink covers the same part of the tile.
    void drawnAtLargerSizes_data() {
        QTest::addColumn<int>("code");
        QTest::newRow("single ship") << int(singlePicture);
        QTest::newRow("wrong mark") << int(crossPicture);
        QTest::newRow("numeral 8") << 8;
        QTest::newRow("question mark") << int(segmentPicture);
    }
    void drawnAtLargerSizes() {
        QFETCH(int, code);
        const QImage p = set.atSize(64).picture(code);
        QCOMPARE(p.size(), QSize(64, 64));
        bool blockBroken = false;
        for (int y = 0; y < 64; y += 2) {
            for (int x = 0; x < 64; x += 2) {
                blockBroken |= p.pixel(x, y) != p.pixel(x + 1, y) ||
                               p.pixel(x, y) != p.pixel(x, y + 1) ||
                               p.pixel(x, y) != p.pixel(x + 1, y + 1);
                QVERIFY(qAlpha(p.pixel(x, y)) == 0 || qAlpha(p.pixel(x, y)) == 255);
            }
        }
        QVERIFY(blockBroken);
        const QRect normal = inkBox(set.picture(code));
        const QRect large = inkBox(p);
        QVERIFY2(std::abs(large.left() - 2 * normal.left()) <= 2 &&
                     std::abs(large.right() - 2 * normal.right() - 1) <= 2 &&
                     std::abs(large.bottom() - 2 * normal.bottom() - 1) <= 2,
                 qPrintable(QStringLiteral("%1 %2").arg(large.left()).arg(large.right())));
        QCOMPARE(&set.atSize(32), &set);
    }

    // A zoomed set comes from the cache folder only when the file there is one the game wrote
    // for these rules; anything else at its place is drawn anew (and replaced where it can be).
    void zoomedSetFromTheCache_data() {
        QTest::addColumn<QByteArray>("content");  // the cache file before; "-" a folder there
        QTest::newRow("none") << QByteArray();
        QTest::newRow("damaged") << QByteArray("\x89PNG\r\n\x1a\n not a picture");
        QTest::newRow("foreign") << QByteArray("foreign");
        QTest::newRow("folder in its place") << QByteArray("-");
    }
    void zoomedSetFromTheCache() {
        QFETCH(QByteArray, content);
        QTemporaryDir cache;
        qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
        const QString file = cache.filePath(QStringLiteral("Quorvik/tiles-40.png"));
        QDir().mkpath(cache.filePath(QStringLiteral("Quorvik")));
        if (content == "-") {
            QDir().mkpath(file);
        } else if (content == "foreign") {
            // A picture of the right size and kind, but not drawn by these rules.
            QImage strip(40 * 46, 40, QImage::Format_ARGB32);
            strip.fill(green);
            QVERIFY(strip.save(file, "PNG"));
        } else if (!content.isEmpty()) {
            QFile damaged(file);
            QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write(content) > 0);
        }
        // Twice: drawn (or read) by one set, then read back by the next.
        for (int pass = 0; pass < 2; ++pass) {
            const TileImageSet normal;
            for (int code : {8, int(leftPicture), int(segmentPicture)}) {
                QCOMPARE(normal.atSize(40).picture(code),
                         TileArt::picture(code, 40, false, normal.picture(code)));
            }
            QCOMPARE(normal.atSize(40).numberPicture(25),
                     TileArt::picture(25, 40, true, normal.numberPicture(25)));
        }
        QCOMPARE(QFileInfo(file).isFile(), content != "-");
        qunsetenv("XDG_CACHE_HOME");
    }

    void wrongMark() {
        const QImage p = set.picture(crossPicture);
        for (int y = 2; y <= 29; ++y) {
            // Both diagonals cross each row 3 pixels thick, corner to corner.
            for (int d = -1; d <= 1; ++d) {
                QVERIFY(isOpaque(p, qBound(0, y + d, 31), y));
                QVERIFY(isOpaque(p, qBound(0, 31 - y + d, 31), y));
            }
            int opaque = 0;
            for (int x = 2; x <= 29; ++x) {
                opaque += isOpaque(p, x, y) ? 1 : 0;
            }
            QVERIFY2(opaque <= 6, qPrintable(QString::number(y)));
        }
    }

    void rightMark() {
        const QImage p = set.picture(tickPicture);
        const QRect box = inkBox(p);
        QVERIFY(qAbs(box.left() - 7) <= 1 && qAbs(box.top() - 6) <= 1);
        QVERIFY(qAbs(box.right() - 24) <= 1 && qAbs(box.bottom() - 22) <= 1);
        for (const QPoint& pt : {QPoint(7, 14), QPoint(12, 22), QPoint(24, 6), QPoint(18, 14)}) {
            QCOMPARE(p.pixel(pt), black);
        }
        // The long arm: one stroke of 2 to 4 pixels across each of its rows.
        for (int y = 8; y <= 18; ++y) {
            const QRect run = inkBox(p.copy(13, y, 19, 1));
            QVERIFY2(run.width() >= 2 && run.width() <= 4, qPrintable(QString::number(y)));
        }
        QVERIFY(!isOpaque(p, 20, 20));
    }

    void questionMark() {
        const QImage p = set.picture(segmentPicture);
        for (int y = 2; y <= 29; ++y) {
            for (int x = 2; x <= 29; ++x) {
                QVERIFY(p.pixel(x, y) == cyan || p.pixel(x, y) == silver);
            }
        }
        QCOMPARE(inkBox(p, cyan).top(), 4);
        QCOMPARE(inkBox(p, cyan).bottom(), 28);
        QVERIFY(QRect(QPoint(10, 4), QPoint(20, 28)).contains(inkBox(p, cyan)));
        QVERIFY(inkBox(p.copy(0, 21, 32, 1), cyan).isNull());  // between hook and dot
        QVERIFY(!inkBox(p.copy(0, 22, 32, 7), cyan).isNull());
    }

    // A mark drawn with no background over a picture: the mark's pixels, and the old picture
    // everywhere else. Drawing the mark once more changes nothing.
    void overlays_data() {
        QTest::addColumn<int>("base");
        QTest::addColumn<QRgb>("baseBackground");
        QTest::addColumn<int>("overlay");
        QTest::newRow("wrong mark over single") << 20 << silver << 30;
        QTest::newRow("tick over left end") << 22 << silver << 31;
        QTest::newRow("tick over middle on blue") << 25 << blue << 31;
        QTest::newRow("wrong mark over question") << 32 << silver << 30;
    }
    void overlays() {
        QFETCH(int, base);
        QFETCH(QRgb, baseBackground);
        QFETCH(int, overlay);
        QImage target;
        QVERIFY(set.drawPicture(base, target, baseBackground));
        const QImage before = target.copy();
        QVERIFY(set.drawPicture(overlay, target, keep));
        const QImage mark = set.picture(overlay);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                QCOMPARE(target.pixel(x, y),
                         isOpaque(mark, x, y) ? mark.pixel(x, y) : before.pixel(x, y));
            }
        }
        const QImage once = target.copy();
        QVERIFY(set.drawPicture(overlay, target, keep));
        QCOMPARE(target, once);
    }

    // Each face of a cell gives the picture its drawing sequence gives: the base code on its
    // background, then the mark laid over with no background. The element's earlier picture
    // (here a segment on blue) never shows through.
    void facesRender_data() {
        QTest::addColumn<int>("reveal");
        QTest::addColumn<int>("mark");
        QTest::addColumn<int>("base");
        QTest::addColumn<QRgb>("baseBackground");
        QTest::addColumn<int>("overlay");  // -1: none
        const auto row = [](const char* name, Reveal reveal, Mark mark) -> QTestData& {
            return QTest::newRow(name) << int(reveal) << int(mark);
        };
        row("mark", Reveal::None, Mark::Right) << 23 << silver << -1;
        row("covered", Reveal::None, Mark::Covered) << 29 << silver << -1;
        row("clue", Reveal::Clue, Mark::Left) << 22 << grey << -1;
        row("filled in", Reveal::Shown, Mark::Top) << 24 << blue << -1;
        row("found", Reveal::Found, Mark::Bottom) << 21 << silver << 31;
        row("found on blue", Reveal::FoundShown, Mark::Single) << 20 << blue << 31;
        row("wrong ???", Reveal::Wrong, Mark::Segment) << 32 << silver << 30;
        row("ticked legend", Reveal::Wrong, Mark::Middle) << 25 << silver << 30;
    }
    void facesRender() {
        QFETCH(int, reveal);
        QFETCH(int, mark);
        QFETCH(int, base);
        QFETCH(QRgb, baseBackground);
        QFETCH(int, overlay);
        QImage expected;
        QVERIFY(set.drawPicture(base, expected, baseBackground));
        if (overlay >= 0) {
            QVERIFY(set.drawPicture(overlay, expected, keep));
        }
        QImage target;
        QVERIFY(set.drawPicture(singlePicture, target, blue));
        ElementState state;
        state.reveal = static_cast<Reveal>(reveal);
        state.mark = static_cast<Mark>(mark);
        QVERIFY(set.renderElement(ElementKind::Grid, state, target));
        QCOMPARE(target, expected);
    }

    // Numerals 0 to 19 in the colours of the set, 20 to 31 continuing past cyan; all 23 pixels
    // tall, one digit 12 to 17 wide and centred, two digits across columns 2 to 30.
    void numerals_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QRgb>("colour");
        const QRgb colours[] = {
            0xFF8360EA, 0xFFA560EA, 0xFFC860EA, 0xFFEA60EA, 0xFFEA60C8, 0xFFEA60A5, 0xFFEA6083,
            0xFFE96164, 0xFFE4653A, 0xFFE48F3A, 0xFFE4BA3A, 0xFFE4E43A, 0xFFBAE43A, 0xFF8FE43A,
            0xFF65E43A, 0xFF3AE43A, 0xFF3AE465, 0xFF3AE48F, 0xFF3AE4BA, 0xFF3AE4E4, 0xFF3ABAE4,
            0xFF3A8FE4, 0xFF3A65E4, 0xFF3A3AE4, 0xFF653AE4, 0xFF8F3AE4, 0xFFBA3AE4, 0xFFE43AE4,
            0xFFE43ABA, 0xFFE43A8F, 0xFFE43A65, 0xFFE43A3A};
        for (int n = 0; n < 32; ++n) {
            QTest::addRow("%d", n) << n << colours[n];
        }
    }
    void numerals() {
        QFETCH(int, n);
        QFETCH(QRgb, colour);
        QImage drawn;
        ElementState line;
        line.number = n;
        QVERIFY(set.renderElement(ElementKind::ColNumber, line, drawn));
        const QImage p = set.numberPicture(n);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                QCOMPARE(p.pixel(x, y), isOpaque(p, x, y) ? colour : QRgb(0));
                QCOMPARE(drawn.pixel(x, y), isOpaque(p, x, y) ? colour : silver);
            }
        }
        const QRect box = inkBox(p);
        QCOMPARE(box.top(), 4);
        QCOMPARE(box.bottom(), 26);
        if (n < 10) {
            QVERIFY2(box.width() >= 12 && box.width() <= 17,
                     qPrintable(QString::number(box.width())));
            QVERIFY(qAbs(box.left() + box.right() - 31) <= 2);
        } else {
            QVERIFY(box.left() >= 1 && box.left() <= 3 && box.right() >= 29);
        }
    }

    void menuPictures_data() {
        QTest::addColumn<int>("mark");
        for (Mark mark : {Mark::Single, Mark::Bottom, Mark::Left, Mark::Right, Mark::Top,
                          Mark::Middle, Mark::Segment}) {
            QTest::addRow("%d", markPicture(mark)) << int(mark);
        }
    }
    void menuPictures() {
        QFETCH(int, mark);
        const int code = markPicture(Mark(mark));
        // The icon hides the lower-left pixel's colour: white around ships, the black frame.
        const QIcon icon = set.menuIcon(Mark(mark));
        const QImage menu = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(menu.size(), QSize(32, 32));
        const QImage tile = set.picture(code);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                // Ships: the red shape on white. "???": the tile, pixel for pixel.
                const QRgb drawn = code == segmentPicture ? tile.pixel(x, y)
                                                          : (isOpaque(tile, x, y) ? red : white);
                QCOMPARE(menu.pixel(x, y),
                         drawn == (code == segmentPicture ? black : white) ? QRgb(0) : drawn);
            }
        }
        const QImage small = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(small.size(), QSize(16, 16));
        const QRgb hidden = code == segmentPicture ? black : white;
        int shown = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const bool visible = qAlpha(small.pixel(x, y)) != 0;
                QVERIFY(!visible || small.pixel(x, y) != hidden);
                shown += visible ? 1 : 0;
            }
        }
        QVERIFY(shown > 0);
        QCOMPARE(set.menuIcon(Mark(mark)).cacheKey(), icon.cacheKey());  // made once, shared
    }
};

QTEST_MAIN(TestTileImageSet)
#include "tst_TileImageSet.moc"

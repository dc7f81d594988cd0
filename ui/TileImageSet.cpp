// Loading the tile pictures and drawing them by the one-bit mask rule. Drawing runs on every
// click and for every element of a new game, so it works on raw scanlines.
#include "TileImageSet.h"

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QResource>

#include "StateFile.h"
#include "TileArt.h"

namespace quorvik {

namespace {

// A picture from the resources, or null if it is missing or of the wrong size.
QImage readPicture(const QString& path) {
    QImage img(path);
    return img.size() == QSize(TileImageSet::pictureSize, TileImageSet::pictureSize) ? img
                                                                                     : QImage();
}

// Tile `index` from the 34 tiles' pixels as the build decoded them from
// the committed pictures: tile after tile, row after row, ARGB32 words in this machine's byte
// order, kept uncompressed in the program. Copying a tile costs a small part of decoding its PNG,
// which was most of the set's share of the start. Null when the sheet is not of 34 tiles.
QImage sheetPicture(int index) {
    constexpr int side = TileImageSet::pictureSize;
    constexpr qsizetype tileBytes = qsizetype{4} * side * side;
    static const QResource sheet(QStringLiteral(":/tiles/tilesheet.argb"));
    if (sheet.compressionAlgorithm() != QResource::NoCompression ||
        sheet.size() != tilePictureCount * tileBytes) {
        return {};
    }
    return QImage(sheet.data() + index * tileBytes, side, side, QImage::Format_ARGB32).copy();
}

// `img` with every pixel of colour `key` made transparent.
QPixmap keyedPixmap(const QImage& img, QRgb key) {
    QImage keyed = img.convertToFormat(QImage::Format_ARGB32);
    TileArt::mapPixels(keyed, [key](QRgb p) { return ((p ^ key) & RGB_MASK) == 0 ? QRgb{0} : p; });
    return QPixmap::fromImage(keyed);
}

// A line that holds its count: the numeral's pixels go two thirds of the way to silver, so
// the numbers still to play stand out.
void paleNumeral(QImage& target) {
    const auto pale = [](int c) { return (c + 2 * qRed(TileImageSet::silverRgb)) / 3; };
    TileArt::mapPixels(
        target, [&pale](QRgb p) { return qRgb(pale(qRed(p)), pale(qGreen(p)), pale(qBlue(p))); });
}

// A water clue: water is opaque, so the clue's grey shows as a band inside the frame, which
// tells it from the player's water marks.
void greyBand(QImage& target) {
    const int size = target.width();
    const auto at = [size](int normal) { return (normal * size + 16) / 32; };
    QPainterPath band;
    band.addRect(QRectF(at(3), at(3), size - 2 * at(3), size - 2 * at(3)));
    band.addRect(QRectF(at(8), at(8), size - 2 * at(8), size - 2 * at(8)));
    QPainter painter(&target);
    painter.fillPath(band, QColor::fromRgb(TileImageSet::greyRgb));
}

// A zoomed set is drawn once per size and kept in the user's cache folder, so that a zoomed
// board starts without drawing it: one strip of the 34 pictures and the 12 numerals beside them,
// with a text field naming the drawing rules, the size and a checksum of the pixels. A file that
// is missing, damaged, of another size or drawn by other rules is drawn anew and replaced.
constexpr char cacheTextKey[] = "Quorvik";

QString tileCacheFolder() {
    return xdgFolder("XDG_CACHE_HOME", ".cache") + QStringLiteral("/Quorvik");
}

QString tileCacheName(int size) {
    return QStringLiteral("tiles-%1.png").arg(size);
}

// What the strip's text field holds for these pixels: the rules they were drawn by (the
// drawing version and the numerals' face), the size and the pixels' checksum.
QByteArray stripText(const QImage& strip, int size) {
    const QByteArray pixels =
        QByteArray::fromRawData(reinterpret_cast<const char*>(strip.constBits()),
                                static_cast<qsizetype>(strip.sizeInBytes()));
    return QByteArray::number(TileArt::drawingVersion) + ' ' +
           TileArt::numeralFontFile().toUtf8().toHex() + ' ' + QByteArray::number(size) + ' ' +
           checksumText(pixels);
}

// The cached strip of `size`, or a null image when there is no whole one drawn by these rules.
QImage readTileCache(int size) {
    // A PNG of the strip never outgrows its raw pixels by much; a larger file is not read.
    const qsizetype limit = qsizetype{4} * TileImageSet::stripCount * size * size + 64 * 1024;
    const std::optional<QByteArray> bytes =
        readRegularFile(tileCacheFolder() + u'/' + tileCacheName(size), limit);
    if (!bytes) {
        return {};
    }
    QImage strip = QImage::fromData(*bytes, "PNG");
    if (strip.size() != QSize(size * TileImageSet::stripCount, size)) {
        return {};
    }
    const QString text = strip.text(QString::fromLatin1(cacheTextKey));
    strip.convertTo(QImage::Format_ARGB32);
    return text.toLatin1() == stripText(strip, size) ? strip : QImage();
}

void writeTileCache(QImage strip, int size) {
    strip.setText(QString::fromLatin1(cacheTextKey), QString::fromLatin1(stripText(strip, size)));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // A cache that cannot be written costs only the drawing at the next start.
    if (strip.save(&buffer, "PNG")) {
        writeFileWhole(tileCacheFolder(), tileCacheName(size), bytes);
    }
}

// Draws `picture` by the one-bit mask rule; see drawPicture.
bool draw(const QImage& picture, QImage& target, std::optional<QRgb> background) {
    if (picture.isNull()) {
        return false;
    }
    if (target.size() != picture.size()) {
        // The still empty picture of a new element: start from the normal background, so a
        // first draw with no background shows no undefined pixels.
        target = QImage(picture.size(), QImage::Format_RGB32);
        target.fill(TileImageSet::silverRgb);
    } else if (target.format() != QImage::Format_RGB32 &&
               target.format() != QImage::Format_ARGB32 &&
               target.format() != QImage::Format_ARGB32_Premultiplied) {
        // Keeps the pixels, in a format whose scanlines hold one QRgb per pixel.
        target.convertTo(target.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    }
    // Every pixel written is opaque, which reads the same in all three formats. Both images
    // are of one square size here; the loops run on raw scanlines, since this is every click's
    // work.
    const int size = picture.width();
    for (int y = 0; y < size; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(target.scanLine(y));
        if (background) {
            const QRgb bk = *background;
            for (int x = 0; x < size; ++x) {
                dst[x] = qAlpha(src[x]) != 0 ? src[x] : bk;
            }
        } else {
            for (int x = 0; x < size; ++x) {
                if (qAlpha(src[x]) != 0) {
                    dst[x] = src[x];
                }
            }
        }
    }
    return true;
}

}  // namespace

// Each picture is taken from the resources when it is first drawn: the first board shows only
// some of them, and the numerals past 19 are needed only for very long lines.
const QImage& TileImageSet::tile(int k) const {
    const auto i = static_cast<std::size_t>(k);
    if (!loaded_[i]) {
        loaded_[i] = true;
        pictures_[i] = k < tilePictureCount
                           ? sheetPicture(k)
                           : readPicture(QStringLiteral(":/tiles/number%1.png")
                                             .arg(k - tilePictureCount + extraNumberFirst))
                                 .convertToFormat(QImage::Format_ARGB32);
        TileArt::settleMask(pictures_[i]);
    }
    return pictures_[i];
}

TileImageSet::TileImageSet(const TileImageSet& normal, int size) : size_(size) {
    loaded_.set();
    const QImage cached = readTileCache(size);
    if (!cached.isNull()) {
        for (int k = 0; k < stripCount; ++k) {
            pictures_[static_cast<std::size_t>(k)] = cached.copy(k * size, 0, size, size);
        }
        return;
    }
    QImage strip(size * stripCount, size, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int k = 0; k < stripCount; ++k) {
        const bool numeral = k >= tilePictureCount;
        QImage& drawn = pictures_[static_cast<std::size_t>(k)];
        drawn = TileArt::picture(numeral ? k - tilePictureCount + extraNumberFirst : k, size,
                                 numeral, normal.tile(k));
        if (!drawn.isNull()) {
            painter.drawImage(k * size, 0, drawn);
        }
    }
    painter.end();
    writeTileCache(strip, size);
}

const TileImageSet& TileImageSet::atSize(int size) const {
    if (size == size_ || size <= 0) {
        return *this;
    }
    std::unique_ptr<TileImageSet>& set = sized_[size];
    if (!set) {
        set.reset(new TileImageSet(*this, size));
    }
    return *set;
}

QImage TileImageSet::numberPicture(int count) const {
    if (count >= 0 && count <= extraNumberLast) {
        return tile(count <= numberPictureLast ? count
                                               : count - extraNumberFirst + tilePictureCount);
    }
    if (count != -1) {
        return {};
    }
    // A line without a number: the question mark as a numeral, drawn on first need (no picture
    // of it is kept with the others); without the numerals' font, the "???" picture.
    if (unknownNumber_.isNull()) {
        unknownNumber_ = TileArt::picture(-1, size_, true, pictures_[segmentPicture]);
    }
    return unknownNumber_;
}

bool TileImageSet::drawPicture(int index, QImage& target, std::optional<QRgb> background) const {
    return draw(picture(index), target, background);  // no picture outside the set draws nothing
}

bool TileImageSet::renderElement(ElementKind kind, const ElementState& state,
                                 QImage& target) const {
    if (kind == ElementKind::ColNumber || kind == ElementKind::RowNumber) {
        const bool drew = draw(numberPicture(state.number), target, silverRgb);
        if (drew && state.lineDone) {
            paleNumeral(target);
        }
        return drew;
    }
    // A colour background replaces every pixel, so the result never depends on what the
    // element showed before; only the marks are laid over the picture just drawn.
    const bool filledIn = state.reveal == Reveal::Shown || state.reveal == Reveal::FoundShown;
    const QRgb background = state.reveal == Reveal::Clue ? greyRgb : filledIn ? blueRgb : silverRgb;
    if (!drawPicture(markPicture(state.mark), target, background)) {
        return false;
    }
    // A clue says what it is: a segment, water or a segment of unknown kind.
    if (state.reveal == Reveal::Clue && state.mark == Mark::Water) {
        greyBand(target);
    }
    const bool found = state.reveal == Reveal::Found || state.reveal == Reveal::FoundShown;
    if (found || state.reveal == Reveal::Wrong) {
        return drawPicture(found ? tickPicture : crossPicture, target, std::nullopt);
    }
    return true;
}

QImage TileImageSet::picture(int index) const {
    return index >= 0 && index < count() ? tile(index) : QImage();
}

QIcon TileImageSet::menuIcon(Mark mark) const {
    if (!isShape(mark) && mark != Mark::Segment) {
        return {};
    }
    QIcon& icon = menuIcons_[mark];
    if (icon.isNull()) {
        // The menu pictures are kept without a mask, as 24-bit pictures.
        const QImage img = readPicture(QStringLiteral(":/tiles/menu%1.png").arg(markPicture(mark)))
                               .convertToFormat(QImage::Format_RGB888);
        if (!img.isNull()) {
            // The reduction picks whole pixels, so the see-through colour still matches
            // exactly and the shape keeps hard edges.
            const QRgb key = img.pixel(0, img.height() - 1);
            icon.addPixmap(keyedPixmap(
                img.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::FastTransformation), key));
            icon.addPixmap(keyedPixmap(img, key));
        }
    }
    return icon;
}

}  // namespace quorvik

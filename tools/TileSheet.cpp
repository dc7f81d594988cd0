// Built and run while the program is built: decodes the committed tile pictures once and writes
// their pixels, one picture after the other, as 32 x 32 ARGB32 words in this machine's byte
// order, so that the game copies a tile at start-up instead of decoding a PNG.
// Usage: quorvik_tilesheet <output file> <picture>...
#include <QFile>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <output file> <picture>...\n", argv[0]);
        return 2;
    }
    QByteArray sheet;
    for (int i = 2; i < argc; ++i) {
        const QImage picture(QString::fromLocal8Bit(argv[i]));
        if (picture.size() != QSize(32, 32)) {
            std::fprintf(stderr, "%s: not a 32 x 32 picture\n", argv[i]);
            return 1;
        }
        const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < pixels.height(); ++y) {
            sheet.append(reinterpret_cast<const char*>(pixels.constScanLine(y)),
                         pixels.width() * 4);
        }
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(sheet) != sheet.size() || !out.flush()) {
        std::fprintf(stderr, "%s: cannot write\n", argv[1]);
        return 1;
    }
    return 0;
}

// The faces of the program's windows.
#include "Fonts.h"

#include <QFontMetrics>
#include <QStringList>

#include <algorithm>
#include <map>

namespace quorvik {

QFont arialFont(int pixelSize, bool bold, bool italic) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont windowFont() {
    return arialFont(11);
}

QFont headingFont(int cellHeight) {
    // Each size is found once: the board asks again at every zoom step and level.
    static std::map<int, QFont> found;
    if (const auto it = found.find(cellHeight); it != found.end()) {
        return it->second;
    }
    QFont font;
    // Liberation Sans in bold is the last resort, when neither black face is installed.
    font.setFamilies({QStringLiteral("Arial Black"), QStringLiteral("Inter"),
                      QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Black);
    // Letter for letter: Inter's contextual forms would set the x of "9x9" as a multiplication
    // sign.
    font.setStyleStrategy(QFont::PreferNoShaping);
    // Faces differ in how tall their cell is for one pixel size: Arial Black's is about 1.41
    // of it, Inter's about 1.21.
    // The cell grows about in step with the size, so one measurement at the full height gives
    // the size to start from; a step or two either way settles it. Each size measured loads a
    // font, which is much of the window's start.
    int size = cellHeight;
    font.setPixelSize(size);
    const int fullHeight = QFontMetrics(font).height();
    if (fullHeight > cellHeight) {
        size = std::max(1, cellHeight * cellHeight / fullHeight);
        font.setPixelSize(size);
        while (size > 1 && QFontMetrics(font).height() > cellHeight) {
            font.setPixelSize(--size);
        }
        QFont larger = font;
        larger.setPixelSize(size + 1);
        while (size + 1 < cellHeight && QFontMetrics(larger).height() <= cellHeight) {
            font.setPixelSize(++size);
            larger.setPixelSize(size + 1);
        }
    }
    found.emplace(cellHeight, font);
    return font;
}

}  // namespace quorvik

// The faces of the program's windows.
#include "Fonts.h"

#include <QStringList>

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

}  // namespace quorvik

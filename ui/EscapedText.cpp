// Control characters in typed text, shown as escapes.
#include "EscapedText.h"

namespace quorvik {

QString escapedText(QStringView text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control) {
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        } else {
            shown += c;
        }
    }
    return shown;
}

}  // namespace quorvik

// The faces of the program's windows.
#include "Fonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

#include <fontconfig/fontconfig.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <system_error>

namespace quorvik {

QFont arialFont(int pixelSize, bool bold, bool italic) {
    // An installed face goes first: a missing one makes the lookup sort all faces for its
    // stand-ins (about a tenth of the work to the first frame), only to find Liberation Sans.
    // Without either, both names go to the lookup.
    static const QStringList families = [] {
        const QStringList installed = QFontDatabase::families();
        // A face that several foundries ship is listed as "Name [Foundry]".
        const auto has = [&installed](const QString& name) {
            return std::any_of(installed.begin(), installed.end(), [&name](const QString& face) {
                return face.compare(name, Qt::CaseInsensitive) == 0 ||
                       face.startsWith(name + QStringLiteral(" ["), Qt::CaseInsensitive);
            });
        };
        const QString arial = QStringLiteral("Arial");
        const QString liberation = QStringLiteral("Liberation Sans");
        if (!has(arial) && has(liberation)) {
            return QStringList{liberation};
        }
        return QStringList{arial, liberation};
    }();
    QFont font;
    font.setFamilies(families);
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
    // A face's cell is taller than its pixel size (Arial Black's about 1.41 of it, Inter's
    // 1.21) and grows about in step with it, so one measurement at the full height gives the
    // size to start from; a step or two either way settles it. Each size measured loads a font,
    // which is much of the window's start.
    const auto heightAt = [&font](int size) {
        QFont sized = font;
        sized.setPixelSize(size);
        return QFontMetrics(sized).height();
    };
    font.setPixelSize(cellHeight);
    const int fullHeight = QFontMetrics(font).height();
    if (fullHeight > cellHeight) {
        int size = std::max(1, cellHeight * cellHeight / fullHeight);
        while (size > 1 && heightAt(size) > cellHeight) {
            --size;
        }
        while (size + 1 < cellHeight && heightAt(size + 1) <= cellHeight) {
            ++size;
        }
        font.setPixelSize(size);
    }
    found.emplace(cellHeight, font);
    return font;
}

std::jthread readFontConfigurationAhead() {
    try {
        return std::jthread([] {
            // Below the window's own thread and the display server, which share the processor
            // with it during the start; a failure to lower it changes nothing else.
            setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
            FcInit();
        });
    } catch (const std::system_error&) {
        return {};
    }
}

}  // namespace quorvik

// The message handler: held-back start-up messages, the sentence on a failed start, and the save
// when the X11 connection breaks. The toolkit's connection is the only one the program opens.
#include "DisplayMessages.h"

#include <QMutex>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "EscapedText.h"

namespace quorvik {

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

// The sentence for a start that failed, from the toolkit's messages of that start; nothing
// when none of them is about the display.
std::optional<QString> displayFailureText(const std::vector<HeldMessage>& messages) {
    // The X11 platform names the display it tried, empty when $DISPLAY is not set; the Wayland
    // platform says only that it found no compositor at $WAYLAND_DISPLAY.
    static const QRegularExpression x11(QStringLiteral("^could not connect to display ?(.*)$"));
    for (const HeldMessage& message : messages) {
        if (const QRegularExpressionMatch match = x11.match(message.text); match.hasMatch()) {
            const QString display = match.captured(1).trimmed();
            return display.isEmpty()
                       ? QStringLiteral("Keine Anzeige erreichbar: DISPLAY ist nicht gesetzt.")
                       : QStringLiteral("Die Anzeige „%1“ ist nicht erreichbar.")
                             .arg(escapedText(display));
        }
        if (message.text.startsWith(QLatin1String("Failed to create wl_display"))) {
            return QStringLiteral("Die Wayland-Anzeige „%1“ ist nicht erreichbar.")
                .arg(escapedText(qEnvironmentVariable("WAYLAND_DISPLAY", "wayland-0")));
        }
    }
    return std::nullopt;
}

QtMessageHandler previousHandler = nullptr;
// The toolkit may log from its own threads; what is held back is guarded.
QMutex heldMutex;
bool starting = false;
std::vector<HeldMessage> held;
std::function<void()> saveOnLoss;

void passOn(const std::vector<HeldMessage>& messages) {
    for (const HeldMessage& message : messages) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        previousHandler(message.type, context, message.text);
    }
}

void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    {
        const QMutexLocker lock(&heldMutex);
        if (starting && type != QtFatalMsg) {
            held.push_back({type, context.category, text});
            return;
        }
        if (starting) {
            // The toolkit would abort here; the player is told in a sentence instead.
            if (const std::optional<QString> sentence = displayFailureText(held)) {
                std::fprintf(stderr, "quorvik: %s\n", sentence->toLocal8Bit().constData());
                std::fflush(stderr);
                std::_Exit(noDisplayExitCode);
            }
            passOn(std::exchange(held, {}));
        }
    }
    // The toolkit's X11 platform ends the program right after this message; what the player has
    // is written first, synchronously, as on any other way out.
    if (type == QtWarningMsg && text.startsWith(QLatin1String("The X11 connection broke")) &&
        saveOnLoss) {
        std::exchange(saveOnLoss, {})();
    }
    previousHandler(type, context, text);
}

}  // namespace

void watchDisplayMessages() {
    starting = true;
    previousHandler = qInstallMessageHandler(handleMessage);
}

void displayStartupDone() {
    QMutexLocker lock(&heldMutex);
    starting = false;
    const std::vector<HeldMessage> release = std::exchange(held, {});
    lock.unlock();
    passOn(release);
}

void saveOnDisplayLoss(std::function<void()> save) {
    saveOnLoss = std::move(save);
}

}  // namespace quorvik

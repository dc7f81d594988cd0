// The display check: the platform and display chosen as the toolkit chooses them, and one
// connection to the X server opened and closed again.
#include "DisplayCheck.h"

#include <QByteArrayList>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstring>

#include "EscapedText.h"

namespace quorvik {

namespace {

// Whether every platform of a list such as "xcb" or "xcb:option;xcb" is X11. With another one
// in the list the toolkit goes on to it when X11 fails.
bool onlyX11(const QByteArray& platforms) {
    const QByteArrayList names = platforms.split(';');
    return std::all_of(names.begin(), names.end(), [](const QByteArray& entry) {
        return entry.split(':').first().trimmed().toLower() == "xcb";
    });
}

}  // namespace

std::optional<QString> unreachableDisplay(int argc, const char* const* argv) {
    QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    QByteArray display = qgetenv("DISPLAY");
    for (int i = 1; i + 1 < argc; ++i) {
        const char* argument = argv[i];
        if (std::strncmp(argument, "--", 2) == 0) {
            ++argument;  // the toolkit takes "--platform" and "--display" too
        }
        if (std::strcmp(argument, "-platform") == 0) {
            platform = argv[++i];
        } else if (std::strcmp(argument, "-display") == 0) {
            display = argv[++i];
        }
    }
    const bool waylandSession =
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
    if (platform.isEmpty() ? waylandSession : !onlyX11(platform)) {
        return std::nullopt;
    }
    xcb_connection_t* connection =
        xcb_connect(display.isEmpty() ? nullptr : display.constData(), nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (reached) {
        return std::nullopt;
    }
    if (display.isEmpty()) {
        return QStringLiteral("Keine Anzeige erreichbar: DISPLAY ist nicht gesetzt.");
    }
    return QStringLiteral("Die Anzeige „%1“ ist nicht erreichbar.")
        .arg(escapedText(QString::fromLocal8Bit(display)));
}

}  // namespace quorvik

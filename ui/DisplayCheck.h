// Whether the program's window can reach a display, found before the application object is
// built: the toolkit's X11 platform ends the program with an abort when it finds none, and the
// player is better served by a sentence and an exit code.
#pragma once

#include <QString>

#include <optional>

namespace quorvik {

// The exit code of a start without a display.
inline constexpr int noDisplayExitCode = 1;

// The German message for an X11 display that cannot be reached, or nothing when it can be or
// the window goes elsewhere. The arguments are main()'s. X11 is the platform that
// "-platform" or else $QT_QPA_PLATFORM names, or by default the one outside a Wayland session
// ($WAYLAND_DISPLAY unset, $XDG_SESSION_TYPE other than "wayland"); its display is the one
// "-display" names, else $DISPLAY. Other platforms ("offscreen", "wayland", ...) are not looked at.
std::optional<QString> unreachableDisplay(int argc, const char* const* argv);

}  // namespace quorvik

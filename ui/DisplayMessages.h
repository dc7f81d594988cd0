// The toolkit's own messages about the display, told to the player: a display that cannot be
// reached at start ends the program with a German sentence and exit code 1 instead of an abort,
// and a display lost while the game runs has everything saved before the toolkit ends it.
#pragma once

#include <functional>

namespace quorvik {

// The exit code of a start without a display.
inline constexpr int noDisplayExitCode = 1;

// Installs the message handler, before the application object is made. Until
// displayStartupDone() the toolkit's messages are held back: should the start fail for want of a
// display, the player reads one sentence in their place.
void watchDisplayMessages();
// The application object stands: the messages held back go out as the toolkit has them.
void displayStartupDone();
// `save` is called once when the connection to the display breaks while the program runs, just
// before the toolkit ends the program; an empty function calls nothing.
void saveOnDisplayLoss(std::function<void()> save);

}  // namespace quorvik

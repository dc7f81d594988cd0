// The playing time of one game: it runs from the game's first move, only while the window is in
// front (active and not minimised), and stops for good when the game ends (solved or solution
// shown). Time is read from a source the caller passes in, so tests drive it by hand.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quorvik {

// The longest playing time a game counts (about 31 years); a kept time beyond it is not read,
// and the clock stops counting there, so no sum of times can overflow.
inline constexpr std::int64_t maxPlayMilliseconds = 999'999'999'999;

// A game's clock as kept with the game: its time so far, whether it started (had a move) and
// whether it ended (solved, solution shown, or left for another game).
struct ClockState {
    std::int64_t elapsed = 0;
    bool started = false;
    bool ended = false;

    friend bool operator==(const ClockState&, const ClockState&) = default;
};

class GameClock {
public:
    // Milliseconds of a clock that never goes back; only differences are used.
    using TimeSource = std::function<std::int64_t()>;
    static std::int64_t steadyMilliseconds();

    explicit GameClock(TimeSource now = steadyMilliseconds);

    // A new game: no time yet, not started, not ended. The window's state is kept.
    void reset() { restore({}); }
    // A resumed game, or one brought back: its clock as it was kept.
    void restore(const ClockState& kept);
    ClockState state() const { return {elapsed(), started_, ended_}; }
    // The first move: the time runs from now on while the window is in front.
    void start();
    // The window came to the front (true) or went away or was minimised (false).
    void setActive(bool active);
    // The game ended: the time stays as it is from now on.
    void stop();

    std::int64_t elapsed() const;
    bool started() const { return started_; }
    bool ended() const { return ended_; }
    bool running() const { return started_ && active_ && !ended_; }

private:
    TimeSource now_;
    std::int64_t before_ = 0;    // time of the stretches that ended
    std::int64_t runSince_ = 0;  // start of the current stretch, while running()
    bool started_ = false;
    bool active_ = false;
    bool ended_ = false;
};

// "m:ss", or "h:mm:ss" from an hour on, for a time in milliseconds (whole seconds shown).
std::string formatPlayTime(std::int64_t milliseconds);

}  // namespace quorvik

// The playing time of one game, from stretches of time in front of the player.
#include "GameClock.h"

#include <algorithm>
#include <chrono>

namespace quorvik {

std::int64_t GameClock::steadyMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

GameClock::GameClock(TimeSource now) : now_(std::move(now)) {}

void GameClock::restore(const ClockState& kept) {
    before_ = std::clamp<std::int64_t>(kept.elapsed, 0, maxPlayMilliseconds);
    started_ = kept.started;
    ended_ = kept.ended;
    if (running()) {
        runSince_ = now_();
    }
}

void GameClock::start() {
    if (!started_) {
        started_ = true;
        runSince_ = now_();
    }
}

void GameClock::setActive(bool active) {
    if (active == active_) {
        return;
    }
    before_ = elapsed();  // the running stretch ends before running() can change
    active_ = active;
    if (running()) {
        runSince_ = now_();
    }
}

void GameClock::stop() {
    before_ = elapsed();
    ended_ = true;
}

std::int64_t GameClock::elapsed() const {
    return running() ? std::min(before_ + (now_() - runSince_), maxPlayMilliseconds) : before_;
}

std::string formatPlayTime(std::int64_t milliseconds) {
    const std::int64_t seconds = milliseconds < 0 ? 0 : milliseconds / 1000;
    const std::int64_t hours = seconds / 3600;
    const std::int64_t minutes = seconds / 60 % 60;
    // A colon and two digits.
    const auto twoDigits = [](std::int64_t n) { return (n < 10 ? ":0" : ":") + std::to_string(n); };
    return (hours > 0 ? std::to_string(hours) + twoDigits(minutes) : std::to_string(minutes)) +
           twoDigits(seconds % 60);
}

}  // namespace quorvik

// The production seed source.
#include "RuntimeRandom.h"

#include <chrono>

namespace quorvik {

std::uint32_t RuntimeRandom::clockSeed() {
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ticks));
}

}  // namespace quorvik

// The runtime's pseudo-random generator: a 32-bit linear congruential generator whose seed is
// taken from a replaceable source, so that a fixed seed reproduces a game draw for draw.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace quorvik {

class RuntimeRandom {
public:
    using SeedSource = std::function<std::uint32_t()>;

    // The production source: the low 32 bits of a high-resolution clock.
    static std::uint32_t clockSeed() {
        const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ticks));
    }

    explicit RuntimeRandom(SeedSource source = clockSeed) : source_(std::move(source)) {}

    // Takes a new seed from the seed source.
    void Randomize() { seed_ = source_ ? source_() : clockSeed(); }

    // Advances the seed and returns a value from 0 to k - 1 (0 when k is 0).
    std::uint32_t Random(std::uint32_t k) {
        seed_ = seed_ * 134775813u + 1u;
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(seed_) * k) >> 32);
    }

    std::uint32_t seed() const { return seed_; }
    void setSeed(std::uint32_t seed) { seed_ = seed; }

private:
    SeedSource source_;
    std::uint32_t seed_ = 0;
};

}  // namespace quorvik

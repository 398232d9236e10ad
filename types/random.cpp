#include "types/random.h"

#include <chrono>
#include <cstdint>
#include <random>

namespace {

// The one generator. std::mt19937's output is fixed by the C++ standard,
// and the range reduction below is done here rather than by a standard
// distribution (whose algorithm differs between libraries), so a seed gives
// the same numbers everywhere.
std::mt19937& engine() {
    static std::mt19937 generator([] {
        std::random_device device;
        const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
        std::seed_seq seeds{device(), static_cast<unsigned int>(now),
                            static_cast<unsigned int>(static_cast<std::uint64_t>(now) >> 32)};
        return std::mt19937(seeds);
    }());
    return generator;
}

} // namespace

int randomInt(int low, int high) {
    if (low > high) {
        const int swap = low;
        low = high;
        high = swap;
    }
    // Number of values in the range, 1 to 2^32.
    const std::uint64_t count =
        static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low) + 1;
    // Rejection sampling: draws at or above the largest multiple of count
    // below 2^32 would favour the low values, so they are drawn again.
    const std::uint64_t span = std::uint64_t(1) << 32;
    const std::uint64_t limit = span - span % count;
    std::uint64_t draw = engine()();
    while (draw >= limit) {
        draw = engine()();
    }
    return static_cast<int>(static_cast<std::int64_t>(low) +
                            static_cast<std::int64_t>(draw % count));
}

void setRandomSeed(unsigned int seed) { engine().seed(seed); }

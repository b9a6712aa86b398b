// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/random.h"

#include <chrono>
#include <cstdint>
#include <random>
#include <unistd.h>

namespace kor::platform {
namespace {

// Unseeded, the draws repeat from run to run, as Rnd does before Randomize.
std::mt19937_64& generator() {
    static std::mt19937_64 engine;
    return engine;
}

} // namespace

void seedRandomFromClock() {
    const auto nanoseconds = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    // The process id tells apart two runs started within the clock's resolution.
    std::seed_seq seed{static_cast<std::uint32_t>(nanoseconds),
                       static_cast<std::uint32_t>(nanoseconds >> 32),
                       static_cast<std::uint32_t>(::getpid())};
    generator().seed(seed);
}

double nextRandom() {
    // 53 random bits scaled exactly into [0, 1); a generic conversion may round
    // up to 1.
    return static_cast<double>(generator()() >> 11) * 0x1.0p-53;
}

} // namespace kor::platform

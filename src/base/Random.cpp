// The process-wide linear congruential generator.
#include "base/Random.h"

#include "platform/Tick.h"

namespace {
uint32_t seed = 0;
}

int32_t Random(int32_t n) {
    seed = seed * 134775813u + 1u;
    if (n <= 0)
        return 0;
    return static_cast<int32_t>((static_cast<uint64_t>(seed) * static_cast<uint32_t>(n)) >> 32);
}

void Randomize() {
    seed = plat::ClockSeed();
}
void SetRandSeed(uint32_t s) {
    seed = s;
}
uint32_t RandSeed() {
    return seed;
}

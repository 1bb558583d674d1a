// The process-wide random generator: Random(n) is a uniform integer in
// [0, n). A 32-bit linear congruential generator, so that a fixed seed gives
// the same draws on every platform.
#pragma once
#include <cstdint>

// 0 for n <= 0.
int32_t Random(int32_t n);
// Seeds from the clock.
void Randomize();
void SetRandSeed(uint32_t seed);
uint32_t RandSeed();

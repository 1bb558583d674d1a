// The 32-bit millisecond tick count (it wraps after about 49.7 days: compare
// ticks by the sign of their 32-bit difference) and a seed from the clock.
#pragma once
#include <cstdint>
#include <functional>

namespace plat {

uint32_t GetTickCount();
// A seed that differs from run to run.
uint32_t ClockSeed();
// Tests replace the tick source; an empty function restores the clock.
void SetTickSource(std::function<uint32_t()> source);

// True when tick A lies after tick B, across a wrap of the counter.
inline bool TickAfter(uint32_t a, uint32_t b) {
    return static_cast<int32_t>(a - b) > 0;
}

} // namespace plat

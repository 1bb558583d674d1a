// Tick count from the steady clock.
#include "platform/Tick.h"

#include <chrono>

namespace plat {

namespace {
std::function<uint32_t()>& Source() {
    static std::function<uint32_t()> source;
    return source;
}
} // namespace

uint32_t GetTickCount() {
    if (Source())
        return Source()();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<uint32_t>(ms.count());
}

uint32_t ClockSeed() {
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                  std::chrono::system_clock::now().time_since_epoch())
                  .count();
    return static_cast<uint32_t>(ns ^ (ns >> 32));
}

void SetTickSource(std::function<uint32_t()> source) {
    Source() = std::move(source);
}

} // namespace plat

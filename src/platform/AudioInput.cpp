// What every microphone input shares: the level of its pieces.
#include "platform/AudioInput.h"

#include <algorithm>
#include <cstdlib>

namespace plat {

float AudioInput::PeakOf(const int16_t* samples, std::size_t count) {
    int peak = 0;
    for (std::size_t i = 0; i < count; ++i)
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    return static_cast<float>(std::min(peak, 32767)) / 32767.f;
}

void AudioInput::Deliver(const Handlers& handlers, const int16_t* samples, std::size_t count) {
    if (handlers.Samples)
        handlers.Samples(samples, count);
    if (!handlers.Level)
        return;
    constexpr std::size_t kPiece = std::size_t{kSampleRate} * kLevelMs / 1000;
    for (std::size_t at = 0; at < count; at += kPiece)
        handlers.Level(PeakOf(samples + at, std::min(kPiece, count - at)));
}

} // namespace plat

// Integrated loudness measured by libebur128.
#include "platform/media/Ebur128LoudnessMeter.h"

#include <ebur128.h>

#include <cmath>

namespace plat {

std::optional<double> Ebur128LoudnessMeter::Integrated(const int16_t* samples, std::size_t count,
                                                       uint32_t sampleRate) {
    if (count == 0 || sampleRate < 8000)
        return std::nullopt;
    ebur128_state* state = ebur128_init(1, sampleRate, EBUR128_MODE_I);
    if (!state)
        return std::nullopt;
    std::optional<double> result;
    double lufs = 0;
    if (ebur128_add_frames_short(state, samples, count) == EBUR128_SUCCESS &&
        ebur128_loudness_global(state, &lufs) == EBUR128_SUCCESS && std::isfinite(lufs))
        result = lufs;
    ebur128_destroy(&state);
    return result;
}

} // namespace plat

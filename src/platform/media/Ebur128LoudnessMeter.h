// The loudness meter of libebur128 (Debian's libebur128-dev).
#pragma once
#include "platform/LoudnessMeter.h"

namespace plat {

class Ebur128LoudnessMeter : public LoudnessMeter {
public:
    std::optional<double> Integrated(const int16_t* samples, std::size_t count,
                                     uint32_t sampleRate) override;
};

} // namespace plat

// A loudness meter after EBU R128 (ITU-R BS.1770): the integrated loudness
// of a sound, K-weighted and gated, in LUFS.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace plat {

class LoudnessMeter {
public:
    virtual ~LoudnessMeter() = default;
    // The integrated loudness of Count signed 16-bit mono samples at
    // SampleRate frames per second; nullopt for a sound too quiet or too
    // short to measure (every block gated away), or when the meter fails.
    virtual std::optional<double> Integrated(const int16_t* samples, std::size_t count,
                                             uint32_t sampleRate) = 0;
};

// The meter of this build (libebur128 when the build found it); nullptr when
// the build has none.
std::unique_ptr<LoudnessMeter> CreateLoudnessMeter();

} // namespace plat

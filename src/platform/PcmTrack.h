// A long sound read piece by piece: its length and rate known up front, any
// stretch of it decoded when asked, so that only what is being played is
// held as samples.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {

class PcmTrack {
public:
    virtual ~PcmTrack() = default;
    // Frames per second, and the whole track's length in samples (16-bit mono).
    virtual uint32_t SampleRate() const = 0;
    virtual std::size_t Length() const = 0;
    // Out := samples [From, From + Count), cut at the track's end. False, Out
    // empty, when that stretch cannot be decoded. Used from one thread at a
    // time.
    virtual bool Read(std::size_t from, std::size_t count, std::vector<int16_t>& out) = 0;
};

} // namespace plat

// The voice recordings' sound files: Ogg Opus, mono, 48 kHz inside (any
// rate given is resampled by the encoder), speech-tuned. A file is written
// to a stream (a FileStream made with CreateAtomic, so that a file is whole
// or absent) and read from its bytes in memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Stream.h"

namespace plat {

class OpusCodec {
public:
    // The rate every decoded sound comes out at.
    static constexpr uint32_t kSampleRate = 48000;

    virtual ~OpusCodec() = default;
    // Encodes Count signed 16-bit mono samples at SampleRate into Out as a
    // whole Ogg Opus file. False, with the reason in Why, when the encoder
    // refuses or a write fails.
    virtual bool Encode(const int16_t* samples, std::size_t count, uint32_t sampleRate, Stream& out,
                        std::string& why) = 0;
    // Decodes the Ogg Opus file Bytes into Samples (mono, kSampleRate; a
    // stereo file mixed down), replacing what it held. False, with Samples
    // empty and the reason in Why, when Bytes are no such file or are
    // damaged.
    virtual bool Decode(std::string_view bytes, std::vector<int16_t>& samples,
                        std::string& why) = 0;
};

// The codec of this build (libopusenc and libopusfile when the build found
// them); nullptr when the build has none.
std::unique_ptr<OpusCodec> CreateOpusCodec();

} // namespace plat

// The voice recordings' codec: libopusenc writes, libopusfile reads
// (Debian's libopusenc-dev and libopusfile-dev).
#pragma once
#include "platform/OpusCodec.h"

namespace plat {

class LibOpusCodec : public OpusCodec {
public:
    // Speech at this many bits a second: clear for a voice, about 4 kB a
    // second of file.
    static constexpr int kBitRate = 32000;

    bool Encode(const int16_t* samples, std::size_t count, uint32_t sampleRate, Stream& out,
                std::string& why) override;
    bool Decode(std::string_view bytes, std::vector<int16_t>& samples, std::string& why) override;
};

} // namespace plat

// An MP3 encoder: turns 16-bit mono PCM held in memory into the bytes of an
// MP3 file, constant bit rate, whose decoded sound starts with the first
// sample given and lasts as long as the samples (the encoder's delay and
// padding are told in the file's own header, which gapless players honour).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

class Mp3Encoder {
public:
    virtual ~Mp3Encoder() = default;
    // Encodes Samples (SampleRate frames per second) into Mp3, replacing what
    // it held. False, with the reason in Why, when the encoder refuses the
    // rate or fails.
    virtual bool Encode(const std::vector<int16_t>& samples, uint32_t sampleRate, std::string& mp3,
                        std::string& why) = 0;
};

// The encoder of this build (LAME when the build found it); nullptr when the
// build has none.
std::unique_ptr<Mp3Encoder> CreateMp3Encoder();

} // namespace plat

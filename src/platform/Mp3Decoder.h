// An MP3 decoder: turns the bytes of a whole MP3 file into 16-bit mono PCM
// (several channels mixed down), the encoder's delay and padding taken off
// where the file's own header tells them, so that the sound lasts as long as
// what was encoded.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

class Mp3Decoder {
public:
    virtual ~Mp3Decoder() = default;
    // Samples := the sound of Mp3, SampleRate its frames per second. False,
    // with the reason in Why, when Mp3 holds no sound that can be decoded or
    // more than Limit samples (none are then kept).
    virtual bool Decode(std::string_view mp3, std::vector<int16_t>& samples, uint32_t& sampleRate,
                        std::string& why, std::size_t limit) = 0;
};

// The decoder of this build (libmpg123 when the build found it); nullptr when
// the build has none.
std::unique_ptr<Mp3Decoder> CreateMp3Decoder();

} // namespace plat

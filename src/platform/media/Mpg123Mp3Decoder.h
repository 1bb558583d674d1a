// The MP3 decoder on libmpg123: the whole file fed at once, decoded to
// signed 16-bit mono with gapless trimming.
#pragma once
#include "platform/Mp3Decoder.h"

namespace plat {

class Mpg123Mp3Decoder : public Mp3Decoder {
public:
    bool Decode(std::string_view mp3, std::vector<int16_t>& samples, uint32_t& sampleRate,
                std::string& why, std::size_t limit) override;
};

} // namespace plat

// The MP3 decoder on libmpg123: opens a file as an Mpg123Track.
#pragma once
#include "platform/Mp3Decoder.h"

namespace plat {

class Mpg123Mp3Decoder : public Mp3Decoder {
public:
    std::unique_ptr<PcmTrack> Open(std::string mp3, std::string& why, std::size_t limit) override;
};

} // namespace plat

// Decoding MP3 with libmpg123.
#include "platform/media/Mpg123Mp3Decoder.h"

#include "platform/media/Mpg123Track.h"

namespace plat {

std::unique_ptr<PcmTrack> Mpg123Mp3Decoder::Open(std::string mp3, std::string& why,
                                                 std::size_t limit) {
    return Mpg123Track::Open(std::move(mp3), why, limit);
}

} // namespace plat

// An MP3 decoder: opens the bytes of a whole MP3 file as a track of 16-bit
// mono PCM (several channels mixed down), the encoder's delay and padding
// taken off where the file's own header tells them, so that the sound lasts
// as long as what was encoded. The track keeps the compressed bytes and
// decodes a stretch only when it is read.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

#include "platform/PcmTrack.h"

namespace plat {

class Mp3Decoder {
public:
    virtual ~Mp3Decoder() = default;
    // The track of Mp3; nullptr, with the reason in Why, when Mp3 holds no
    // sound that can be decoded or more than Limit samples.
    virtual std::unique_ptr<PcmTrack> Open(std::string mp3, std::string& why,
                                           std::size_t limit) = 0;
};

// The decoder of this build (libmpg123 when the build found it); nullptr when
// the build has none.
std::unique_ptr<Mp3Decoder> CreateMp3Decoder();

} // namespace plat

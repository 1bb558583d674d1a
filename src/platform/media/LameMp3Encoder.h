// The MP3 encoder on LAME (libmp3lame): mono, constant bit rate, with the
// LAME header that tells players the encoder's delay and padding.
#pragma once
#include "platform/Mp3Encoder.h"

namespace plat {

class LameMp3Encoder : public Mp3Encoder {
public:
    // The bit rate, kilobits per second: speech at the voice's 16 kHz.
    static constexpr int kKbps = 40;

    bool Encode(const std::vector<int16_t>& samples, uint32_t sampleRate, std::string& mp3,
                std::string& why) override;
};

} // namespace plat

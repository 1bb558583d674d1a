// The MP3 encoder on LAME (libmp3lame): mono, constant bit rate, with the
// LAME header that tells players the encoder's delay and padding.
#pragma once
#include <memory>

#include "platform/Mp3Encoder.h"

namespace plat {

class LameMp3Encoder : public Mp3Encoder {
public:
    // The bit rate, kilobits per second: speech at the voice's 16 kHz.
    static constexpr int kKbps = 40;

    LameMp3Encoder();
    ~LameMp3Encoder() override;
    bool Begin(uint32_t sampleRate, std::string& why) override;
    bool Add(const int16_t* samples, std::size_t count, std::string& mp3,
             std::string& why) override;
    bool End(std::string& mp3, std::string& head, std::string& why) override;

private:
    struct Lame;
    std::unique_ptr<Lame> lame_; // while a file is begun
};

} // namespace plat

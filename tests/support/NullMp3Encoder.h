// An MP3 encoder for tests: no sound, only a count. Each Add appends one
// byte per kSamplesPerByte samples given (rounded down, the rest carried),
// End appends "END" and gives a head of "HEAD" when at least that much was
// made; the file is thus as long as the sound asks, without the encoder's
// time. Counts the samples given since Begin.
#pragma once
#include "platform/Mp3Encoder.h"

namespace fbwtest {

class NullMp3Encoder : public plat::Mp3Encoder {
public:
    static constexpr std::size_t kSamplesPerByte = 400;

    bool Begin(uint32_t sampleRate, std::string& why) override;
    bool Add(const int16_t* samples, std::size_t count, std::string& mp3,
             std::string& why) override;
    bool End(std::string& mp3, std::string& head, std::string& why) override;

    uint64_t Samples = 0; // given since Begin

private:
    bool begun_ = false;
    uint64_t made_ = 0;
};

} // namespace fbwtest

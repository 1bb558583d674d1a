// The counting encoder.
#include "support/NullMp3Encoder.h"

namespace fbwtest {

bool NullMp3Encoder::Begin(uint32_t sampleRate, std::string& why) {
    begun_ = sampleRate > 0;
    Samples = made_ = 0;
    if (!begun_)
        why = "no sample rate";
    return begun_;
}

bool NullMp3Encoder::Add(const int16_t*, std::size_t count, std::string& mp3, std::string& why) {
    if (!begun_) {
        why = "not begun";
        return false;
    }
    const uint64_t before = Samples / kSamplesPerByte;
    Samples += count;
    const uint64_t bytes = Samples / kSamplesPerByte - before;
    mp3.append(bytes, 'm');
    made_ += bytes;
    return true;
}

bool NullMp3Encoder::End(std::string& mp3, std::string& head, std::string& why) {
    if (!begun_) {
        why = "not begun";
        return false;
    }
    begun_ = false;
    mp3 += "END";
    made_ += 3;
    head = made_ >= 4 ? "HEAD" : "";
    return true;
}

} // namespace fbwtest

// A whole sound encoded through the encoder's pieces.
#include "platform/Mp3Encoder.h"

namespace plat {

bool Mp3Encoder::Encode(const std::vector<int16_t>& samples, uint32_t sampleRate, std::string& mp3,
                        std::string& why) {
    mp3.clear();
    std::string head;
    if (!Begin(sampleRate, why) || !Add(samples.data(), samples.size(), mp3, why) ||
        !End(mp3, head, why)) {
        mp3.clear();
        return false;
    }
    if (head.size() > mp3.size()) {
        why = "the MP3 encoder made a header longer than its file";
        mp3.clear();
        return false;
    }
    mp3.replace(0, head.size(), head);
    return true;
}

} // namespace plat

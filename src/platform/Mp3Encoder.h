// An MP3 encoder: turns 16-bit mono PCM into the bytes of an MP3 file,
// constant bit rate, whose decoded sound starts with the first sample given
// and lasts as long as the samples (the encoder's delay and padding are told
// in the file's own header, which gapless players honour).
//
// The sound may come in pieces (Begin, Add as often as needed, End), so that
// a long sound is never held whole: the bytes come out as they are made, and
// the header, known only at the end, then replaces the file's first bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

class Mp3Encoder {
public:
    virtual ~Mp3Encoder() = default;
    // Starts a new file of SampleRate frames per second, forgetting any file
    // not ended. False, with the reason in Why, when the encoder refuses the
    // rate or cannot start.
    virtual bool Begin(uint32_t sampleRate, std::string& why) = 0;
    // Encodes Count samples after those given since Begin, appending the
    // bytes made (perhaps none yet) to Mp3. False, with the reason in Why,
    // when the encoder fails or was not begun.
    virtual bool Add(const int16_t* samples, std::size_t count, std::string& mp3,
                     std::string& why) = 0;
    // Ends the file: appends its last bytes to Mp3 and puts in Head the bytes
    // that replace the file's first Head.size() bytes (everything appended
    // since Begin counts), or nothing when none are to be replaced. False,
    // with the reason in Why, when the encoder fails or was not begun.
    virtual bool End(std::string& mp3, std::string& head, std::string& why) = 0;

    // The whole file of Samples into Mp3, replacing what it held (Begin, Add
    // and End, the head put in place). False, with Mp3 empty and the reason
    // in Why, on any failure.
    bool Encode(const std::vector<int16_t>& samples, uint32_t sampleRate, std::string& mp3,
                std::string& why);
};

// The encoder of this build (LAME when the build found it); nullptr when the
// build has none.
std::unique_ptr<Mp3Encoder> CreateMp3Encoder();

} // namespace plat

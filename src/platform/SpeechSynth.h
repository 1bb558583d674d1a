// A speech synthesizer: turns one sentence of single-byte text into 16-bit
// mono PCM in memory, with the time at which each spoken word begins and
// ends. Implementations keep no state between calls that a caller could see;
// a synthesizer is used from one thread at a time (the reader hands it to a
// worker thread, one sentence after another).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// One word as the voice says it: seconds from the first sample of the
// sentence, and the token of the text it is said for, counting only the
// tokens (runs of characters between spaces) that are said at all: a number,
// an abbreviation or a possessive is one token said as several words. -1 when
// the engine does not tell.
struct SpeechWord {
    float Start = 0;
    float End = 0;
    int Token = -1;
};

// The sound of one sentence: signed 16-bit mono samples at SampleRate frames
// per second, and its words in the order spoken (empty when the engine does
// not tell them).
struct SpeechPcm {
    std::vector<int16_t> Samples;
    uint32_t SampleRate = 0;
    std::vector<SpeechWord> Words;
};

class SpeechSynth {
public:
    // How much longer than the engine's own pace each sound lasts when the
    // caller does not ask for another pace: a calm pace a little slower than
    // normal speech.
    static constexpr float kNormalStretch = 1.15f;

    virtual ~SpeechSynth() = default;
    // Speaks Text (Latin-1, one sentence as it stands on the page) into Out,
    // replacing what Out held, each sound Stretch times as long as the
    // engine's own pace (clamped to 0.5 .. 3). False, with Out empty, when the
    // engine fails or produces no sound.
    virtual bool Synthesize(const std::string& text, float stretch, SpeechPcm& out) = 0;
    bool Synthesize(const std::string& text, SpeechPcm& out) {
        return Synthesize(text, kNormalStretch, out);
    }
};

// The synthesizer of this build (flite with the "slt" voice when the build
// found it); nullptr when the build has none or its voice cannot be loaded.
std::unique_ptr<SpeechSynth> CreateSystemSpeechSynth();

} // namespace plat

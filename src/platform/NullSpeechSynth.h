// A speech synthesizer for tests: instead of speech, a quiet tone whose
// length follows the text (kMillisecondsPerChar per character) and whose
// first samples spell it (its length, then each character's code), so that
// tests can tell which sentence plays (TextOf). Records every text it was
// given and can be told to fail.
#pragma once
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "platform/SpeechSynth.h"

namespace plat {

class NullSpeechSynth : public SpeechSynth {
public:
    static constexpr uint32_t kSampleRate = 16000;
    static constexpr uint32_t kMillisecondsPerChar = 10;

    bool Synthesize(const std::string& text, SpeechPcm& out) override;

    // The texts synthesized so far, oldest first (safe from any thread).
    std::vector<std::string> Texts() const;
    std::atomic<bool> Fail{false}; // every call fails while set
    // Samples Synthesize makes for Text.
    static std::size_t SamplesFor(const std::string& text);
    // The text spelled by samples this synthesizer made (Count of them);
    // empty when they spell none.
    static std::string TextOf(const int16_t* samples, std::size_t count);

private:
    mutable std::mutex mutex_;
    std::vector<std::string> texts_;
};

} // namespace plat

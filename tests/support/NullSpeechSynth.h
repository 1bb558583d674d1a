// A speech synthesizer for tests: instead of speech, a quiet tone whose
// length follows the text (kMillisecondsPerChar per character at the normal
// pace, longer or shorter in proportion to the stretch asked for) and whose
// first samples spell it (its length, then each character's code), so that
// tests can tell which sentence plays (TextOf). Each run of characters
// between spaces is one word (its own token), from its first character's time
// to the time of the character after its last. Records every text and stretch it was given
// and can be told to fail or to say extra words.
#pragma once
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "platform/SpeechSynth.h"

namespace fbwtest {

class NullSpeechSynth : public plat::SpeechSynth {
public:
    static constexpr uint32_t kSampleRate = 16000;
    static constexpr uint32_t kMillisecondsPerChar = 10;

    using plat::SpeechSynth::Synthesize;
    bool Synthesize(const std::string& text, float stretch, plat::SpeechPcm& out) override;

    // The texts synthesized so far, oldest first, and the stretch each was
    // asked for (safe from any thread).
    std::vector<std::string> Texts() const;
    std::vector<float> Stretches() const;
    std::atomic<bool> Fail{false};  // every call fails while set
    std::atomic<int> FailAfter{-1}; // when not negative, every call after that many fails
    std::atomic<int> ExtraWords{0}; // tokens said after the text's own, at its end
    // Samples Synthesize makes for Text at Stretch.
    static std::size_t SamplesFor(const std::string& text, float stretch = kNormalStretch);
    // Milliseconds from the first sample to character Index at Stretch.
    static uint32_t MsAt(std::size_t index, float stretch = kNormalStretch);
    // The text spelled by samples this synthesizer made (Count of them);
    // empty when they spell none.
    static std::string TextOf(const int16_t* samples, std::size_t count);

private:
    mutable std::mutex mutex_;
    std::vector<std::string> texts_;
    std::vector<float> stretches_;
};

} // namespace fbwtest

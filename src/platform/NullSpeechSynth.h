// A speech synthesizer for tests: instead of speech, a quiet tone whose
// length follows the text (kMillisecondsPerChar per character), so that tests
// can tell sentences apart by their sample counts. Records every text it was
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

private:
    mutable std::mutex mutex_;
    std::vector<std::string> texts_;
};

} // namespace plat

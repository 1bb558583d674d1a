// The test synthesizer.
#include "platform/NullSpeechSynth.h"

namespace plat {

std::size_t NullSpeechSynth::SamplesFor(const std::string& text) {
    return text.size() * kSampleRate * kMillisecondsPerChar / 1000;
}

bool NullSpeechSynth::Synthesize(const std::string& text, SpeechPcm& out) {
    out.Samples.clear();
    out.SampleRate = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        texts_.push_back(text);
    }
    if (Fail || text.empty())
        return false;
    out.Samples.resize(SamplesFor(text));
    // A square wave at a tenth of full scale, 250 Hz.
    for (std::size_t i = 0; i < out.Samples.size(); ++i)
        out.Samples[i] = (i / 32) % 2 ? 3276 : -3276;
    out.SampleRate = kSampleRate;
    return true;
}

std::vector<std::string> NullSpeechSynth::Texts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
}

} // namespace plat

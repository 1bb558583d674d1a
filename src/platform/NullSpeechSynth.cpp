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
    out.Samples[0] = static_cast<int16_t>(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        out.Samples[1 + i] = static_cast<unsigned char>(text[i]);
    out.SampleRate = kSampleRate;
    return true;
}

std::string NullSpeechSynth::TextOf(const int16_t* samples, std::size_t count) {
    if (count == 0 || samples[0] < 0 || static_cast<std::size_t>(samples[0]) >= count)
        return "";
    std::string out;
    for (int i = 1; i <= samples[0]; ++i)
        out += static_cast<char>(samples[i]);
    return out;
}

std::vector<std::string> NullSpeechSynth::Texts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
}

} // namespace plat

// The test synthesizer.
#include "support/NullSpeechSynth.h"

namespace fbwtest {

uint32_t NullSpeechSynth::MsAt(std::size_t index, float stretch) {
    return static_cast<uint32_t>(double(index) * kMillisecondsPerChar * stretch / kNormalStretch +
                                 0.5);
}

std::size_t NullSpeechSynth::SamplesFor(const std::string& text, float stretch) {
    return std::size_t{MsAt(text.size(), stretch)} * kSampleRate / 1000;
}

bool NullSpeechSynth::Synthesize(const std::string& text, float stretch, plat::SpeechPcm& out) {
    out = plat::SpeechPcm{};
    std::size_t calls = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        texts_.push_back(text);
        stretches_.push_back(stretch);
        calls = texts_.size();
    }
    const int failAfter = FailAfter;
    if (Fail || (failAfter >= 0 && calls > static_cast<std::size_t>(failAfter)) || text.empty() ||
        SamplesFor(text, stretch) <= text.size())
        return false;
    out.Samples.resize(SamplesFor(text, stretch));
    // A square wave at a tenth of full scale, 250 Hz.
    for (std::size_t i = 0; i < out.Samples.size(); ++i)
        out.Samples[i] = (i / 32) % 2 ? 3276 : -3276;
    out.Samples[0] = static_cast<int16_t>(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        out.Samples[1 + i] = static_cast<unsigned char>(text[i]);
    out.SampleRate = kSampleRate;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        std::size_t e = text.find(' ', i);
        if (e == std::string::npos)
            e = text.size();
        out.Words.push_back(plat::SpeechWord{MsAt(i, stretch) / 1000.0f, MsAt(e, stretch) / 1000.0f,
                                             static_cast<int>(out.Words.size())});
        i = e;
    }
    const float end = MsAt(text.size(), stretch) / 1000.0f;
    for (int i = 0; i < ExtraWords; ++i)
        out.Words.push_back(plat::SpeechWord{end, end, static_cast<int>(out.Words.size())});
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

std::vector<float> NullSpeechSynth::Stretches() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return stretches_;
}

} // namespace fbwtest

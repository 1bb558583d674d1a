// The flite speech synthesizer with its US English voice "slt", set to a calm
// pace a little slower than normal speech. Offline, in process, no daemon.
// Any number of synthesizers may exist and be used from different threads:
// they share flite's one voice and speak one after another.
#pragma once
#include <memory>

#include "platform/SpeechSynth.h"

namespace plat {

class FliteSpeechSynth : public SpeechSynth {
public:
    // How much longer than flite's normal pace each sound lasts.
    static constexpr float kDurationStretch = 1.15f;

    // The voice, or nullptr when it cannot be loaded.
    static std::unique_ptr<FliteSpeechSynth> Create();
    ~FliteSpeechSynth() override;

    bool Synthesize(const std::string& text, SpeechPcm& out) override;

    // Text as flite reads it: Latin-1 letters with accents become their plain
    // letters, other bytes above 126 and control bytes become spaces.
    static std::string ToAscii(const std::string& text);

private:
    struct Voice;
    explicit FliteSpeechSynth(std::unique_ptr<Voice> voice);
    std::unique_ptr<Voice> voice_;
};

} // namespace plat

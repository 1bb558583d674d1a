// The flite speech synthesizer with its US English voice "slt", at the pace
// each call asks for. Offline, in process, no daemon. The words' times come
// from the utterance flite builds: each item of its "Word" relation, from the
// start of its first segment to the end of its last.
// Any number of synthesizers may exist and be used from different threads:
// they share flite's one voice and speak one after another.
#pragma once
#include <memory>

#include "platform/SpeechSynth.h"

namespace plat {

class FliteSpeechSynth : public SpeechSynth {
public:
    // Milliseconds of the pause after the last word that a sentence keeps.
    static constexpr int kTrailMs = 30;

    // The voice, or nullptr when it cannot be loaded.
    static std::unique_ptr<FliteSpeechSynth> Create();
    ~FliteSpeechSynth() override;

    using SpeechSynth::Synthesize;
    bool Synthesize(const std::string& text, float stretch, SpeechPcm& out) override;

    // Text as flite reads it: Latin-1 letters with accents become their plain
    // letters, other bytes above 126 and control bytes become spaces.
    static std::string ToAscii(const std::string& text);

private:
    struct Voice;
    explicit FliteSpeechSynth(std::unique_ptr<Voice> voice);
    std::unique_ptr<Voice> voice_;
};

} // namespace plat

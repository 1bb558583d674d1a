// A speech synthesizer: turns one sentence of single-byte text into 16-bit
// mono PCM in memory. Implementations keep no state between calls that a
// caller could see; a synthesizer is used from one thread at a time (the
// reader hands it to a worker thread, one sentence after another).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// The sound of one sentence: signed 16-bit mono samples at SampleRate frames
// per second.
struct SpeechPcm {
    std::vector<int16_t> Samples;
    uint32_t SampleRate = 0;
};

class SpeechSynth {
public:
    virtual ~SpeechSynth() = default;
    // Speaks Text (Latin-1, one sentence as it stands on the page) into Out,
    // replacing what Out held. False, with Out empty, when the engine fails
    // or produces no sound.
    virtual bool Synthesize(const std::string& text, SpeechPcm& out) = 0;
};

// The synthesizer of this build (flite with the "slt" voice when the build
// found it); nullptr when the build has none or its voice cannot be loaded.
std::unique_ptr<SpeechSynth> CreateSystemSpeechSynth();

} // namespace plat

// Recording one sentence of a story in a grown-up's voice, as the record
// mode's Record and Stop do: the microphone's sound is taken while it
// records (its level kept for the meter), and at Stop the take is made ready
// (TTakeCleanup), its words are found by the game's voice saying the same
// sentence (TStoryAligner), and it is kept as the sentence's recording
// (TVoiceStore), in place of any take before it ("Again" is one more take).
//
// Everything runs on the thread that uses the microphone; the alignment
// costs about what the game's voice takes to say the sentence.
#pragma once
#include <string>
#include <vector>

#include "platform/AudioInput.h"
#include "platform/LoudnessMeter.h"
#include "platform/SpeechSynth.h"
#include "voice/VoiceStore.h"

class TSentenceRecorder {
public:
    // Everything given outlives the recorder; Meter may be nullptr (takes
    // keep their level).
    TSentenceRecorder(plat::AudioInput& microphone, plat::SpeechSynth& voice,
                      plat::LoudnessMeter* meter, TVoiceStore& store);
    ~TSentenceRecorder();
    TSentenceRecorder(const TSentenceRecorder&) = delete;
    TSentenceRecorder& operator=(const TSentenceRecorder&) = delete;

    // Starts a take, forgetting one not kept. False, with the reason in Why,
    // when the microphone cannot record.
    bool Record(std::string* why = nullptr);
    // Ends the take and keeps it as the recording of Sentence (its text as
    // the book shows it). False, with the reason in Why and the sentence's
    // recording as it was, when the take holds no speech or cannot be kept.
    bool Stop(const std::string& sentence, std::string* why = nullptr);
    // Ends the take without keeping it.
    void Cancel();

    bool Recording() const { return microphone_.Recording(); }
    // The loudest of the last piece of sound, 0 .. 1 (0 when not recording).
    float Level() const { return level_; }
    // The microphone ended the take by itself (the device went away): why.
    const std::string& Ended() const { return ended_; }
    // The take Stop kept last, as the store was given it (mono, at the
    // microphone's rate); empty before.
    const std::vector<int16_t>& Kept() const { return kept_; }

private:
    plat::AudioInput& microphone_;
    plat::SpeechSynth& voice_;
    plat::LoudnessMeter* meter_;
    TVoiceStore& store_;
    std::vector<int16_t> take_;
    std::vector<int16_t> kept_;
    float level_ = 0;
    std::string ended_;
};

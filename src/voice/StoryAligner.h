// Word times of a story read aloud by a grown-up: every sentence of the
// story (as the book finds them, TStorySentences, title included) said by the
// game's voice one after another with a pause between, warped onto the
// recording (TVoiceAligner), and the times of the words the voice said
// carried over to the story's words as they stand on the page: each run of
// characters between spaces (and markers), signs and all. A run the voice
// does not say (a dash alone) gets no length, at the end of the run before.
//
// The recording may be one sentence or the whole story; it is read in as it
// comes, so that only its features are held. Say and AddRecording share
// nothing: the recording may be read in on another thread while the voice
// says the story (both done before Align).
//
// Say keeps the voice one sentence ahead: it says the next sentence on a
// thread of its own (one call at a time, as a synthesizer allows) while the
// features of the one before are found.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/SpeechSynth.h"
#include "voice/VoiceAligner.h"

class TStoryAligner {
public:
    // A run of characters [Begin, End) of the story text and where the
    // recording says it: seconds [Start, Stop) from its first sample.
    struct Word {
        int32_t Begin = 0;
        int32_t End = 0;
        double Start = 0;
        double Stop = 0;
    };

    // Says every sentence of Text (a story text, markers unresolved) with
    // Synth at its normal pace into the reference. Raises std::runtime_error
    // when the voice cannot say one that has words.
    void Say(plat::SpeechSynth& synth, const std::string& text);
    // Appends Count samples at SampleRate to the recording (any one thread).
    void AddRecording(const int16_t* samples, std::size_t count, uint32_t sampleRate) {
        aligner_.AddRecording(samples, count, sampleRate);
    }
    // Every run of the text, in order, with its time in the recording.
    std::vector<Word> Align();

    const TVoiceAligner& Aligner() const { return aligner_; }

private:
    struct Run {
        int32_t Begin = 0, End = 0;
        int FirstSaid = 0, SaidCount = 0; // the aligner's words said for it
    };
    TVoiceAligner aligner_;
    std::vector<Run> runs_;
};

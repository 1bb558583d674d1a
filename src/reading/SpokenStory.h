// The whole story spoken for a talking book: every sentence of the story
// text said by the voice at one pace, one after another in a single sound
// track with a pause of silence between sentences, and where each word and
// sentence lies in that track.
//
// A word's clip runs from the time the voice begins it until it begins the
// next word of the sentence (the last word: until the voice ends it), so the
// clips of a sentence follow each other without a gap and the silence
// between sentences lies in no clip. A sentence whose said words cannot be
// mapped onto its words on the page (TWordTimes) has no word clips; its own
// clip (its whole sound) stands for it. A sentence without words (nothing in
// it is a letter or a digit) is left out of the track.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/SpeechSynth.h"
#include "reading/StorySentences.h"

class TSpokenStory {
public:
    // Silence before the first sentence and between two sentences.
    static constexpr int kLeadMs = 250;
    static constexpr int kGapMs = 400;

    // Milliseconds [Begin, End) of the track.
    struct Clip {
        int64_t Begin = 0;
        int64_t End = 0;
        friend bool operator==(const Clip&, const Clip&) = default;
    };
    struct Sentence {
        int32_t Begin = 0, End = 0;       // characters of the story text
        std::vector<TSentenceWord> Words; // Parts empty
        Clip Sound;                       // the sentence's sound in the track
        std::vector<Clip> WordClips;      // one per word, or none
    };

    // Speaks every sentence of Text (a story text) with Synth, each sound
    // Stretch times the engine's pace. Progress, when given, is told after
    // each sentence how many of how many are done. Raises std::runtime_error
    // when the voice cannot say a sentence that has words (the message quotes
    // it: "the voice could not read the sentence \"...\""), when no sentence
    // has words, or when the voice changes its sample rate.
    void Speak(plat::SpeechSynth& synth, const std::string& text, float stretch,
               const std::function<void(int done, int total)>& progress = {});

    std::vector<int16_t> Samples; // signed 16-bit mono
    uint32_t SampleRate = 0;
    std::vector<Sentence> Sentences; // those in the track, in order

    // The track's length in milliseconds (its samples, rounded down).
    int64_t DurationMs() const;
    // How many of the story's words have a clip of their own, and how many
    // words the story has.
    int ClippedWords() const;
    int TotalWords() const { return totalWords_; }

private:
    int totalWords_ = 0;
};

// The whole story spoken for a talking book: every sentence of the story
// text said by the voice at one pace, one after another in a single sound
// track with a pause of silence between sentences, and where each word and
// sentence lies in that track.
//
// The track is cut into the sentences' spans, which tile it: a sentence's
// span runs from where its sound starts in the track (the first: from the
// track's start) to where the next one's starts (the last: to the track's
// end), so the pause after a sentence is its own and the voice's lead-in
// before its first word too. Its word clips tile its span: a word's clip runs
// from the time the voice begins it until it begins the next word of the
// sentence, the first from the span's start, the last to the span's end.
// A sentence whose said words cannot be mapped onto its words on the page
// (TWordTimes) has no word clips; its span stands for it. A sentence without
// words is left out of the track.
//
// A sentence's words are those the reader lights (TStorySentences::FindWords)
// and the signs standing alone that the voice is given as words ("&" as
// "and", "%" as "per cent", "+", "=" and "@"): the page keeps the sign, the
// voice says the word, and the sign has its clip. A digit is a word's letter
// already ("3", "50%", "1,000").
//
// The track can be kept (Speak) or handed on as it is made (Plan, then
// Say with a sink), so that a long story's sound is never held whole.
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
        Clip Sound;                       // the voice's sound in the track
        Clip Span;                        // its share of the track
        std::vector<Clip> WordClips;      // one per word, or none
    };
    // Where the track's samples go as they are made, in order.
    using Sink = std::function<void(const int16_t* samples, std::size_t count)>;
    // Told after each sentence said how many of how many are done; false
    // asks to stop.
    using Progress = std::function<bool(int done, int total)>;

    // Finds the sentences of Text (a story text) that have words and their
    // words; the track is empty until they are said. Raises
    // std::runtime_error when no sentence has words ("the story has nothing
    // the voice can say").
    void Plan(const std::string& text);
    // Says the planned sentences of Text (the text planned) with Synth, each
    // sound Stretch times the engine's pace, handing the track to Sink as it
    // grows; SampleRate is set before Sink is first called: TrackRate, or
    // when that is 0 the rate of the first sentence said. A sentence said at
    // another rate is resampled to it (TResampler), its word times kept.
    // False when Progress asked to stop (the track then ends where it
    // stopped). Raises std::runtime_error when the voice cannot say a
    // sentence (the message quotes it: "the voice could not read the
    // sentence \"...\"").
    bool Say(plat::SpeechSynth& synth, const std::string& text, float stretch, const Sink& sink,
             const Progress& progress = {});
    // Plan and Say, the track kept in Samples; Progress as Say's, without
    // stopping. Raises as they do.
    void Speak(plat::SpeechSynth& synth, const std::string& text, float stretch,
               const std::function<void(int done, int total)>& progress = {});

    std::vector<int16_t> Samples; // signed 16-bit mono: the track, when Speak kept it
    uint32_t SampleRate = 0;
    uint32_t TrackRate = 0;          // the rate asked for the track; 0: the voice's
    std::vector<Sentence> Sentences; // those in the track, in order

    // The track's length in milliseconds (its samples, rounded down).
    int64_t DurationMs() const;
    // How many of the story's words have a clip of their own, and how many
    // words the story's sentences have.
    int ClippedWords() const;
    int TotalWords() const { return totalWords_; }

    // The words of characters [Begin, End) of Text (markers read as spaces):
    // FindWords's and the lone signs said as words, in order.
    static std::vector<TSentenceWord> WordsOf(const std::string& text, int32_t begin, int32_t end);
    // Characters [Begin, End) of Text as the voice is given them: as on the
    // page, each marker a space and each lone sign its word.
    static std::string SpeechOf(const std::string& text, int32_t begin, int32_t end);

private:
    int totalWords_ = 0;
    uint64_t samples_ = 0; // in the track so far
};

// TBookVoice: the voice of a talking book, played back as if it spoke. It
// holds the book's track (decoded only where a sentence is asked for) and,
// for each sentence said, its words as on
// the page, its share of the track and its words' clips (the book's media
// overlay). Asked to say a sentence, it finds the one with the same words
// and gives that sentence's stretch of the track, with its words' times from
// the clips, so that the reader (TReadAloud) lights the words where the book
// says they are heard. A part of a sentence (the reader speaks a long first
// sentence in two) is its words' stretch of the track where the sentence has
// word clips.
//
// The book has its own pace: the stretch asked for is not heeded. Used from
// one thread at a time, as every voice.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/PcmTrack.h"
#include "platform/SpeechSynth.h"

class TBookVoice : public plat::SpeechSynth {
public:
    // Milliseconds [Begin, End) of the track.
    struct Clip {
        int64_t Begin = 0, End = 0;
    };
    struct Sentence {
        // The words as the page shows them (Latin-1); signs standing alone
        // ("&") among them, which the reader does not light.
        std::vector<std::string> Words;
        Clip Span;                   // the sentence's share of the track
        std::vector<Clip> WordClips; // one per word, or none
    };

    // Track: the book's voice (not null).
    TBookVoice(std::vector<Sentence> sentences, std::unique_ptr<plat::PcmTrack> track);

    // The stretch of the track that says Text, with its lit words' times;
    // false when the book does not say it.
    bool Synthesize(const std::string& text, float stretch, plat::SpeechPcm& out) override;
    using plat::SpeechSynth::Synthesize;

    const std::vector<Sentence>& Sentences() const { return sentences_; }

private:
    // The words of Text that the reader lights, joined into one key.
    static std::string KeyOf(const std::vector<std::string>& words);

    std::vector<Sentence> sentences_;
    std::unique_ptr<plat::PcmTrack> track_;
    // Each sentence's lit words: their indices among its words.
    std::vector<std::vector<int>> lit_;
    std::map<std::string, int> byKey_; // the first sentence of those words
};

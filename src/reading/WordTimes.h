// Which word of a sentence the voice is saying: the words the synthesizer
// said, grouped by the token of the text each was said for, mapped in order
// onto the sentence's words as they stand on the page. A group of words (a
// number, an abbreviation, a possessive) lights its one word on the page.
// When the counts differ the mapping is refused and no word is ever lit: the
// sentence keeps its sentence highlight alone.
//
// A word is lit from the time it begins until the next one begins (through a
// pause between them); none before the first begins or after the last ends.
// Times are milliseconds of played sound from the first sample.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/SpeechSynth.h"

class TWordTimes {
public:
    // Maps the words Said onto WordCount words of the sentence from
    // FirstWord on (the part of the sentence that was synthesized).
    void Map(const std::vector<plat::SpeechWord>& said, int firstWord, int wordCount);
    void Clear();
    // Whether the last Map matched every word.
    bool Matched() const { return !spans_.empty(); }
    // The sentence's word lit at Ms; -1 for none (or when not matched).
    int LitAt(int64_t ms) const;
    // Milliseconds from Ms until the word lit changes; -1 when it changes no
    // more (or when not matched).
    int64_t NextChange(int64_t ms) const;

    // When each word on the page is said, in order, from its first said
    // word's start to its last one's end (empty when not matched).
    struct Span {
        int64_t start = 0;
        int64_t end = 0;
    };
    const std::vector<Span>& Spans() const { return spans_; }

private:
    std::vector<Span> spans_; // one per word on the page, in order
    int first_ = 0;
};

// The sentences of a story text and the laid-out lines each one lights up
// while it is read aloud. A sentence ends after ".", "!" or "?" and any
// closing quotes (' or ") that follow, when a space, a marker or the end of
// the text comes next; every marker ends one too (the title, a paragraph, a
// line of its own). A sentence starts at the first character that is neither
// a space nor part of a marker and never ends with spaces; it may cross line
// and page breaks.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/LumList.h"
#include "book/LinePart.h"

// A word of a sentence as the reader lights it: characters [Begin, End) of
// the story text, from the first letter or digit of a run of characters
// between spaces to its last, and its parts on the lines (one, unless the
// layout broke the word).
struct TSentenceWord {
    int32_t Begin = 0;
    int32_t End = 0;
    std::vector<TLinePart> Parts;
};

// Characters [Begin, End) of the story text, its parts on the lines it
// touches (in reading order), the text the synthesizer is given and its
// words, in order.
struct TSentence {
    int32_t Begin = 0;
    int32_t End = 0;
    std::vector<TLinePart> Parts;
    std::string Speech;
    std::vector<TSentenceWord> Words;
};

class TStorySentences {
public:
    // Finds the sentences of Text (a story text, markers unresolved) and maps
    // them onto Pages (of TPage, laid out from the same text). Nothing when
    // Text is nullptr.
    void Build(const char* text, const TLumList& pages);
    // Maps the sentences found last onto Pages laid out again from the same
    // text (a new page size).
    void Map(const TLumList& pages);

    // Sentence bounds [Begin, End) of Text, in order; Parts and Speech empty.
    static std::vector<TSentence> Find(const char* text);
    // Characters [Begin, End) of Text as they stand on the page, each marker
    // read as a space.
    static std::string SpeechText(const char* text, int32_t begin, int32_t end);
    // The words of characters [Begin, End) of Text (markers read as spaces):
    // each run of characters between spaces that holds a letter (A-Z, a-z
    // or a Latin-1 letter) or a digit, cut to its first and last of them.
    // Runs of signs alone ("-", "...") are no words. Parts empty.
    static std::vector<TSentenceWord> FindWords(const char* text, int32_t begin, int32_t end);
    // How many words FindWords finds in Text.
    static int CountWords(const std::string& text);

    // Index of the first sentence with a part on page Page or later; -1 when
    // there is none.
    int FirstFrom(int page) const;
    // Page of the first part of sentence I; 0 when it has none.
    int FirstPage(int i) const;

    std::vector<TSentence> Items;
};

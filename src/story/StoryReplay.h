// The replay of the last story: what it was told from (the tale asked for,
// the seed, the twist, the names, the vocabulary's starting state and the
// twist decision carried in), the vocabulary choices made while it was told
// and where their words stand in its lines, and the words to tell it again
// with (swapping a definition's words again, or any words at all) so that
// nothing else changes.
//
// Telling a story goes: Note what it is told from (a new story only), Begin,
// Choose for every word taken from the vocabulary, AddLine and AddTitle for
// the lines' runs, End.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "story/WordChoice.h"
#include "story/WordRun.h"
#include "story/WordSpan.h"
#include "vocab/WordFlags.h"

class TVocab;

class TStoryReplay {
public:
    // What a story was told from, so that it can be told again alike.
    struct Told {
        bool valid = false;
        int taleNumber = 0; // as asked for (a random tale draws again)
        uint32_t seed = 0;
        int twistPercent = 0;
        bool lastTwistDecision = false;
        std::array<int32_t, kWordClassCount> lastChosen{};
        std::array<int, kWordClassCount> wordCounts{};
        std::string heroName, heroineName;
    };

    // Vocab outlives the replay.
    explicit TStoryReplay(TVocab& vocab);

    // A new story of TaleNumber is told from the process's random numbers
    // as they stand, the vocabulary as it stands, and these.
    void Note(int taleNumber, int twistPercent, bool lastTwistDecision, const std::string& hero,
              const std::string& heroine);
    const Told& Story() const { return told_; }

    // The story starts: the random numbers and the vocabulary's last chosen
    // words are set back to where it was told from, no word is used, and
    // its choices and spans are forgotten. Words (may be null; it outlives
    // End) holds, one per choice in order, the words to take in place of
    // the choices' own.
    void Begin(const std::vector<TWordChoice>* words);
    // A word of WordClass with Flags for the definition Name, counted
    // Definition in the story: the vocabulary draws as it did when the story
    // was first told (so every later choice draws as before), and the word
    // given in Begin is taken instead when it differs. Recorded as the next
    // choice.
    std::string Choose(int wordClass, uint16_t flags, std::string_view name, int definition);
    // The runs of story line Line (in position order) become its spans.
    void AddLine(uint32_t line, const std::vector<TWordRun>& runs);
    // The title's runs become spans of line 0, which is the title without
    // its first Cut characters; they go before every other span.
    void AddTitle(const std::vector<TWordRun>& runs, std::size_t cut);
    // The story is told: the words of Begin are no longer looked at.
    void End() { words_ = nullptr; }

    // The choices of the last story, in the order they were made, and where
    // their words stand (see TStoryGenerator::StorySpans).
    const std::vector<TWordChoice>& Choices() const { return choices_; }
    const std::vector<TWordSpan>& Spans() const { return spans_; }

    // The words of the last story with those at Positions (one per choice)
    // in place of the choices' own; nullopt when there is no last story, the
    // count does not match or the vocabulary has changed since it was told.
    std::optional<std::vector<TWordChoice>> WordsAt(const std::vector<int32_t>& positions) const;
    // The positions of the choices' words (one per choice) once the words
    // of the definition that made choice Index are swapped again (see
    // TStoryGenerator::SwapAgain; draws from the process's random numbers);
    // nullopt when Index is not a choice of the last story or the vocabulary
    // has changed since it was told.
    std::optional<std::vector<int32_t>> SwappedPositions(std::size_t index) const;

private:
    bool VocabularyUnchanged() const;

    TVocab& vocab_;
    Told told_;
    std::vector<TWordChoice> choices_;
    std::vector<TWordSpan> spans_;
    const std::vector<TWordChoice>* words_ = nullptr; // the words to take instead
    std::array<int, kWordClassCount> lastSetter_{};   // the choice that set each class's last word
};

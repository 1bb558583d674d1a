// The twists of the story a storybook shows: where the words the vocabulary
// put in stand in the window's story text, what the tale had there, and
// swapping a definition's words again. The window tints these words, shows
// what they replaced and swaps one on a click; the rules are here.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "book/Book.h"
#include "book/LinePart.h"
#include "platform/Canvas.h"

class TStoryGenerator;

class TStoryTwists {
public:
    // A soft lilac of the game's palette behind a swapped word, apart from the
    // read-aloud highlight's yellow.
    static constexpr uint32_t kColour = 0xE6D2FF;
    // Extra pixels the tint reaches left and right of the characters.
    static constexpr int kPadX = 1;

    // Characters [Begin, End) of the story text that came from choice Choice
    // of the generator's last story.
    struct Span {
        int32_t Begin = 0;
        int32_t End = 0;
        uint32_t Choice = 0;
        friend bool operator==(const Span&, const Span&) = default;
    };

    // Spans := where the vocabulary's words of the generator's last story
    // stand in the story text that Joined resolves to (ResolveStoryLineEnds),
    // when Joined is that story's lines joined (JoinStoryLines); none for any
    // other text (a saved story read back).
    void Take(const TStoryGenerator& generator, std::string_view joined);
    void Clear() { spans_.clear(); }
    const std::vector<Span>& Spans() const { return spans_; }
    bool Empty() const { return spans_.empty(); }

    // The span that holds character Offset; -1 when none does.
    int SpanAt(int32_t offset) const;
    // What the tale has in span I's place: its definition's plain word.
    std::string Was(const TStoryGenerator& generator, int i) const;
    // The parts of the spans on page Page of Book (laid out from the story
    // text), in reading order, each with the span it belongs to.
    struct PagePart {
        TLinePart part;
        int span = 0;
    };
    std::vector<PagePart> PageParts(const TBook& book, int page) const;
    // The rectangle of one part as Book draws its page Width wide on Canvas,
    // the padding included; empty when its line does not exist.
    static TRect PartRect(const TBook& book, plat::Canvas& canvas, int width, const TLinePart& part,
                          const char* text);
    // Fills the parts of the spans on page Page, before the page's text.
    void Draw(const TBook& book, plat::Canvas& canvas, int width, int page, const char* text) const;

    // Swaps the words of span I's definition again (TStoryGenerator::SwapAgain)
    // and Joined := the story's lines joined. The spans follow when Take is
    // given the new text. False, changing nothing, when I is no span or the
    // generator cannot swap.
    bool SwapAgain(TStoryGenerator& generator, int i, std::string& joined) const;

    // The first page (1-based) of Book that holds character Offset; 0 when
    // none does.
    static int PageOf(const TBook& book, int32_t offset);

private:
    std::vector<Span> spans_;
};

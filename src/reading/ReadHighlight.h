// The read-aloud highlight: a pale palette colour filled behind the parts of
// the lines being read, and a warmer, stronger one behind the word being
// spoken, drawn on the page's canvas before the page's text.
#pragma once
#include <cstdint>
#include <vector>

#include "book/Book.h"
#include "platform/Canvas.h"
#include "reading/StorySentences.h"

class TReadHighlight {
public:
    // Palette entry 215 of the game's palette, the palest yellow but one.
    static constexpr uint32_t kColour = 0xFFF6B0;
    // The golden yellow of the game's chosen buttons.
    static constexpr uint32_t kWordColour = 0xF7C843;
    // Extra pixels the fill reaches left and right of the characters.
    static constexpr int kPadX = 2;

    // Fills the parts of Parts that lie on page Page, as Book draws that page
    // Width wide on Canvas (same margins and font). Nothing for other pages.
    static void Draw(const TBook& book, plat::Canvas& canvas, int width, int page,
                     const std::vector<TLinePart>& parts, const char* text,
                     uint32_t colour = kColour);
    // The rectangle one part covers, widened by PadX on each side; empty
    // when its line does not exist.
    static TRect PartRect(const TBook& book, plat::Canvas& canvas, int width, const TLinePart& part,
                          const char* text, int padX = kPadX);
};

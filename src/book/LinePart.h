// TLinePart: characters [Start, End) of line Line (1-based) of page Page
// (1-based) of a laid-out story, and where such a part stands as the book
// draws its page: what the read-aloud highlight and the twists' tint fill.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/Rect.h"

class TBook;
namespace plat {
class Canvas;
}

struct TLinePart {
    int Page = 0;
    int Line = 0;
    int Start = 0;
    int End = 0;
    friend bool operator==(const TLinePart&, const TLinePart&) = default;

    // The rectangle the part covers as Book draws its page Width wide on
    // Canvas (same margins and font), widened by PadX on each side; empty
    // when its line does not exist.
    TRect Rect(const TBook& book, plat::Canvas& canvas, int width, const char* text,
               int padX) const;
    // Fills with Colour the parts of Parts that lie on page Page, each
    // widened by PadX; nothing for other pages.
    static void Fill(const TBook& book, plat::Canvas& canvas, int width, int page,
                     const std::vector<TLinePart>& parts, const char* text, uint32_t colour,
                     int padX);
};

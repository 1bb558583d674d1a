// The painted book: the pieces of the library image "book" that make the
// storybook window's open book for a client area of W x H pixels, in the
// order they are painted (later pieces cover earlier ones). Runs along an
// edge step by 100 pixels and clip the last piece to what remains.
#pragma once
#include <vector>

#include "platform/Point.h"
#include "platform/Rect.h"

class TBookPieces {
public:
    struct Piece {
        TRect source; // rectangle of "book", half-open
        TPoint dest;  // top-left corner in the client area
    };

    // The two page-turn arrows, each kArrowWidth x kArrowHeight, and where
    // they stand.
    static constexpr int kArrowWidth = 40, kArrowHeight = 25;
    static TPoint BackArrowPos(int h) { return TPoint{40, h - 64}; }
    static TPoint ForwardArrowPos(int w, int h) { return TPoint{w - 80, h - 64}; }
    // The "Read to me" button, 50 x 25: between the arrows at their height,
    // centred on the spine ((W + 20) / 2), which stands right of the middle.
    static TPoint ReadToMePos(int w, int h) { return TPoint{(w + 20) / 2 - 25, h - 64}; }
    // The arrow pieces, drawn enabled when On.
    static Piece BackArrow(int h, bool on);
    static Piece ForwardArrow(int w, int h, bool on);

    // The whole book, back to front, the arrows last.
    static std::vector<Piece> Layout(int w, int h, bool backOn, bool forwardOn);
};

// The painted book: the pieces of the library image "book" that make the
// storybook window's open book for a client area of W x H pixels, in the
// order they are painted (later pieces cover earlier ones). Runs along an
// edge step by 100 pixels and clip the last piece to what remains.
#pragma once
#include <vector>

#include "book/BookFoot.h"
#include "platform/Point.h"
#include "platform/Rect.h"

class TBookPieces {
public:
    struct Piece {
        TRect source;  // rectangle of "book", half-open
        TPoint dest;   // top-left corner in the client area
        int scale = 1; // client pixels across each of the source's
    };

    // The arrow pieces where Foot puts them, drawn enabled when On.
    static Piece BackArrow(const TBookFoot& foot, bool on);
    static Piece ForwardArrow(const TBookFoot& foot, bool on);

    // The whole book, back to front, the ribbon and the arrows at Scale
    // last.
    static std::vector<Piece> Layout(int w, int h, bool backOn, bool forwardOn, int scale = 1);
};

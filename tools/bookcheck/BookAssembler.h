// Paints the storybook window's book from the "book" sheet for a client area
// of W x H pixels, with the window's own piece table (TBookPieces).
#pragma once

#include <QImage>

class BookAssembler {
public:
    // Paints the pieces onto a w x h image, back to front; the arrows are
    // drawn enabled when backOn / forwardOn. Pixels no piece covers stay
    // magenta, so gaps in the layout show.
    static QImage Assemble(const QImage& sheet, int w, int h, bool backOn, bool forwardOn);
};

// Lays the pieces of the "book" sheet out for a client area of W x H pixels,
// in the order and at the places the storybook window paints them.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <vector>

class BookAssembler {
public:
    struct Piece {
        QRect source; // rectangle of the sheet, half-open
        QPoint dest;  // top-left corner in the client area
    };

    // Pieces for a client area of width w and height h, back to front. The
    // arrows are drawn enabled when backOn / forwardOn.
    static std::vector<Piece> Layout(int w, int h, bool backOn, bool forwardOn);

    // Paints the layout onto a w x h image. Pixels no piece covers stay
    // magenta, so gaps in the layout show.
    static QImage Assemble(const QImage& sheet, int w, int h, bool backOn, bool forwardOn);
};

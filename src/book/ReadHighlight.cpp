// Drawing the read-aloud highlight.
#include "book/ReadHighlight.h"

TRect TReadHighlight::PartRect(const TBook& book, plat::Canvas& canvas, int width,
                               const TLinePart& part, const char* text, int padX) {
    TRect r = book.LinePartRectFrom(&book.Pages, &canvas, width, part.Page, part.Line, part.Start,
                                    part.End, text);
    if (!r.IsEmpty()) {
        r.Left -= padX;
        r.Right += padX;
    }
    return r;
}

void TReadHighlight::Draw(const TBook& book, plat::Canvas& canvas, int width, int page,
                          const std::vector<TLinePart>& parts, const char* text, uint32_t colour) {
    for (const TLinePart& part : parts) {
        if (part.Page != page)
            continue;
        const TRect r = PartRect(book, canvas, width, part, text);
        canvas.FillRect(r.Left, r.Top, r.Right, r.Bottom, colour);
    }
}

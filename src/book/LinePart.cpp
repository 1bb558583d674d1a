// Where a part of a laid-out line stands on its page.
#include "book/LinePart.h"

#include "book/Book.h"
#include "platform/Canvas.h"

TRect TLinePart::Rect(const TBook& book, plat::Canvas& canvas, int width, const char* text,
                      int padX) const {
    TRect r = book.LinePartRectFrom(&book.Pages, &canvas, width, Page, Line, Start, End, text);
    if (!r.IsEmpty()) {
        r.Left -= padX;
        r.Right += padX;
    }
    return r;
}

void TLinePart::Fill(const TBook& book, plat::Canvas& canvas, int width, int page,
                     const std::vector<TLinePart>& parts, const char* text, uint32_t colour,
                     int padX) {
    for (const TLinePart& part : parts) {
        if (part.Page != page)
            continue;
        const TRect r = part.Rect(book, canvas, width, text, padX);
        canvas.FillRect(r.Left, r.Top, r.Right, r.Bottom, colour);
    }
}

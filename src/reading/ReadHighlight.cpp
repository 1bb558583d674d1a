// Drawing the read-aloud highlight.
#include "reading/ReadHighlight.h"

TRect TReadHighlight::PartRect(const TBook& book, plat::Canvas& canvas, int width,
                               const TLinePart& part, const char* text, int padX) {
    return part.Rect(book, canvas, width, text, padX);
}

void TReadHighlight::Draw(const TBook& book, plat::Canvas& canvas, int width, int page,
                          const std::vector<TLinePart>& parts, const char* text, uint32_t colour) {
    TLinePart::Fill(book, canvas, width, page, parts, text, colour, kPadX);
}

// The choice of letters for the story's pages.
#include "book/BookLetters.h"

#include <algorithm>

#include "book/Book.h"

TBookLetters TBookLetters::FromSettings(std::string_view letters, std::string_view bigLetters) {
    TBookLetters l;
    l.face = letters == "1" ? Face::EasyRead : Face::Classic;
    l.big = bigLetters == "1";
    return l;
}

int TBookLetters::FitPoints(plat::Canvas& canvas, int avail) const {
    int points = Points();
    for (;;) {
        canvas.SetFontSize(points);
        if (points <= kNormalPoints)
            return points;
        const int n = canvas.TextWidth("n");
        if (n > 0 && avail / n >= TBook::kMinCharsPerLine)
            return points;
        --points;
    }
}

int TBookLetters::LineNeeded(plat::Canvas& canvas) const {
    canvas.SetFontSize(Points());
    return TBook::kMinCharsPerLine * std::max(canvas.TextWidth("n"), 1);
}

TPrintFont::Band TBookLetters::PrintBand() const {
    const TPrintFont::Band normal{TPrintFont::kMinWidths, TPrintFont::kMaxWidths,
                                  TPrintFont::kAimWidths};
    if (!big)
        return normal;
    return {normal.minWidths * kNormalPoints / kBigPoints,
            normal.maxWidths * kNormalPoints / kBigPoints,
            normal.aimWidths * kNormalPoints / kBigPoints};
}

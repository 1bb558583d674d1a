// The choice of letters for the story's pages.
#include "book/BookLetters.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

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

int TBookLetters::CharWidth16(plat::Canvas& canvas) {
    // Words of the tales' kind, with their spaces and stops, in the mix a
    // story's lines have.
    static constexpr std::string_view kSample =
        "Once upon a time, a little girl walked into the deep, dark woods. "
        "\"Who is there?\" said the wolf, and he smiled with all his teeth.";
    return std::max(canvas.TextWidth(kSample), 1) * 16 / static_cast<int>(kSample.size());
}

TBookLetters::ScreenFit TBookLetters::FitScreen(plat::Canvas& canvas, int avail, int scale) const {
    const LineBand band = ScreenBand();
    const auto chars = [&](int points) {
        canvas.SetFontSize(points);
        return static_cast<int>(int64_t{avail} * 16 / std::max(CharWidth16(canvas), 1));
    };
    // A line breaks before the word that would not fit: it holds about a
    // word less than the width would, 7 characters with its space.
    const int fewest = band.fewest + 7;
    ScreenFit fit;
    fit.points = Points() * std::max(scale, 1);
    while (fit.points > Points() && chars(fit.points) < fewest)
        --fit.points;
    if (fit.points == Points() && chars(fit.points) < fewest) {
        fit.points = FitPoints(canvas, avail);
        return fit;
    }
    const int64_t width = int64_t{band.aim} * CharWidth16(canvas) / 16;
    if (width < avail)
        fit.inset = static_cast<int>((avail - width) / 2);
    return fit;
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

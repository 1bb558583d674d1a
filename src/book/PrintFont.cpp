// The printed story's font size search.
#include "book/PrintFont.h"

#include <cstdint>

int TPrintFont::StartSize(int screenPoints, int paperWidth, int pageWidth) {
    if (pageWidth <= 0)
        return screenPoints < 1 ? 1 : screenPoints;
    const int64_t ps = int64_t{screenPoints} * paperWidth / pageWidth;
    return ps < 1 ? 1 : ps > 100000 ? 100000 : static_cast<int>(ps);
}

int TPrintFont::Fit(plat::Canvas& canvas, int paperWidth, int points, const Band& band) {
    int ps = points < 1 ? 1 : points;
    for (;;) {
        canvas.SetFontSize(ps);
        const int n = canvas.TextWidth("n");
        if (n <= 0)
            return ps;
        const int k = paperWidth / n;
        if (k >= band.minWidths && k <= band.maxWidths)
            return ps;
        int next =
            static_cast<int>(int64_t{ps} * k / (band.aimWidths > 0 ? band.aimWidths : kAimWidths));
        if (next < 1)
            next = 1;
        if (next == ps)
            return ps;
        ps = next;
    }
}

int TPrintFont::Fit(plat::Canvas& canvas, int paperWidth, int points) {
    return Fit(canvas, paperWidth, points, Band{});
}

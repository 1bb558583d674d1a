// The size of the printed story's font: scaled from the screen's so that 50
// to 60 widths of "n" span the paper.
#pragma once

#include "platform/Canvas.h"

class TPrintFont {
public:
    static constexpr int kMinWidths = 50;
    static constexpr int kMaxWidths = 60;
    static constexpr int kAimWidths = 55;

    // The starting size: ScreenPoints x PaperWidth / PageWidth (the screen
    // page area's width), at least 1.
    static int StartSize(int screenPoints, int paperWidth, int pageWidth);

    // Sets Canvas's font to Points and rescales it by k / 55 while the paper
    // holds k widths of "n" with k outside 50..60. Ends, keeping the size
    // last set, when a rescaling no longer changes the size, at 1 point, or
    // when "n" has no width. Returns the size set on Canvas.
    static int Fit(plat::Canvas& canvas, int paperWidth, int points);
};

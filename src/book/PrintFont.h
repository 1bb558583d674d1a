// The size of the printed story's font: scaled from the screen's so that 50
// to 60 widths of "n" span the paper.
#pragma once

#include "platform/Canvas.h"

class TPrintFont {
public:
    static constexpr int kMinWidths = 50;
    static constexpr int kMaxWidths = 60;
    static constexpr int kAimWidths = 55;

    // How many widths of "n" the paper's width holds once fitted, and the
    // number aimed at when rescaling.
    struct Band {
        int minWidths = kMinWidths;
        int maxWidths = kMaxWidths;
        int aimWidths = kAimWidths;
    };

    // The starting size: ScreenPoints x PaperWidth / PageWidth (the screen
    // page area's width), at least 1.
    static int StartSize(int screenPoints, int paperWidth, int pageWidth);

    // Sets Canvas's font to Points and rescales it by k / aim while the
    // paper holds k widths of "n" with k outside Band (50..60, aiming at 55,
    // unless given). Ends, keeping the size last set, when a rescaling no
    // longer changes the size, at 1 point, or when "n" has no width.
    // Returns the size set on Canvas.
    static int Fit(plat::Canvas& canvas, int paperWidth, int points, const Band& band);
    static int Fit(plat::Canvas& canvas, int paperWidth, int points);
};

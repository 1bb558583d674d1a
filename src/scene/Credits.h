// TCredits: the credit line under the main window's scene without the window:
// the texts it shows one after another and the colour of each step of a
// line's fade in and out.
#pragma once
#include <cstdint>

class TCredits {
public:
    static constexpr int kLineCount = 10;
    // Fade phases run 0 to kLastPhase: in from dark, brightest at kLastPhase / 2,
    // out to dark again.
    static constexpr int kLastPhase = 8;

    // The text of credit line Line, 0 to kLineCount - 1 (Latin-1); "" for
    // any other line. Line 0 names the game and the project's major.minor
    // version.
    static const char* Text(int line);
    // The colour of fade phase Phase (0x00RRGGBB); a phase outside
    // 0..kLastPhase gets the brightest colour.
    static uint32_t Colour(int phase);
};

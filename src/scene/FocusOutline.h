// TFocusOutline: the soft ring that marks the scene's keyboard focus, drawn
// into the work image like every other picture of the scene. A ring three
// pixels wide with rounded corners runs along a frame rectangle: a bright
// middle row between two rows of a dark edge colour, like the scene's inked
// outlines, so that it shows on sky, grass and trees. The ring keeps the pixels it
// covers and gives them back when it is taken away, so whatever else draws
// into the work image takes the ring away first and lets it come back after.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/Rect.h"

class TRL8ImageData;

class TFocusOutline {
public:
    static constexpr int kGap = 3;       // pixels between a region and its ring
    static constexpr int kThickness = 3; // rows of the ring
    static constexpr int kRadius = 5;    // of the ring's outer corners

    // The frame the ring runs along for a region's rectangle Around: Around
    // grown by kGap on every side, moved and cut to lie within Bounds.
    static TRect Frame(TRect around, TRect bounds);
    // Which row of the ring along Frame holds pixel (X, Y): 1 the outermost
    // to kThickness the innermost, 0 none (outside the frame, inside the
    // ring, or in the rounded corners' cut).
    static int Row(const TRect& frame, int32_t x, int32_t y);
    // The strips along Frame's edges that hold its ring: what drawing and
    // taking the ring away damage.
    static std::vector<TRect> Strips(const TRect& frame);

    bool Shown() const { return shown_; }
    const TRect& Place() const { return frame_; }

    // Draws the ring along Frame (which must lie within the work image), its
    // first and last rows in Edge and the rows between in Fill, keeping the
    // pixels under it; a shown ring goes first.
    void Show(TRL8ImageData& work, const TRect& frame, uint8_t edge, uint8_t fill);
    // Puts back the pixels under a shown ring.
    void Hide(TRL8ImageData& work);

private:
    // Calls Pixel(Address, Row) for every ring pixel, row by row, left to right.
    template <class F> void ForEachPixel(TRL8ImageData& work, F pixel) const;

    TRect frame_;
    bool shown_ = false;
    std::vector<uint8_t> under_;
};

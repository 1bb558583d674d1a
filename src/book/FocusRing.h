// TFocusRing: the ring that marks the storybook's keyboard focus, in the
// book's ink (the pages' text colour). It is a frame kWidth pixels wide whose
// outer edge stands kGap + kWidth pixels outside the control it marks, or,
// on a painted control's own picture, along the inside of its edge. Every
// ring of the storybook is drawn by Draw.
#pragma once
#include <array>
#include <cstdint>

#include "platform/Canvas.h"
#include "platform/Rect.h"

class TFocusRing {
public:
    static constexpr int kGap = 1;   // pixels between a control and its ring
    static constexpr int kWidth = 2; // of the ring

    // The ring's outer edge for a control standing at Box.
    static TRect Around(const TRect& box);
    // The ring whose outer edge is Outer as four strips: top, bottom, left,
    // right (what drawing or taking it away touches).
    static std::array<TRect, 4> Strips(const TRect& outer);
    // Draws the ring whose outer edge is Outer on Canvas in Ink (0x00RRGGBB).
    static void Draw(plat::Canvas& canvas, const TRect& outer, uint32_t ink);
};

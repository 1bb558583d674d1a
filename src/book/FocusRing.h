// TFocusRing: where the ring that marks the storybook's keyboard focus
// stands, and how it looks. It is a frame kWidth pixels wide in the book's
// ink (the pages' text colour). Around a control that leaves room for it (a
// widget control, a twist word on a page) its outer edge stands kGap +
// kWidth pixels outside the control; on a painted control's own picture it
// runs along the inside of the picture's edge; on a page area whose focus
// nothing on the page marks, along the page's edge above the arrows' band.
// The window draws every ring with one routine (TFocusFrame::Draw).
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "book/Book.h"
#include "platform/Rect.h"

class TFocusRing {
public:
    static constexpr int kGap = 1;   // pixels between a control and its ring
    static constexpr int kWidth = 2; // of the ring
    static constexpr uint32_t kInk = TBook::kInk;

    // The ring's outer edge for a control standing at Box.
    static TRect Around(const TRect& box);
    // The rings' outer edges on a page Width x Height pixels whose arrows'
    // band starts Foot pixels from its top, while its area has the focus:
    // around each of Marked (what of the page has the focus; empty boxes
    // mark nothing), or when nothing is marked, along the page's edge above
    // the band.
    static std::vector<TRect> OnPage(int width, int height, int foot,
                                     const std::vector<TRect>& marked);
    // The ring whose outer edge is Outer as four strips that do not overlap:
    // top, bottom, left, right (what drawing it fills); a ring too small for
    // kWidth gets narrower strips.
    static std::array<TRect, 4> Strips(const TRect& outer);
};

// A layer a part of the storybook draws on a story page, under the text:
// the twists' tint, the read-aloud highlight. The page painter draws the
// layers in a fixed order (TPagePainter::Layer), then the focus ring, then
// the text.
#pragma once
#include "platform/Canvas.h"

class TBook;

class TPageLayer {
public:
    virtual ~TPageLayer() = default;
    // Draws the layer of story page Page, laid out Width pixels wide in Book
    // over Text, on Canvas in page pixels (the canvas may be clipped to a
    // part of the page). Left: the page stands on the left page area.
    virtual void DrawPageLayer(const TBook& book, plat::Canvas& canvas, int width, int page,
                               const char* text, bool left) = 0;
    // While the page area (left when Left) has the keyboard focus: draws the
    // ring (TFocusRing) around what of the part has the focus on story page
    // Page, with the same arguments; true when it drew one. A page area whose
    // focus no part marks gets a ring along its edge.
    virtual bool DrawPageFocus(const TBook&, plat::Canvas&, int, int, const char*, bool) {
        return false;
    }
};

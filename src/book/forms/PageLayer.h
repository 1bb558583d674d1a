// A layer a part of the storybook draws on a story page, under the text:
// the twists' tint, the read-aloud highlight. The page painter draws the
// layers in a fixed order (TPagePainter::Layer), then the focus ring, then
// the text.
#pragma once
#include <vector>

#include "platform/Canvas.h"
#include "platform/Rect.h"

class TBook;

class TPageLayer {
public:
    virtual ~TPageLayer() = default;
    // Draws the layer of story page Page, laid out Width pixels wide in Book
    // over Text, on Canvas in page pixels (the canvas may be clipped to a
    // part of the page). Left: the page stands on the left page area.
    virtual void DrawPageLayer(const TBook& book, plat::Canvas& canvas, int width, int page,
                               const char* text, bool left) = 0;
    // While the page area (left when Left) has the keyboard focus: where
    // what of the part has the focus stands on story page Page (page pixels,
    // measured with the same arguments), for the painter to ring; none when
    // the part marks nothing there. A page area whose focus no part marks
    // gets a ring along its edge.
    virtual std::vector<TRect> PageFocus(const TBook&, plat::Canvas&, int, int, const char*, bool) {
        return {};
    }
};

// TFocusRing: where the focus ring stands.
#include "book/FocusRing.h"

#include <algorithm>

TRect TFocusRing::Around(const TRect& box) {
    constexpr int out = kGap + kWidth;
    return TRect{box.Left - out, box.Top - out, box.Right + out, box.Bottom + out};
}

std::vector<TRect> TFocusRing::OnPage(int width, int height, int foot,
                                      const std::vector<TRect>& marked) {
    std::vector<TRect> rings;
    for (const TRect& box : marked)
        if (!box.IsEmpty())
            rings.push_back(Around(box));
    if (rings.empty())
        rings.push_back(TRect{0, 0, width, std::min(height, foot)});
    return rings;
}

std::array<TRect, 4> TFocusRing::Strips(const TRect& outer) {
    const int w =
        std::min({kWidth, (outer.Right - outer.Left) / 2, (outer.Bottom - outer.Top) / 2});
    return {TRect{outer.Left, outer.Top, outer.Right, outer.Top + w},
            TRect{outer.Left, outer.Bottom - w, outer.Right, outer.Bottom},
            TRect{outer.Left, outer.Top + w, outer.Left + w, outer.Bottom - w},
            TRect{outer.Right - w, outer.Top + w, outer.Right, outer.Bottom - w}};
}

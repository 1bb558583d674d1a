// Half-open rectangle helpers.
#include "platform/Rect.h"

#include <algorithm>

bool TRect::Intersect(TRect& out, const TRect& a, const TRect& b) {
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
    if (a.IsEmpty() || b.IsEmpty() || r.IsEmpty()) {
        out = TRect{};
        return false;
    }
    out = r;
    return true;
}

TRect TRect::Normalized() const {
    return TRect{std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right),
                 std::max(Top, Bottom)};
}

// The keyboard focus ring: its shape, and drawing and taking it away.
#include "scene/FocusOutline.h"

#include <algorithm>

#include "image/RL8ImageData.h"

namespace {
// Whether the centre of pixel (X, Y) lies in Rect with corners rounded to
// Radius. Co-ordinates are doubled so that pixel centres are whole numbers.
bool InRounded(const TRect& r, int radius, int64_t x, int64_t y) {
    if (!r.Contains(static_cast<int32_t>(x), static_cast<int32_t>(y)))
        return false;
    const int64_t cx = 2 * x + 1, cy = 2 * y + 1, d = 2 * std::max(radius, 0);
    const int64_t left = 2 * int64_t{r.Left} + d, right = 2 * int64_t{r.Right} - d;
    const int64_t top = 2 * int64_t{r.Top} + d, bottom = 2 * int64_t{r.Bottom} - d;
    const int64_t dx = cx < left ? left - cx : (cx > right ? cx - right : 0);
    const int64_t dy = cy < top ? top - cy : (cy > bottom ? cy - bottom : 0);
    return dx * dx + dy * dy <= d * d;
}

TRect Shrunk(const TRect& r, int by) {
    return TRect{r.Left + by, r.Top + by, r.Right - by, r.Bottom - by};
}

// The width of the strips along the frame's edges that hold the ring.
constexpr int kStrip = std::max(TFocusOutline::kThickness, TFocusOutline::kRadius);
} // namespace

TRect TFocusOutline::Frame(TRect around, TRect bounds) {
    TRect f{around.Left - kGap, around.Top - kGap, around.Right + kGap, around.Bottom + kGap};
    // Moved inside Bounds where there is room, then cut to it.
    if (f.Left < bounds.Left) {
        f.Right = std::min(f.Right + bounds.Left - f.Left, bounds.Right);
        f.Left = bounds.Left;
    }
    if (f.Right > bounds.Right) {
        f.Left = std::max(f.Left - (f.Right - bounds.Right), bounds.Left);
        f.Right = bounds.Right;
    }
    if (f.Top < bounds.Top) {
        f.Bottom = std::min(f.Bottom + bounds.Top - f.Top, bounds.Bottom);
        f.Top = bounds.Top;
    }
    if (f.Bottom > bounds.Bottom) {
        f.Top = std::max(f.Top - (f.Bottom - bounds.Bottom), bounds.Top);
        f.Bottom = bounds.Bottom;
    }
    return f;
}

int TFocusOutline::Row(const TRect& frame, int32_t x, int32_t y) {
    if (!InRounded(frame, kRadius, x, y))
        return 0;
    for (int row = 1; row <= kThickness; ++row)
        if (!InRounded(Shrunk(frame, row), kRadius - row, x, y))
            return row;
    return 0;
}

std::vector<TRect> TFocusOutline::Strips(const TRect& f) {
    if (f.IsEmpty())
        return {};
    const int32_t top = std::min(f.Bottom, f.Top + kStrip);
    const int32_t bottom = std::max(top, f.Bottom - kStrip);
    std::vector<TRect> strips{TRect{f.Left, f.Top, f.Right, top}};
    if (bottom < f.Bottom)
        strips.push_back(TRect{f.Left, bottom, f.Right, f.Bottom});
    if (top < bottom) {
        const int32_t left = std::min(f.Right, f.Left + kStrip);
        strips.push_back(TRect{f.Left, top, left, bottom});
        const int32_t right = std::max(left, f.Right - kStrip);
        if (right < f.Right)
            strips.push_back(TRect{right, top, f.Right, bottom});
    }
    return strips;
}

template <class F> void TFocusOutline::ForEachPixel(TRL8ImageData& work, F pixel) const {
    const TRect& f = frame_;
    for (int32_t y = f.Top; y < f.Bottom; ++y) {
        // Away from the top and bottom strips only the side strips hold ring.
        const bool whole = y < f.Top + kStrip || y >= f.Bottom - kStrip;
        uint8_t* line = work.StartLine(f.Left, y);
        for (int32_t x = f.Left; x < f.Right; ++x) {
            if (!whole && x == f.Left + kStrip && f.Right - kStrip > x)
                x = f.Right - kStrip;
            if (const int row = Row(f, x, y))
                pixel(line + (x - f.Left), row);
        }
        work.UnlockSegment(f.Left, y);
    }
}

void TFocusOutline::Show(TRL8ImageData& work, const TRect& frame, uint8_t edge, uint8_t fill) {
    Hide(work);
    TRect inside;
    if (!TRect::Intersect(inside, frame, work.GetBounds()) || !(inside == frame))
        return;
    frame_ = frame;
    under_.clear();
    ForEachPixel(work, [&](uint8_t* p, int row) {
        under_.push_back(*p);
        *p = row == 1 || row == kThickness ? edge : fill;
    });
    shown_ = true;
    for (const TRect& s : Strips(frame_))
        work.AddDamage(s);
}

void TFocusOutline::Hide(TRL8ImageData& work) {
    if (!shown_)
        return;
    std::size_t i = 0;
    ForEachPixel(work, [&](uint8_t* p, int) {
        if (i < under_.size())
            *p = under_[i++];
    });
    shown_ = false;
    for (const TRect& s : Strips(frame_))
        work.AddDamage(s);
}

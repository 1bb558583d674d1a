// Small rectangle and point functions shared by the drawing code.
#pragma once
#include <cstdint>

#include "platform/Point.h"
#include "platform/Rect.h"

inline int32_t Max(int32_t a, int32_t b) {
    return a > b ? a : b;
}
inline TPoint OffsetTopLeft(const TRect& r, const TPoint& offset) {
    return TPoint{r.Left + offset.X, r.Top + offset.Y};
}
inline TPoint SubtractPoint(const TPoint& p, const TPoint& offset) {
    return TPoint{p.X - offset.X, p.Y - offset.Y};
}
inline TRect OffsetRectBy(const TRect& r, const TPoint& o) {
    return TRect{r.Left + o.X, r.Top + o.Y, r.Right + o.X, r.Bottom + o.Y};
}
inline TRect OffsetRectBack(const TRect& r, const TPoint& o) {
    return TRect{r.Left - o.X, r.Top - o.Y, r.Right - o.X, r.Bottom - o.Y};
}
inline int32_t RectWidth(const TRect& r) {
    return r.Right - r.Left;
}
inline int32_t RectHeight(const TRect& r) {
    return r.Bottom - r.Top;
}
inline TRect MoveRectTo(const TRect& r, const TPoint& origin) {
    return TRect{origin.X, origin.Y, origin.X + RectWidth(r), origin.Y + RectHeight(r)};
}

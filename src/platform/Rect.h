// A rectangle of four signed 32-bit co-ordinates, half-open: Right and Bottom
// are exclusive, so the rectangle (0,0,2,2) holds four pixels.
#pragma once
#include <cstdint>

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    friend bool operator==(const TRect&, const TRect&) = default;

    // Empty when it holds no pixel (zero or negative width or height).
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }

    // Intersection of two rectangles; an empty result when they do not meet
    // (then the result is all zeros, as the platform's call gives it).
    static bool Intersect(TRect& out, const TRect& a, const TRect& b);

    // Makes Left <= Right and Top <= Bottom by swapping.
    TRect Normalized() const;

    bool Contains(int32_t x, int32_t y) const {
        return x >= Left && x < Right && y >= Top && y < Bottom;
    }
};

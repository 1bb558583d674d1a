// The banding rule.
#include "image/RL8Banding.h"

#include <algorithm>

TRL8Banding TRL8Banding::Compute(uint32_t width, uint32_t height) {
    TRL8Banding b;
    // In 64 bits: the stride of a width near 2^32 would wrap to 0.
    const uint64_t s = (uint64_t{width} + 3u) & ~uint64_t{3};
    b.Stride = static_cast<uint32_t>(std::min<uint64_t>(s, UINT32_MAX));
    if (width == 0 || height == 0 || s > kMaxBandBytes)
        return b; // a single row would not fit a band: the loop below would never end
    const uint64_t t = s * height;
    uint64_t n = (t + kMaxBandBytes - 1) / kMaxBandBytes;
    uint64_t r = ((t / n) + s - 1) / s;
    while (r * s > kMaxBandBytes) {
        ++n;
        r = ((t / n) + s - 1) / s;
    }
    // The count written into a header; it never exceeds N and leaves a
    // non-empty last band.
    const uint64_t count = (t + r * s - 1) / (r * s);
    if (count == 0 || count > kMaxSegments)
        return b;
    b.Rows = static_cast<uint32_t>(r);
    b.Count = static_cast<uint32_t>(count);
    b.LastRows = static_cast<uint32_t>(height - r * (count - 1));
    b.Valid = true;
    return b;
}

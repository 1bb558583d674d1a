// The banding rule.
#include "image/RL8Banding.h"

TRL8Banding TRL8Banding::Compute(uint32_t width, uint32_t height) {
    TRL8Banding b;
    b.Stride = (width + 3u) & ~3u;
    if (width == 0 || height == 0 || b.Stride > kMaxBandBytes)
        return b; // a single row would not fit a band: the loop below would never end
    const uint64_t s = b.Stride;
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

// Tile placement for a clip rectangle.
#include "image/TileGrid.h"

namespace {
// The grid line at or before V (rounds toward minus infinity, so that a clip
// reaching left of or above the corner still starts on the grid).
int32_t GridStart(int32_t v, int32_t size) {
    int32_t r = v % size;
    if (r < 0)
        r += size;
    return v - r;
}
} // namespace

std::vector<TPoint> TileOrigins(const TRect& clip, int32_t tileW, int32_t tileH) {
    std::vector<TPoint> out;
    if (tileW <= 0 || tileH <= 0 || clip.IsEmpty())
        return out;
    const int32_t x0 = GridStart(clip.Left, tileW);
    for (int32_t y = GridStart(clip.Top, tileH); y < clip.Bottom; y += tileH)
        for (int32_t x = x0; x < clip.Right; x += tileW)
            out.push_back(TPoint{x, y});
    return out;
}

// How an image is cut into bands of whole rows: the row stride, the rows of
// every band but the last, and the band count. No band exceeds 65280 bytes and
// an image has at most 255 bands; an image that cannot be banded so (a row
// wider than a band, or too many bands) is not Valid.
#pragma once
#include <cstdint>

class TRL8Banding {
public:
    static constexpr uint32_t kMaxBandBytes = 65280;
    static constexpr uint32_t kMaxSegments = 255;

    uint32_t Stride = 0;   // Width rounded up to a multiple of 4 (at most UINT32_MAX)
    uint32_t Rows = 0;     // R: rows of every band but the last
    uint32_t Count = 0;    // N: number of bands
    uint32_t LastRows = 0; // rows of the last band
    bool Valid = false;

    static TRL8Banding Compute(uint32_t width, uint32_t height);

    // Rows of band Index (0 = the bottom band).
    uint32_t RowsOf(uint32_t index) const { return index + 1 < Count ? Rows : LastRows; }
};

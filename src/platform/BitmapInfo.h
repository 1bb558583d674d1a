// The description of an 8-bit bottom-up bitmap handed to a drawing target: a
// 40-byte header and 256 16-bit colour-table entries that hold logical palette
// indices (palette-index colour mode). 552 bytes, laid out like the platform's
// own description. Rows are Width rounded up to a multiple of 4 bytes long and
// the first row in memory is the bottom row of the picture.
#pragma once
#include <array>
#include <cstdint>

namespace plat {

class BitmapInfo {
public:
    uint32_t HeaderSize = 40;
    int32_t Width = 0;
    int32_t Height = 0;
    uint16_t Planes = 1;
    uint16_t BitCount = 8;
    uint32_t Compression = 0;
    uint32_t ImageSize = 0;
    int32_t XPelsPerMeter = 0;
    int32_t YPelsPerMeter = 0;
    uint32_t ClrUsed = 0;
    uint32_t ClrImportant = 0;
    std::array<uint16_t, 256> Colors{}; // palette index of each pixel value

    // Row stride in bytes for Width.
    int32_t Stride() const { return (Width + 3) & ~3; }

    // The process-wide template: identity colour table, sizes 0. Every paint
    // works on a copy of it.
    static const BitmapInfo& Template();
};

static_assert(sizeof(BitmapInfo) == 552, "bitmap description must keep its 552-byte layout");

} // namespace plat

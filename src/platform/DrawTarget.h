// A device that takes palette-index transfers: rectangles of 8-bit rows
// described by a BitmapInfo, whose pixel values go through the description's
// 256-entry index table into the selected logical palette and from there, as
// true colour, onto the target with a raster operation. Subclasses put the
// colours somewhere (an in-memory image, a QImage, a QPainter).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/BitmapInfo.h"
#include "platform/LogPalette.h"
#include "platform/RasterOp.h"

namespace plat {

class DrawTarget {
public:
    DrawTarget();
    virtual ~DrawTarget() = default;
    DrawTarget(const DrawTarget&) = delete;
    DrawTarget& operator=(const DrawTarget&) = delete;

    // Selects Palette (not owned; nullptr selects the default grey ramp) and
    // returns the previously selected one. Transfers use the colours the
    // palette has at this call.
    const LogPalette* SelectPalette(const LogPalette* palette);
    // Realises the selected palette; returns how many entries changed colour
    // since the last realisation.
    int RealizePalette();

    // Transfers the W x H pixels of Bits whose lower-left corner is (SrcX,
    // SrcY), counted from the bottom row of the bitmap, to the target with
    // their top-left at (DestX, DestY), unscaled. Bits holds Info.Height
    // (negative: absolute value) rows of Info.Stride() bytes, bottom row first.
    // The source rectangle is clipped to the bitmap and the destination to
    // the target. Returns the number of scan lines transferred.
    int TransferIndices(int destX, int destY, int w, int h, int srcX, int srcY, const uint8_t* bits,
                        const BitmapInfo& info, RasterOp op);

    // Transfers after this show each pixel as a Scale x Scale block, whole
    // pixels with no smoothing: a transfer to (DestX, DestY) lands at Origin +
    // Scale x ((DestX, DestY) - Origin), so a picture drawn at Origin grows
    // from its top-left corner. Scale 1 (the default) transfers unscaled;
    // Scale is kept within 1 .. kMaxScale.
    static constexpr int kMaxScale = 64;
    void SetScale(int scale, int originX = 0, int originY = 0);
    int Scale() const { return scale_; }

    // The colour of each pixel value for Info under the selected palette.
    void ColourTable(const BitmapInfo& info, uint32_t (&lut)[256]) const;

protected:
    // Puts W x H colours on the target at (X, Y) (already clipped to the
    // source, not to the target). Row 0 starts at TopRow; each further row is
    // RowStep bytes on from the previous one (negative for bottom-up bits).
    // Pixel values map to 0x00RRGGBB through Lut.
    virtual void Blit(int x, int y, int w, int h, const uint8_t* topRow, std::ptrdiff_t rowStep,
                      const uint32_t (&lut)[256], RasterOp op) = 0;

    // The common case for 32-bit pixel buffers: clips (X, Y, W, H) to a
    // DestW x DestH buffer whose rows are DestPitch pixels apart and applies
    // the operation. Lut entries carry 0xFF in their top byte: Copy writes
    // them as they are; And and Or change only the low 24 bits.
    static void BlitToRgb32(uint32_t* dest, std::ptrdiff_t destPitch, int destW, int destH, int x,
                            int y, int w, int h, const uint8_t* topRow, std::ptrdiff_t rowStep,
                            const uint32_t (&lut)[256], RasterOp op);

private:
    // The colour table of the last transfer, kept while the palette and the
    // description's index table stay the same (a display pass makes many
    // transfers with one table).
    using ColourLut = uint32_t[256];
    const ColourLut& CachedColourTable(const BitmapInfo& info);

    int scale_ = 1;
    int originX_ = 0, originY_ = 0;
    const LogPalette* selected_ = nullptr;
    uint64_t selection_ = 0; // counts palette selections
    uint64_t cachedSelection_ = ~uint64_t{0};
    std::array<uint16_t, 256> cachedColors_{};
    uint32_t cachedLut_[256] = {};
    std::array<uint32_t, 256> selectedRgb_{}; // colours of the selected palette
    std::array<uint32_t, 256> realisedRgb_{}; // colours at the last realisation
};

} // namespace plat

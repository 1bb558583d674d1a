// Palette selection, clipping and the 32-bit pixel loop shared by the targets.
#include "platform/DrawTarget.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace plat {

namespace {
uint32_t Grey(int i) {
    uint32_t v = static_cast<uint32_t>(i);
    return (v << 16) | (v << 8) | v;
}
} // namespace

DrawTarget::DrawTarget() {
    for (int i = 0; i < 256; ++i)
        selectedRgb_[static_cast<std::size_t>(i)] = Grey(i);
    realisedRgb_ = selectedRgb_;
}

const LogPalette* DrawTarget::SelectPalette(const LogPalette* palette) {
    const LogPalette* previous = selected_;
    selected_ = palette;
    ++selection_;
    for (int i = 0; i < 256; ++i)
        selectedRgb_[static_cast<std::size_t>(i)] = palette ? palette->Rgb(i) : Grey(i);
    return previous;
}

int DrawTarget::RealizePalette() {
    int changed = 0;
    for (std::size_t i = 0; i < 256; ++i) {
        if (realisedRgb_[i] != selectedRgb_[i])
            ++changed;
    }
    realisedRgb_ = selectedRgb_;
    return changed;
}

void DrawTarget::ColourTable(const BitmapInfo& info, uint32_t (&lut)[256]) const {
    for (std::size_t i = 0; i < 256; ++i)
        lut[i] = selectedRgb_[info.Colors[i] & 255u];
}

const DrawTarget::ColourLut& DrawTarget::CachedColourTable(const BitmapInfo& info) {
    if (cachedSelection_ != selection_ || cachedColors_ != info.Colors) {
        for (std::size_t i = 0; i < 256; ++i)
            cachedLut_[i] = 0xFF000000u | selectedRgb_[info.Colors[i] & 255u];
        cachedColors_ = info.Colors;
        cachedSelection_ = selection_;
    }
    return cachedLut_;
}

int DrawTarget::TransferIndices(int destX, int destY, int w, int h, int srcX, int srcY,
                                const uint8_t* bits, const BitmapInfo& info, RasterOp op) {
    const int64_t rows = info.Height < 0 ? -int64_t{info.Height} : info.Height;
    const int64_t width = info.Width;
    if (!bits || width <= 0 || rows <= 0 || w <= 0 || h <= 0)
        return 0;
    // Clip the source rectangle to the bitmap, keeping pixels in place.
    int64_t x0 = srcX, x1 = int64_t{srcX} + w;
    int64_t y0 = srcY, y1 = int64_t{srcY} + h; // rows from the bottom
    int64_t dx = destX, dyTop = destY;
    if (x0 < 0) {
        dx -= x0;
        x0 = 0;
    }
    x1 = std::min(x1, width);
    // The top destination row shows source row y1 - 1.
    if (y1 > rows) {
        dyTop += y1 - rows;
        y1 = rows;
    }
    y0 = std::max<int64_t>(y0, 0);
    if (x0 >= x1 || y0 >= y1)
        return 0;
    const std::ptrdiff_t stride = info.Stride();
    const ColourLut& lut = CachedColourTable(info);
    const uint8_t* top = bits + (y1 - 1) * stride + x0;
    const int cw = static_cast<int>(x1 - x0), ch = static_cast<int>(y1 - y0);
    if (scale_ == 1) {
        Blit(static_cast<int>(dx), static_cast<int>(dyTop), cw, ch, top, -stride, lut, op);
        return ch;
    }
    // Each pixel a block: the rows widened and repeated, top row first.
    const int k = scale_;
    const std::size_t sw = static_cast<std::size_t>(cw) * k;
    std::vector<uint8_t> blocks(sw * static_cast<std::size_t>(ch) * k);
    for (int r = 0; r < ch; ++r) {
        const uint8_t* row = top - static_cast<std::ptrdiff_t>(r) * stride;
        uint8_t* out = blocks.data() + static_cast<std::size_t>(r) * k * sw;
        for (int c = 0; c < cw; ++c)
            std::fill_n(out + static_cast<std::size_t>(c) * k, k, row[c]);
        for (int i = 1; i < k; ++i)
            std::copy_n(out, sw, out + static_cast<std::size_t>(i) * sw);
    }
    const int64_t sx = originX_ + (dx - originX_) * k, sy = originY_ + (dyTop - originY_) * k;
    if (sx < INT32_MIN || sx > INT32_MAX || sy < INT32_MIN || sy > INT32_MAX)
        return 0;
    Blit(static_cast<int>(sx), static_cast<int>(sy), static_cast<int>(sw), ch * k, blocks.data(),
         static_cast<std::ptrdiff_t>(sw), lut, op);
    return ch;
}

void DrawTarget::SetScale(int scale, int originX, int originY) {
    scale_ = std::clamp(scale, 1, kMaxScale);
    originX_ = originX;
    originY_ = originY;
}

void DrawTarget::BlitToRgb32(uint32_t* dest, std::ptrdiff_t destPitch, int destW, int destH, int x,
                             int y, int w, int h, const uint8_t* topRow, std::ptrdiff_t rowStep,
                             const uint32_t (&lut)[256], RasterOp op) {
    int64_t x0 = x, y0 = y, x1 = int64_t{x} + w, y1 = int64_t{y} + h;
    if (x0 < 0) {
        topRow += -x0;
        x0 = 0;
    }
    if (y0 < 0) {
        topRow += -y0 * rowStep;
        y0 = 0;
    }
    x1 = std::min<int64_t>(x1, destW);
    y1 = std::min<int64_t>(y1, destH);
    if (x0 >= x1 || y0 >= y1)
        return;
    const int n = static_cast<int>(x1 - x0);
    for (int64_t row = y0; row < y1; ++row, topRow += rowStep) {
        uint32_t* d = dest + row * destPitch + x0;
        const uint8_t* s = topRow;
        switch (op) {
        case RasterOp::Copy: {
            // Eight pixels per step from one 64-bit load of the source.
            int i = 0;
            for (; i + 8 <= n; i += 8) {
                uint64_t v;
                std::memcpy(&v, s + i, sizeof v);
                d[i] = lut[v & 0xFF];
                d[i + 1] = lut[(v >> 8) & 0xFF];
                d[i + 2] = lut[(v >> 16) & 0xFF];
                d[i + 3] = lut[(v >> 24) & 0xFF];
                d[i + 4] = lut[(v >> 32) & 0xFF];
                d[i + 5] = lut[(v >> 40) & 0xFF];
                d[i + 6] = lut[(v >> 48) & 0xFF];
                d[i + 7] = lut[v >> 56];
            }
            for (; i < n; ++i)
                d[i] = lut[s[i]];
            break;
        }
        case RasterOp::And:
            for (int i = 0; i < n; ++i)
                d[i] &= lut[s[i]];
            break;
        case RasterOp::Or:
            for (int i = 0; i < n; ++i)
                d[i] |= lut[s[i]] & 0xFFFFFFu;
            break;
        }
    }
}

} // namespace plat

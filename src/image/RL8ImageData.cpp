// Surface row addressing, composition and display.
#include "image/RL8ImageData.h"

#include <algorithm>
#include <cstring>

#include "image/RL8Banding.h"
#include "image/RL8Exception.h"
#include "image/RectFuncs.h"

namespace {

// Copies N bytes of Src over Dst except those equal to Key, eight at a time.
void CopyKeyed(uint8_t* dst, const uint8_t* src, std::size_t n, uint8_t key) {
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const uint64_t keys = kOnes * key;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t s, d;
        std::memcpy(&s, src + i, 8);
        const uint64_t x = s ^ keys;
        // High bit of each byte set exactly where the byte of X is non-zero.
        const uint64_t opaque = (((x & kLow7) + kLow7) | x) & ~kLow7;
        if (!opaque)
            continue;
        const uint64_t mask = (opaque >> 7) * 0xFF;
        if (mask == ~uint64_t{0}) {
            std::memcpy(dst + i, &s, 8);
            continue;
        }
        std::memcpy(&d, dst + i, 8);
        d = (s & mask) | (d & ~mask);
        std::memcpy(dst + i, &d, 8);
    }
    for (; i < n; ++i) {
        if (src[i] != key)
            dst[i] = src[i];
    }
}

// Unlocks a segment when it goes out of scope.
class SegmentLock {
public:
    explicit SegmentLock(TRL8ImageSegment& seg) : seg_(seg), p_(seg.Lock()) {}
    ~SegmentLock() { seg_.Unlock(); }
    SegmentLock(const SegmentLock&) = delete;
    SegmentLock& operator=(const SegmentLock&) = delete;
    uint8_t* Get() const { return p_; }

private:
    TRL8ImageSegment& seg_;
    uint8_t* p_;
};

int32_t Clamp64(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

void TRL8ImageData::Initialize(uint16_t width, uint16_t height, const plat::BitmapInfo* info,
                               uint8_t transparent, uint8_t transparentColour,
                               TRL8ImageSegment* segments, uint8_t segmentCount) {
    Width = width;
    Height = height;
    Stride = static_cast<uint16_t>((width + 3u) & ~3u);
    BitmapInfo = info;
    Transparent = transparent;
    TransparentColour = transparentColour;
    Segments = segments;
    SegmentCount = segmentCount;
    ClipRect = GetBounds();
    KeyDisplay = 0;
    const TRL8Banding b = TRL8Banding::Compute(width, height);
    bandRows_ = b.Valid && b.Rows ? b.Rows : (height ? height : 1);
}

TRect TRL8ImageData::NormalizeRect(TRect r) const {
    r = r.Normalized();
    r.Left = std::max<int32_t>(r.Left, 0);
    r.Top = std::max<int32_t>(r.Top, 0);
    r.Right = std::min<int32_t>(r.Right, Width);
    r.Bottom = std::min<int32_t>(r.Bottom, Height);
    return r;
}

TRect TRL8ImageData::BandRect(int i) const {
    const int64_t start = int64_t{i} * bandRows_;
    const int64_t rows = std::min<int64_t>(bandRows_, Height - start);
    return TRect{0, static_cast<int32_t>(Height - (start + rows)), Width,
                 static_cast<int32_t>(Height - start)};
}

std::vector<uint8_t> TRL8ImageData::CopyPixels() {
    std::vector<uint8_t> pixels(std::size_t{Width} * Height);
    if (pixels.empty())
        return pixels;
    int32_t y = 0;
    uint8_t* p = StartLine(0, 0);
    for (;;) {
        std::memcpy(&pixels[std::size_t{static_cast<uint32_t>(y)} * Width], p, Width);
        if (y + 1 >= Height)
            break;
        p = NextStartLine(p, 0, y);
    }
    UnlockSegment(0, y);
    return pixels;
}

uint8_t* TRL8ImageData::StartLine(int32_t x, int32_t y) {
    if (!Inside(x, y) || !Segments)
        throw RL8Exception("StartLine: co-ordinates outside drawing area");
    const uint32_t b = uint32_t{Height} - 1u - static_cast<uint32_t>(y);
    const uint32_t seg = b / bandRows_;
    if (seg >= SegmentCount)
        throw RL8Exception("StartLine: co-ordinates outside drawing area");
    uint8_t* p = Segments[seg].Lock();
    if (!p)
        throw RL8Exception("StartLine: Lock failed");
    return p + std::size_t{b % bandRows_} * Stride + static_cast<uint32_t>(x);
}

uint8_t* TRL8ImageData::NextStartLine(uint8_t* address, int32_t x, int32_t& y) {
    ++y;
    if (!Inside(x, y) || y == 0)
        throw RL8Exception("NextStartLine: co-ordinates outside drawing area");
    if (SegmentOf(y) == SegmentOf(y - 1))
        return address - Stride;
    UnlockSegment(x, y - 1);
    return StartLine(x, y);
}

uint8_t* TRL8ImageData::PrevStartLine(uint8_t* address, int32_t x, int32_t& y) {
    --y;
    if (!Inside(x, y) || y + 1 >= Height)
        throw RL8Exception("PrevStartLine: co-ordinates outside drawing area");
    if (SegmentOf(y) == SegmentOf(y + 1))
        return address + Stride;
    UnlockSegment(x, y + 1);
    return StartLine(x, y);
}

void TRL8ImageData::UnlockSegment(int32_t x, int32_t y) {
    if (!Inside(x, y) || !Segments)
        throw RL8Exception("UnlockSegment: co-ordinates outside drawing area");
    const uint32_t seg = SegmentOf(y);
    if (seg >= SegmentCount)
        throw RL8Exception("UnlockSegment: co-ordinates outside drawing area");
    if (!Segments[seg].HasBlock())
        throw RL8Exception("UnlockSegment: Unlock failed");
    Segments[seg].Unlock();
}

void TRL8ImageData::AddDamage(const TRect& rect) {
    Damage.AddDamageRect(NormalizeRect(rect));
}

void TRL8ImageData::Draw(TPoint destPoint, TRL8ImageData& source, TRect sourceRect) {
    const int key = source.TransparentKey();
    int64_t dx = destPoint.X, dy = destPoint.Y;
    if (sourceRect.Left < 0) {
        dx -= sourceRect.Left;
        sourceRect.Left = 0;
    }
    if (sourceRect.Top < 0) {
        dy -= sourceRect.Top;
        sourceRect.Top = 0;
    }
    TRect src = source.NormalizeRect(sourceRect);
    const TRect placed{Clamp64(dx), Clamp64(dy), Clamp64(dx + RectWidth(src)),
                       Clamp64(dy + RectHeight(src))};
    TRect dest;
    if (placed.IsEmpty() || !TRect::Intersect(dest, placed, ClipRect))
        return;
    src.Left = Clamp64(src.Left + (int64_t{dest.Left} - dx));
    src.Right = src.Left + RectWidth(dest);
    src.Top = Clamp64(src.Top + (int64_t{dest.Top} - dy));
    src.Bottom = src.Top + RectHeight(dest);
    if (src.Left >= src.Right || src.Top >= src.Bottom)
        return;

    const std::size_t w = static_cast<std::size_t>(RectWidth(dest));
    int32_t sy = src.Top, dy2 = dest.Top;
    try {
        uint8_t* s = source.StartLine(src.Left, sy);
        uint8_t* d = StartLine(dest.Left, dy2);
        for (;;) {
            if (key < 0)
                std::memcpy(d, s, w);
            else
                CopyKeyed(d, s, w, static_cast<uint8_t>(key));
            if (dy2 + 1 >= dest.Bottom)
                break;
            s = source.NextStartLine(s, src.Left, sy);
            d = NextStartLine(d, dest.Left, dy2);
        }
    } catch (...) {
        // At most one segment of each surface is locked here; release them all.
        for (int i = 0; i < source.SegmentCount; ++i)
            source.Segments[i].Unlock();
        for (int i = 0; i < SegmentCount; ++i)
            Segments[i].Unlock();
        throw;
    }
    source.UnlockSegment(src.Left, src.Bottom - 1);
    UnlockSegment(dest.Left, dest.Bottom - 1);
    AddDamage(dest);
}

void TRL8ImageData::DisplayDamage(plat::DrawTarget& dc, TPoint origin) {
    for (TLumNode* n = Damage.Next(nullptr); n; n = Damage.Next(n)) {
        const TRect& r = static_cast<TDamageNode*>(n)->Rect;
        if (r.IsEmpty())
            continue; // paints nothing, and its corner may lie anywhere
        DisplayRect(
            dc, TPoint{Clamp64(int64_t{origin.X} + r.Left), Clamp64(int64_t{origin.Y} + r.Top)}, r);
    }
    Damage.Clear();
}

int TRL8ImageData::DisplayRect(plat::DrawTarget& dc, TPoint destPoint, const TRect& sourceRect) {
    if (SegmentCount == 0)
        return 0;
    if (!BitmapInfo)
        throw RL8Exception("PBMInfo not initialized for Display");
    // Clip to the surface, keeping the pixels where they would have been.
    if (sourceRect.IsEmpty())
        return 0;
    TRect sr;
    if (!TRect::Intersect(sr, sourceRect, GetBounds()))
        return 0;
    const int64_t destX = int64_t{destPoint.X} + (int64_t{sr.Left} - sourceRect.Left);
    const int64_t destTop = int64_t{destPoint.Y} + (int64_t{sr.Top} - sourceRect.Top);

    // The descriptions of the passes: the surface's own for a plain copy,
    // or a mask (transparent colour white, all else black) and a paint table
    // (identity with the transparent colour replaced).
    const bool useMask = Transparent && !KeyDisplay;
    const bool usePaint = Transparent || KeyDisplay;
    plat::BitmapInfo first = *BitmapInfo, paint;
    first.Width = Width;
    if (useMask) {
        first.Colors.fill(0);
        first.Colors[TransparentColour] = 255;
    }
    if (usePaint) {
        paint = plat::BitmapInfo::Template();
        paint.Width = Width;
        paint.Colors[TransparentColour] = KeyDisplay ? KeyColour : 0;
    }

    int64_t y = destTop + RectHeight(sr);
    int lines = 0;
    for (int i = 0; i < SegmentCount; ++i) {
        const TRect band = BandRect(i);
        TRect p;
        if (!TRect::Intersect(p, sr, band))
            continue;
        const int w = RectWidth(p), h = RectHeight(p);
        y -= h;
        const int32_t rows = RectHeight(band);
        SegmentLock lock(Segments[i]);
        const uint8_t* bits = lock.Get();
        if (!bits)
            continue;
        const int srcY = band.Bottom - p.Bottom;
        const int dX = Clamp64(destX), dY = Clamp64(y);
        for (plat::BitmapInfo* b : {&first, &paint}) {
            b->Height = rows;
            b->ImageSize = static_cast<uint32_t>(Stride) * static_cast<uint32_t>(rows);
        }
        if (KeyDisplay) {
            lines +=
                dc.TransferIndices(dX, dY, w, h, p.Left, srcY, bits, paint, plat::RasterOp::Copy);
        } else if (Transparent) {
            dc.TransferIndices(dX, dY, w, h, p.Left, srcY, bits, first, plat::RasterOp::And);
            lines +=
                dc.TransferIndices(dX, dY, w, h, p.Left, srcY, bits, paint, plat::RasterOp::Or);
        } else {
            lines +=
                dc.TransferIndices(dX, dY, w, h, p.Left, srcY, bits, first, plat::RasterOp::Copy);
        }
    }
    return lines;
}

// The drawable 8-bit surface of an image: its rows, reached band by band
// through the image's segments (shared, not owned), its transparency, and the
// dirty rectangles that still have to reach the screen. Co-ordinates have
// (0, 0) at the top-left; rectangles are half-open.
#pragma once
#include <cstdint>
#include <vector>

#include "image/DamageList.h"
#include "image/RL8ImageSegment.h"
#include "platform/BitmapInfo.h"
#include "platform/DrawTarget.h"
#include "platform/Point.h"
#include "platform/Rect.h"

class TRL8ImageData {
public:
    TRL8ImageData() = default;
    TRL8ImageData(const TRL8ImageData&) = delete;
    TRL8ImageData& operator=(const TRL8ImageData&) = delete;

    TRL8ImageSegment* Segments = nullptr; // the image's segments, not owned
    uint8_t SegmentCount = 0;
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint16_t Stride = 0;
    uint8_t TransparentColour = 0;
    uint8_t Transparent = 0;
    TDamageList Damage;
    const plat::BitmapInfo* BitmapInfo = nullptr; // display description, not owned
    TRect ClipRect;
    uint8_t KeyDisplay = 0;
    uint8_t KeyColour = 0;

    void Initialize(uint16_t width, uint16_t height, const plat::BitmapInfo* info,
                    uint8_t transparent, uint8_t transparentColour, TRL8ImageSegment* segments,
                    uint8_t segmentCount);

    TRect GetBounds() const { return TRect{0, 0, Width, Height}; }
    // TransparentColour when Transparent is set, otherwise -1.
    int TransparentKey() const { return Transparent ? TransparentColour : -1; }

    // Copies SourceRect of Source into this surface with its top-left at
    // DestPoint, skipping Source's transparent pixels, and records the changed
    // rectangle as damage. Source must be another surface.
    void Draw(TPoint destPoint, TRL8ImageData& source, TRect sourceRect);
    // Normalises Rect against the surface and adds it to Damage.
    void AddDamage(const TRect& rect);
    // Shows every dirty rectangle at Origin plus its top-left, then empties
    // Damage.
    void DisplayDamage(plat::DrawTarget& dc, TPoint origin);
    // Shows SourceRect (clipped to the surface) with its top-left at
    // DestPoint; returns the number of scan lines transferred.
    int DisplayRect(plat::DrawTarget& dc, TPoint destPoint, const TRect& sourceRect);
    void SetDisplayKey(uint8_t colour) {
        KeyDisplay = 1;
        KeyColour = colour;
    }

    // Row addressing: the address of pixel (X, Y), locking the segment that
    // holds the row; the Next and Prev forms step one row down or up the
    // screen, switching segments at band boundaries.
    uint8_t* StartLine(int32_t x, int32_t y);
    uint8_t* NextStartLine(uint8_t* address, int32_t x, int32_t& y);
    uint8_t* PrevStartLine(uint8_t* address, int32_t x, int32_t& y);
    void UnlockSegment(int32_t x, int32_t y);

    // Every pixel, top row first, Width bytes a row.
    std::vector<uint8_t> CopyPixels();

    // Swaps inverted edges and clips to the surface (may stay empty).
    TRect NormalizeRect(TRect rect) const;
    // The rectangle band I covers, in surface co-ordinates.
    TRect BandRect(int i) const;
    // Rows of every band but the last.
    uint32_t BandRows() const { return bandRows_; }

private:
    bool Inside(int32_t x, int32_t y) const { return x >= 0 && x < Width && y >= 0 && y < Height; }
    uint32_t SegmentOf(int32_t y) const {
        return (uint32_t{Height} - 1u - static_cast<uint32_t>(y)) / bandRows_;
    }

    uint32_t bandRows_ = 1;
};

// One image of a library: its 18-byte header and its pixels as a row of
// segments, each a band of whole rows (TRL8Banding). Segment 0 holds the
// bottom rows. An image read from a library stream keeps a pointer to the
// stream (owned by the library) and reads segment data from it on demand;
// it must not outlive the stream.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/RL8Banding.h"
#include "image/RL8ImageSegment.h"
#include "platform/BitmapInfo.h"
#include "platform/Stream.h"

class TRL8ImageData;

class TRL8Image {
public:
    static constexpr std::size_t kHeaderSize = 18;
    // Storage states.
    static constexpr uint8_t kNoSegments = 0;
    static constexpr uint8_t kCoded = 1;
    static constexpr uint8_t kPlain = 2;

    TRL8Image();
    virtual ~TRL8Image();
    TRL8Image(const TRL8Image&) = delete;
    TRL8Image& operator=(const TRL8Image&) = delete;

    // Header fields, in file order.
    char Name[8] = {};
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint8_t SegmentCount = 0;
    uint8_t State = kNoSegments;
    uint8_t TransparentColour = 0;
    uint8_t Transparent = 0;
    int16_t HeaderVersion = 3;

    // A new image of the given size. Without Source every pixel is 0 and the
    // state is plain. With Source (Height rows of Stride bytes, bottom row
    // first) the pixels are coded into the segments and the state is coded.
    // Raises "Invalid RL8 image header" for a size that cannot be banded.
    virtual void Initialize(const std::string& name, plat::Stream* source, uint16_t height,
                            uint16_t width);
    // Reads segment Index's data from the library stream into a new block:
    // as stored while the image is coded, decoded once the image is (a
    // decoded band whose storage was discarded). On failure the segment is
    // left as it was.
    virtual void LoadSegment(uint16_t index);

    // Reads the image record at the stream's position (headers only; pixel
    // data is read later). The stream must outlive the image.
    void LoadFromStream(plat::Stream& stream);
    // Decodes every coded segment; on failure frees all segments.
    void DecodeAll();
    void DecodeSegment(TRL8ImageSegment& segment, uint16_t width, uint16_t height);
    void GetSize(uint16_t& width, uint16_t& height) const {
        width = Width;
        height = Height;
    }
    // Decodes, then makes a surface over the segments; nullptr on failure.
    // Info (not owned) is the bitmap description used for display.
    std::unique_ptr<TRL8ImageData> CreateImageData(const plat::BitmapInfo* info);
    void FreeImageData(std::unique_ptr<TRL8ImageData> surface);
    void FreeSegments();

    TRL8ImageSegment* Segments() { return segments_.empty() ? nullptr : segments_.data(); }
    const TRL8Banding& Banding() const { return banding_; }
    // The header name up to its first zero byte.
    std::string HeaderName() const;

    // Raises "Invalid RL8 image header" unless Header (18 bytes) is a valid
    // image header whose segment count agrees with the banding rule.
    static void CheckHeader(const uint8_t* header);

    // Writes the image record (header, end table, segments) of an image
    // whose segments are present; Coded images write their coded data.
    void WriteRecord(plat::Stream& out);

private:
    void CreateSegments();
    // Decodes the stored data of Seg (coded as Flags say) into its rows.
    void DecodeRows(const TRL8ImageSegment& seg, uint8_t flags, uint16_t width, const uint8_t* src,
                    std::size_t codedSize, uint8_t* dst) const;

    std::vector<TRL8ImageSegment> segments_;
    std::vector<uint32_t> ends_; // segment end table, offsets from the record start
    TRL8Banding banding_;
    plat::Stream* stream_ = nullptr; // the library stream, not owned
    int64_t recordOffset_ = 0;
};

// Image records: header check, loading, lazy segment reads, decoding, coding.
#include "image/RL8Image.h"

#include <cstring>

#include "image/RL8Decoder.h"
#include "image/RL8Encoder.h"
#include "image/RL8Exception.h"
#include "image/RL8ImageData.h"

namespace {

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
void Put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

[[noreturn]] void InvalidHeader() {
    throw RL8Exception("Invalid RL8 image header");
}

constexpr uint8_t kStoredFlags =
    TRL8ImageSegment::kRawRows | TRL8ImageSegment::kSimple | TRL8ImageSegment::kCoded;

} // namespace

TRL8Image::TRL8Image() = default;

TRL8Image::~TRL8Image() {
    FreeSegments();
}

std::string TRL8Image::HeaderName() const {
    std::size_t n = 0;
    while (n < sizeof Name && Name[n])
        ++n;
    return std::string(Name, n);
}

void TRL8Image::CheckHeader(const uint8_t* h) {
    const uint16_t width = Get16(h + 8), height = Get16(h + 10);
    const uint8_t count = h[12], state = h[13];
    if (width == 0 || height == 0 || count == 0 || (state != kCoded && state != kPlain) ||
        Get16(h + 16) != 3)
        InvalidHeader();
    const TRL8Banding b = TRL8Banding::Compute(width, height);
    if (!b.Valid || b.Count != count)
        InvalidHeader();
}

void TRL8Image::CreateSegments() {
    segments_.clear();
    segments_.reserve(banding_.Count);
    for (uint32_t i = 0; i < banding_.Count; ++i)
        segments_.emplace_back(this, static_cast<uint16_t>(i));
}

void TRL8Image::FreeSegments() {
    segments_.clear();
    ends_.clear();
    State = kNoSegments;
}

void TRL8Image::LoadFromStream(plat::Stream& stream) {
    FreeSegments();
    recordOffset_ = stream.Position();
    stream_ = &stream;
    try {
        uint8_t h[kHeaderSize];
        if (!stream.ReadExact(h, sizeof h))
            InvalidHeader();
        CheckHeader(h);
        std::memcpy(Name, h, 8);
        Width = Get16(h + 8);
        Height = Get16(h + 10);
        SegmentCount = h[12];
        State = h[13];
        TransparentColour = h[14];
        Transparent = h[15];
        HeaderVersion = static_cast<int16_t>(Get16(h + 16));
        banding_ = TRL8Banding::Compute(Width, Height);

        // The end table: every segment record holds at least its 3-byte
        // header, coded sizes fit 16 bits and the record lies inside the file.
        std::vector<uint8_t> table(std::size_t{SegmentCount} * 4);
        if (!stream.ReadExact(table.data(), table.size()))
            InvalidHeader();
        const int64_t available = stream.Size() - recordOffset_;
        uint64_t start = kHeaderSize + table.size();
        ends_.resize(SegmentCount);
        for (std::size_t i = 0; i < SegmentCount; ++i) {
            ends_[i] = Get32(&table[i * 4]);
            if (ends_[i] < start + 3 || ends_[i] - start - 3 > 0xFFFF ||
                int64_t{ends_[i]} > available)
                InvalidHeader();
            start = ends_[i];
        }

        CreateSegments();
        start = kHeaderSize + table.size();
        for (std::size_t i = 0; i < SegmentCount; ++i) {
            TRL8ImageSegment& seg = segments_[i];
            const uint16_t size = static_cast<uint16_t>(ends_[i] - start - 3);
            seg.SetPlaceholder(size); // before the header: freeing clears the coded flag
            if (!stream.Seek(recordOffset_ + static_cast<int64_t>(start)) ||
                !seg.ReadHeader(stream))
                InvalidHeader();
            // The painting mark is run-time state; plain images are never decoded.
            seg.Flags &= kStoredFlags;
            if (State == kPlain)
                seg.Flags &= static_cast<uint8_t>(~TRL8ImageSegment::kCoded);
            seg.Stored = seg.Flags;
            // A segment used as stored must hold all its rows.
            if (!(seg.Flags & TRL8ImageSegment::kCoded) &&
                size < banding_.RowsOf(static_cast<uint32_t>(i)) * banding_.Stride)
                throw RL8Exception("Decode: source buffer overflow");
            start = ends_[i];
        }
        if (!stream.Seek(recordOffset_ + static_cast<int64_t>(ends_.back())))
            InvalidHeader();
    } catch (...) {
        stream_ = nullptr;
        FreeSegments();
        throw;
    }
}

void TRL8Image::LoadSegment(uint16_t index) {
    if (index >= segments_.size())
        throw RL8Exception("Segment Lock: segment buffer not allocated");
    TRL8ImageSegment& seg = segments_[index];
    if (!stream_ || ends_.size() != segments_.size())
        throw RL8Exception("Segment Lock: segment buffer not allocated");
    const uint32_t start = (index == 0 ? kHeaderSize + 4u * SegmentCount : ends_[index - 1u]) + 3u;
    const uint16_t size = static_cast<uint16_t>(ends_[index] - start);
    // The segment stays as it is (a placeholder that a later lock may read
    // again) until its new block is complete.
    auto block = plat::MemoryBlock::Allocate(size, plat::kMemDiscardable);
    if (!block)
        throw RL8Exception("Allocate: out of memory");
    auto* p = static_cast<uint8_t*>(block->Lock());
    const bool ok = p && stream_->Seek(recordOffset_ + start) && stream_->ReadExact(p, size);
    block->Unlock();
    if (!ok)
        throw RL8Exception("Decode: source buffer overflow");
    // Before the image is decoded (and for the record writer) a band is read
    // as stored; a band of a decoded image that lost its storage comes back
    // decoded.
    if (State != kPlain || !(seg.Stored & TRL8ImageSegment::kCoded)) {
        seg.Replace(std::move(block), size);
        seg.Flags &= static_cast<uint8_t>(~TRL8ImageSegment::kCoded);
        return;
    }
    const uint32_t rowBytes = banding_.RowsOf(index) * banding_.Stride;
    auto rows = plat::MemoryBlock::Allocate(rowBytes, plat::kMemDiscardable);
    if (!rows)
        throw RL8Exception("Allocate: out of memory");
    auto* dst = static_cast<uint8_t*>(rows->Lock());
    const auto* src = static_cast<const uint8_t*>(block->Lock());
    try {
        if (!dst || !src)
            throw RL8Exception("Segment Lock: segment buffer not allocated");
        DecodeRows(seg, seg.Stored, Width, src, size, dst);
    } catch (...) {
        rows->Unlock();
        block->Unlock();
        throw;
    }
    rows->Unlock();
    block->Unlock();
    seg.Replace(std::move(rows), static_cast<uint16_t>(rowBytes));
}

void TRL8Image::DecodeRows(const TRL8ImageSegment& seg, uint8_t flags, uint16_t width,
                           const uint8_t* src, std::size_t codedSize, uint8_t* dst) const {
    const uint32_t rows = banding_.RowsOf(seg.Index());
    const uint32_t stride = (uint32_t{width} + 3u) & ~3u;
    if (flags & TRL8ImageSegment::kSimple)
        TRL8Decoder::DecodeSimple(src, codedSize, dst, width, stride, rows, seg.Escape1);
    else
        TRL8Decoder::DecodeLineCodes(src, codedSize, dst, width, stride, rows, seg.Escape1,
                                     seg.Escape2, !(flags & TRL8ImageSegment::kRawRows));
}

void TRL8Image::DecodeSegment(TRL8ImageSegment& seg, uint16_t width, uint16_t /*height*/) {
    if (!(seg.Flags & TRL8ImageSegment::kCoded))
        return;
    const uint8_t flags = seg.Flags;
    const std::size_t codedSize = seg.DataSize();
    std::unique_ptr<plat::MemoryBlock> coded = seg.Detach();
    if (!coded)
        throw RL8Exception("Segment Lock: segment buffer not allocated");
    const auto* src = static_cast<const uint8_t*>(coded->Lock());
    if (!src)
        throw RL8Exception("Segment Lock: segment buffer not allocated");
    try {
        const uint32_t rows = banding_.RowsOf(seg.Index());
        const uint32_t stride = (uint32_t{width} + 3u) & ~3u;
        // Only a band that can be read from the library again may lose its
        // storage.
        seg.Allocate(static_cast<uint16_t>(rows * stride),
                     stream_ ? plat::kMemDiscardable : plat::kMemMovable);
        uint8_t* dst = seg.Lock();
        if (!dst)
            throw RL8Exception("Segment Lock: segment buffer not allocated");
        DecodeRows(seg, flags, width, src, codedSize, dst);
        seg.Flags &= static_cast<uint8_t>(~TRL8ImageSegment::kCoded);
        seg.Unlock();
    } catch (...) {
        coded->Unlock();
        seg.Free();
        throw;
    }
    coded->Unlock();
}

void TRL8Image::DecodeAll() {
    if (State != kCoded)
        return;
    try {
        for (auto& seg : segments_)
            DecodeSegment(seg, Width, Height);
    } catch (...) {
        FreeSegments();
        throw;
    }
    State = kPlain;
}

std::unique_ptr<TRL8ImageData> TRL8Image::CreateImageData(const plat::BitmapInfo* info) {
    try {
        DecodeAll();
        if (segments_.empty())
            return nullptr;
        auto surface = std::make_unique<TRL8ImageData>();
        surface->Initialize(Width, Height, info, Transparent, TransparentColour, segments_.data(),
                            static_cast<uint8_t>(segments_.size()));
        return surface;
    } catch (...) {
        return nullptr;
    }
}

void TRL8Image::FreeImageData(std::unique_ptr<TRL8ImageData> surface) {
    for (auto& seg : segments_)
        seg.Unlock();
    surface.reset();
}

void TRL8Image::Initialize(const std::string& name, plat::Stream* source, uint16_t height,
                           uint16_t width) {
    FreeSegments();
    stream_ = nullptr;
    std::memset(Name, 0, sizeof Name);
    std::memcpy(Name, name.data(), name.size() < sizeof Name ? name.size() : sizeof Name);
    Width = width;
    Height = height;
    TransparentColour = 0;
    Transparent = 0;
    HeaderVersion = 3;
    banding_ = TRL8Banding::Compute(width, height);
    if (!banding_.Valid)
        InvalidHeader();
    SegmentCount = static_cast<uint8_t>(banding_.Count);
    CreateSegments();
    try {
        if (!source) {
            for (auto& seg : segments_)
                seg.Allocate(static_cast<uint16_t>(banding_.RowsOf(seg.Index()) * banding_.Stride),
                             plat::kMemZeroInit);
            State = kPlain;
            return;
        }
        std::vector<uint8_t> rows(std::size_t{banding_.Rows} * banding_.Stride);
        for (auto& seg : segments_) {
            const uint32_t n = banding_.RowsOf(seg.Index());
            if (!source->ReadExact(rows.data(), std::size_t{n} * banding_.Stride))
                throw RL8Exception("Decode: source buffer overflow");
            TRL8Encoder::Coded c =
                TRL8Encoder::EncodeSegment(rows.data(), width, banding_.Stride, n);
            seg.Allocate(static_cast<uint16_t>(c.Data.size()), plat::kMemMovable);
            std::memcpy(seg.Lock(), c.Data.data(), c.Data.size());
            seg.Unlock();
            seg.Escape1 = c.Escape1;
            seg.Escape2 = c.Escape2;
            seg.Flags = c.Flags;
            seg.Stored = c.Flags;
        }
        State = kCoded;
    } catch (...) {
        FreeSegments();
        throw;
    }
}

void TRL8Image::WriteRecord(plat::Stream& out) {
    const std::size_t n = segments_.size();
    std::vector<uint8_t> head(kHeaderSize + 4 * n);
    std::memcpy(head.data(), Name, 8);
    Put16(&head[8], Width);
    Put16(&head[10], Height);
    head[12] = static_cast<uint8_t>(n);
    head[13] = State;
    head[14] = TransparentColour;
    head[15] = Transparent;
    Put16(&head[16], static_cast<uint16_t>(HeaderVersion));
    uint32_t end = static_cast<uint32_t>(head.size());
    for (std::size_t i = 0; i < n; ++i) {
        end += 3u + segments_[i].DataSize();
        Put32(&head[kHeaderSize + 4 * i], end);
    }
    if (!out.WriteExact(head.data(), head.size()))
        throw RL8Exception("WriteRecord: write failed");
    for (auto& seg : segments_) {
        const uint8_t h[3] = {seg.Escape1, seg.Escape2,
                              static_cast<uint8_t>(seg.Flags & kStoredFlags)};
        const uint16_t size = seg.DataSize();
        const uint8_t flags = seg.Flags;
        // Locking a placeholder reads its data, which clears the coded flag.
        const uint8_t* p = seg.Lock();
        const bool ok = p && out.WriteExact(h, 3) && out.WriteExact(p, size);
        seg.Unlock();
        seg.Flags = flags;
        if (!ok)
            throw RL8Exception("WriteRecord: write failed");
    }
}

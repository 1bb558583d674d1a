// One band of an image's rows in a movable memory block. A segment is empty
// (no block), a placeholder (a block without storage whose DataSize is known,
// filled from the library file by the owner image on the first Lock) or
// present (a block of DataSize bytes). Locks do not nest: Lock of a locked
// segment returns the same address and one Unlock releases it.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/MemoryBlock.h"
#include "platform/Stream.h"

class TRL8Image;

class TRL8ImageSegment {
public:
    // Flag bits.
    static constexpr uint8_t kRawRows = 1; // rows are stored without line codes
    static constexpr uint8_t kSimple = 2;  // simple run-length scheme
    static constexpr uint8_t kInUse = 4;   // being painted
    static constexpr uint8_t kCoded = 8;   // block holds data still to be decoded

    // Image (not owned) is asked for the data of a placeholder; may be nullptr.
    TRL8ImageSegment(TRL8Image* image, uint16_t index);
    ~TRL8ImageSegment();
    TRL8ImageSegment(TRL8ImageSegment&& other) noexcept;
    TRL8ImageSegment& operator=(TRL8ImageSegment&&) = delete;
    TRL8ImageSegment(const TRL8ImageSegment&) = delete;
    TRL8ImageSegment& operator=(const TRL8ImageSegment&) = delete;

    uint8_t Escape1 = 0;
    uint8_t Escape2 = 0;
    uint8_t Flags = 0;  // the state of the block (kCoded: it holds data to decode)
    uint8_t Stored = 0; // how the library file stores the data (kRawRows, kSimple, kCoded)

    // Reads the 3-byte segment header; false when the stream ends first.
    bool ReadHeader(plat::Stream& stream);
    void SetPlaceholder(uint16_t size);
    // Raises "Allocate: out of memory" when the platform gives no block; the
    // segment is then unchanged.
    void Allocate(uint16_t size, unsigned memFlags);
    // Takes Block (DataSize bytes of data, unlocked) in place of the current one.
    void Replace(std::unique_ptr<plat::MemoryBlock> block, uint16_t size);
    // Drops the storage of an unlocked discardable block, as the platform may
    // when memory runs short; the next Lock reads it again. False when the
    // block is not discardable, locked or already without storage.
    bool Discard();
    // The block's address, reading a placeholder's data first. Raises
    // "Segment Lock: segment buffer not allocated" without a block; nullptr
    // when the block cannot be locked.
    uint8_t* Lock();
    void Unlock();
    // Hands the block (with its data, made non-discardable) to the caller and
    // leaves the segment empty; nullptr when it had none.
    std::unique_ptr<plat::MemoryBlock> Detach();
    void Free();

    bool InUse() const { return (Flags & kInUse) != 0; }
    void SetInUse(bool value);

    uint16_t Index() const { return index_; }
    uint16_t DataSize() const { return dataSize_; }
    bool HasBlock() const { return block_ != nullptr; }
    bool IsLocked() const { return pointer_ != nullptr; }
    bool IsPlaceholder() const { return block_ && block_->IsDiscarded(); }
    TRL8Image* Image() const { return image_; }

private:
    std::unique_ptr<plat::MemoryBlock> block_;
    uint8_t* pointer_ = nullptr; // locked address of block_
    uint16_t index_;
    uint16_t dataSize_ = 0;
    TRL8Image* image_;
};

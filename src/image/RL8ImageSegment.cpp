// Segment memory states and locking.
#include "image/RL8ImageSegment.h"

#include "image/RL8Exception.h"
#include "image/RL8Image.h"

TRL8ImageSegment::TRL8ImageSegment(TRL8Image* image, uint16_t index)
    : index_(index), image_(image) {}

TRL8ImageSegment::~TRL8ImageSegment() {
    Free();
}

TRL8ImageSegment::TRL8ImageSegment(TRL8ImageSegment&& other) noexcept
    : Escape1(other.Escape1), Escape2(other.Escape2), Flags(other.Flags), Stored(other.Stored),
      block_(std::move(other.block_)), pointer_(other.pointer_), index_(other.index_),
      dataSize_(other.dataSize_), image_(other.image_) {
    other.pointer_ = nullptr;
    other.dataSize_ = 0;
}

bool TRL8ImageSegment::ReadHeader(plat::Stream& stream) {
    uint8_t h[3];
    if (!stream.ReadExact(h, 3))
        return false;
    Escape1 = h[0];
    Escape2 = h[1];
    Flags = h[2];
    return true;
}

void TRL8ImageSegment::SetPlaceholder(uint16_t size) {
    Free();
    block_ = plat::MemoryBlock::Allocate(8, plat::kMemDiscardable);
    if (!block_)
        throw RL8Exception("Allocate: out of memory");
    block_->Discard();
    dataSize_ = size;
}

void TRL8ImageSegment::Allocate(uint16_t size, unsigned memFlags) {
    auto block = plat::MemoryBlock::Allocate(size, memFlags);
    if (!block)
        throw RL8Exception("Allocate: out of memory");
    Free();
    block_ = std::move(block);
    dataSize_ = size;
}

void TRL8ImageSegment::Replace(std::unique_ptr<plat::MemoryBlock> block, uint16_t size) {
    Unlock();
    block_ = std::move(block);
    dataSize_ = size;
}

bool TRL8ImageSegment::Discard() {
    if (!block_ || pointer_ || block_->IsDiscarded() || !(block_->Flags() & plat::kMemDiscardable))
        return false;
    return block_->Discard();
}

uint8_t* TRL8ImageSegment::Lock() {
    if (!block_)
        throw RL8Exception("Segment Lock: segment buffer not allocated");
    if (pointer_)
        return pointer_;
    pointer_ = static_cast<uint8_t*>(block_->Lock());
    if (!pointer_ && block_->IsDiscarded() && image_) {
        image_->LoadSegment(index_);
        if (block_)
            pointer_ = static_cast<uint8_t*>(block_->Lock());
    }
    return pointer_;
}

void TRL8ImageSegment::Unlock() {
    if (block_ && pointer_)
        block_->Unlock();
    pointer_ = nullptr;
}

std::unique_ptr<plat::MemoryBlock> TRL8ImageSegment::Detach() {
    if (!block_)
        return nullptr;
    Lock();
    Unlock();
    auto block = std::move(block_);
    block->SetFlags(plat::kMemMovable);
    dataSize_ = 0;
    Flags &= static_cast<uint8_t>(~kCoded);
    return block;
}

void TRL8ImageSegment::Free() {
    Unlock();
    Flags &= static_cast<uint8_t>(~kCoded);
    block_.reset();
    dataSize_ = 0;
}

void TRL8ImageSegment::SetInUse(bool value) {
    if (value)
        Flags |= kInUse;
    else
        Flags &= static_cast<uint8_t>(~kInUse);
}

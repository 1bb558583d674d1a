// Movable memory blocks on the heap.
#include "platform/MemoryBlock.h"

#include <cstring>
#include <new>

namespace plat {

namespace {
int failCountdown = 0;

bool AllocationAllowed() {
    if (failCountdown <= 0)
        return true;
    return --failCountdown != 0;
}

std::unique_ptr<uint8_t[]> NewStorage(std::size_t size, bool zero) {
    // At least one byte, so that a zero-size block still counts as present.
    std::unique_ptr<uint8_t[]> p(new (std::nothrow) uint8_t[size ? size : 1]);
    if (p && zero)
        std::memset(p.get(), 0, size ? size : 1);
    return p;
}
} // namespace

void MemoryBlock::FailAllocationAfter(int n) {
    failCountdown = n;
}

std::unique_ptr<MemoryBlock> MemoryBlock::Allocate(std::size_t size, unsigned flags) {
    if (!AllocationAllowed())
        return nullptr;
    auto storage = NewStorage(size, flags & kMemZeroInit);
    if (!storage)
        return nullptr;
    std::unique_ptr<MemoryBlock> block(new MemoryBlock());
    block->data_ = std::move(storage);
    block->size_ = size;
    block->flags_ = flags & ~kMemZeroInit;
    return block;
}

MemoryBlock::~MemoryBlock() = default;

void* MemoryBlock::Lock() {
    if (!data_)
        return nullptr;
    ++locks_;
    return data_.get();
}

bool MemoryBlock::Unlock() {
    if (locks_ <= 0)
        return false;
    --locks_;
    return true;
}

bool MemoryBlock::Reallocate(std::size_t size, unsigned flags) {
    if (locks_ > 0 || !AllocationAllowed())
        return false;
    auto storage = NewStorage(size, flags & kMemZeroInit);
    if (!storage)
        return false;
    if (data_)
        std::memcpy(storage.get(), data_.get(), size < size_ ? size : size_);
    data_ = std::move(storage);
    size_ = size;
    flags_ = flags & ~kMemZeroInit;
    return true;
}

bool MemoryBlock::Discard() {
    if (locks_ > 0)
        return false;
    data_.reset();
    return true;
}

} // namespace plat

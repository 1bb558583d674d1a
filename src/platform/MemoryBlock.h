// Movable memory blocks, standing in for the platform's movable global memory.
// A block has a handle (the object) and storage; a discardable block may lose
// its storage while unlocked (Discard), after which Lock gives nullptr and
// IsDiscarded is true until Reallocate gives it storage again. Blocks are owned
// through std::unique_ptr; destroying the object frees the block.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

namespace plat {

enum MemFlags : unsigned {
    kMemMovable = 0,
    kMemDiscardable = 1u << 0,
    kMemZeroInit = 1u << 1,
};

class MemoryBlock {
public:
    // A new block of Size bytes, or nullptr when no memory can be had (or a
    // test has asked for the next allocations to fail).
    static std::unique_ptr<MemoryBlock> Allocate(std::size_t size, unsigned flags);

    ~MemoryBlock();
    MemoryBlock(const MemoryBlock&) = delete;
    MemoryBlock& operator=(const MemoryBlock&) = delete;

    // Address of the storage, valid until the matching Unlock; nullptr for a
    // discarded block. Locks nest; each Lock needs one Unlock.
    void* Lock();
    // False when the block was not locked.
    bool Unlock();
    // New size (contents kept up to the smaller size; new bytes zeroed when
    // kMemZeroInit is given). Gives a discarded block storage again. Fails on a
    // locked block or when no memory can be had; the block is then unchanged.
    bool Reallocate(std::size_t size, unsigned flags);
    // Changes the flags only (for example makes a block non-discardable).
    void SetFlags(unsigned flags) { flags_ = flags; }
    // Drops the storage of an unlocked block; the handle stays valid.
    bool Discard();

    bool IsDiscarded() const { return !data_; }
    std::size_t Size() const { return data_ ? size_ : 0; }
    unsigned Flags() const { return flags_; }
    int LockCount() const { return locks_; }

    // Test hook: the Nth allocation or reallocation from now (1 = the next)
    // fails; 0 switches failures off.
    static void FailAllocationAfter(int n);

private:
    MemoryBlock() = default;
    std::unique_ptr<uint8_t[]> data_;
    std::size_t size_ = 0;
    unsigned flags_ = 0;
    int locks_ = 0;
};

} // namespace plat

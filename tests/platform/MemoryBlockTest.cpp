// Movable memory blocks: lock nesting, discarding, reallocation and failures.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/MemoryBlock.h"

using plat::MemoryBlock;

TEST(MemoryBlock, ZeroInitLockAndNesting) {
    auto b = MemoryBlock::Allocate(64, plat::kMemZeroInit);
    ASSERT_TRUE(b);
    auto* p = static_cast<uint8_t*>(b->Lock());
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(p[i], 0);
    EXPECT_EQ(b->Lock(), p);
    EXPECT_EQ(b->LockCount(), 2);
    EXPECT_TRUE(b->Unlock());
    EXPECT_TRUE(b->Unlock());
    EXPECT_FALSE(b->Unlock());
    EXPECT_EQ(b->Size(), 64u);
}

TEST(MemoryBlock, DiscardLeavesHandleWithoutStorage) {
    auto b = MemoryBlock::Allocate(8, plat::kMemDiscardable);
    ASSERT_TRUE(b);
    b->Lock();
    EXPECT_FALSE(b->Discard()) << "a locked block keeps its storage";
    b->Unlock();
    EXPECT_TRUE(b->Discard());
    EXPECT_TRUE(b->IsDiscarded());
    EXPECT_EQ(b->Lock(), nullptr);
    EXPECT_EQ(b->Size(), 0u);
    ASSERT_TRUE(b->Reallocate(16, plat::kMemMovable));
    EXPECT_FALSE(b->IsDiscarded());
    EXPECT_NE(b->Lock(), nullptr);
    b->Unlock();
}

TEST(MemoryBlock, ReallocateKeepsContents) {
    auto b = MemoryBlock::Allocate(4, 0);
    std::memcpy(b->Lock(), "abcd", 4);
    EXPECT_FALSE(b->Reallocate(8, 0)) << "a locked block cannot move";
    b->Unlock();
    ASSERT_TRUE(b->Reallocate(8, plat::kMemZeroInit));
    auto* p = static_cast<char*>(b->Lock());
    EXPECT_EQ(std::string(p, 4), "abcd");
    EXPECT_EQ(p[7], 0);
    b->Unlock();
}

TEST(MemoryBlock, InjectedFailures) {
    MemoryBlock::FailAllocationAfter(2);
    auto a = MemoryBlock::Allocate(4, 0);
    auto b = MemoryBlock::Allocate(4, 0);
    auto c = MemoryBlock::Allocate(4, 0);
    EXPECT_TRUE(a);
    EXPECT_FALSE(b);
    EXPECT_TRUE(c);
    MemoryBlock::FailAllocationAfter(1);
    EXPECT_FALSE(a->Reallocate(100, 0));
    EXPECT_EQ(a->Size(), 4u) << "a failed reallocation leaves the block as it was";
}

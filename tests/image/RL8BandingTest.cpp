// The banding rule: stride, rows per band and band count, and the sizes that
// cannot be banded.
#include <gtest/gtest.h>

#include "image/RL8Banding.h"

TEST(RL8Banding, BandsNeverExceedTheLimitAndCoverTheImage) {
    const TRL8Banding scene = TRL8Banding::Compute(550, 370);
    EXPECT_TRUE(scene.Valid);
    EXPECT_EQ(scene.Stride, 552u);
    EXPECT_EQ(scene.Count, 4u);
    EXPECT_EQ(scene.Rows, 93u);
    EXPECT_EQ(scene.LastRows, 91u);

    for (uint32_t w : {1u, 2u, 3u, 4u})
        EXPECT_EQ(TRL8Banding::Compute(w, 1).Stride, 4u);
    EXPECT_EQ(TRL8Banding::Compute(5, 1).Stride, 8u);
    const TRL8Banding one = TRL8Banding::Compute(1, 1);
    EXPECT_EQ(one.Count, 1u);
    EXPECT_EQ(one.Rows, 1u);

    for (uint32_t w : {1u, 7u, 640u, 4000u, 65280u}) {
        for (uint32_t h : {1u, 2u, 163u, 16320u, 65535u}) {
            const TRL8Banding b = TRL8Banding::Compute(w, h);
            if (!b.Valid) {
                EXPECT_GT(uint64_t{b.Stride} * h, 255ull * 65280) << w << "x" << h;
                continue;
            }
            EXPECT_LE(b.Rows * b.Stride, 65280u);
            EXPECT_GE(b.LastRows, 1u);
            EXPECT_LE(b.LastRows, b.Rows);
            EXPECT_EQ(b.Rows * (b.Count - 1) + b.LastRows, h);
        }
    }
}

TEST(RL8Banding, UnbandableSizesAreInvalid) {
    EXPECT_FALSE(TRL8Banding::Compute(0, 5).Valid);
    EXPECT_FALSE(TRL8Banding::Compute(5, 0).Valid);
    // A row wider than a band would never fit: rejected, not looped on.
    EXPECT_FALSE(TRL8Banding::Compute(65281, 1).Valid);
    EXPECT_FALSE(TRL8Banding::Compute(65535, 10).Valid);
    // More than 255 bands.
    EXPECT_FALSE(TRL8Banding::Compute(65280, 256).Valid);
    EXPECT_TRUE(TRL8Banding::Compute(65280, 255).Valid);
}

// The keyboard focus ring: its frame at the scene's edges, its shape, the
// strips it damages, and that taking it away gives back every pixel.
#include <gtest/gtest.h>

#include "SceneFixture.h"
#include "scene/FocusOutline.h"

TEST(FocusOutline, FrameKeepsItsGapAndStaysInsideTheScene) {
    const TRect scene{0, 0, 550, 370};
    EXPECT_EQ(TFocusOutline::Frame({100, 100, 150, 140}, scene), (TRect{97, 97, 153, 143}));
    // At the top edge the frame moves down and keeps its size.
    EXPECT_EQ(TFocusOutline::Frame({22, 1, 55, 55}, scene), (TRect{19, 0, 58, 60}));
    EXPECT_EQ(TFocusOutline::Frame({507, 1, 548, 33}, scene), (TRect{503, 0, 550, 38}));
    // Larger than the scene: cut to it.
    EXPECT_EQ(TFocusOutline::Frame({-10, -10, 600, 400}, scene), scene);
}

TEST(FocusOutline, RingIsThreeRowsWithRoundedCorners) {
    static_assert(TFocusOutline::kThickness == 3);
    const TRect f{10, 20, 40, 38};
    int counts[4] = {};
    for (int32_t y = 0; y < 60; ++y)
        for (int32_t x = 0; x < 60; ++x) {
            const int row = TFocusOutline::Row(f, x, y);
            ASSERT_TRUE(row >= 0 && row <= 3);
            EXPECT_TRUE(row == 0 || f.Contains(x, y));
            ++counts[row];
        }
    // Along the straight edges: the outermost pixel is row 1, then rows 2
    // and 3, then the inside is free.
    for (int32_t x = 17; x < 33; ++x)
        for (int row = 1; row <= 4; ++row) {
            EXPECT_EQ(TFocusOutline::Row(f, x, 20 + row - 1), row % 4) << x;
            EXPECT_EQ(TFocusOutline::Row(f, x, 38 - row), row % 4) << x;
        }
    for (int32_t y = 27; y < 31; ++y)
        for (int row = 1; row <= 4; ++row) {
            EXPECT_EQ(TFocusOutline::Row(f, 10 + row - 1, y), row % 4) << y;
            EXPECT_EQ(TFocusOutline::Row(f, 40 - row, y), row % 4) << y;
        }
    // The corners are cut.
    for (const auto& [x, y] : {std::pair{10, 20}, {39, 20}, {10, 37}, {39, 37}})
        EXPECT_EQ(TFocusOutline::Row(f, x, y), 0) << x << "," << y;
    // Each row runs all the way round: about as long as the frame's edge.
    for (int row = 1; row <= 3; ++row) {
        const int w = 30 - 2 * (row - 1), h = 18 - 2 * (row - 1);
        EXPECT_GT(counts[row], 2 * (w + h) - 4 * 2 * TFocusOutline::kRadius) << row;
        EXPECT_LE(counts[row], 2 * (w + h)) << row;
    }

    // The strips hold every ring pixel and lie within the frame.
    const std::vector<TRect> strips = TFocusOutline::Strips(f);
    for (const TRect& s : strips) {
        TRect in;
        EXPECT_TRUE(TRect::Intersect(in, s, f) && in == s);
    }
    for (int32_t y = f.Top; y < f.Bottom; ++y)
        for (int32_t x = f.Left; x < f.Right; ++x)
            if (TFocusOutline::Row(f, x, y)) {
                bool held = false;
                for (const TRect& s : strips)
                    held = held || s.Contains(x, y);
                EXPECT_TRUE(held) << x << "," << y;
            }
    EXPECT_TRUE(TFocusOutline::Strips(TRect{}).empty());
    EXPECT_FALSE(TFocusOutline::Strips(TRect{0, 0, 3, 3}).empty());
}

TEST_F(SceneTest, OutlineGivesBackEveryPixelItCovered) {
    const std::vector<uint8_t> before = s.work->CopyPixels();
    s.work->Damage.Clear();
    TFocusOutline outline;
    const TRect f{2, 3, 60, 50};
    outline.Show(*s.work, f, 7, 9);
    ASSERT_TRUE(outline.Shown());
    const std::vector<uint8_t> shown = s.work->CopyPixels();
    for (int32_t y = 0; y < 60; ++y)
        for (int32_t x = 0; x < 70; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * s.work->Width + x;
            const int row = TFocusOutline::Row(f, x, y);
            EXPECT_EQ(shown[i], row == 1 || row == 3 ? 7
                                : row == 2           ? 9
                                                     : before[i])
                << x << "," << y;
        }
    EXPECT_NE(s.work->Damage.First, nullptr);
    // Shown again elsewhere: the first ring goes.
    outline.Show(*s.work, TRect{100, 100, 130, 120}, 7, 9);
    outline.Hide(*s.work);
    EXPECT_FALSE(outline.Shown());
    EXPECT_EQ(s.work->CopyPixels(), before);
    outline.Hide(*s.work); // twice: nothing

    // A frame reaching out of the work image is not drawn.
    outline.Show(*s.work, TRect{540, 360, 560, 380}, 7, 9);
    EXPECT_FALSE(outline.Shown());
    EXPECT_EQ(s.work->CopyPixels(), before);
}

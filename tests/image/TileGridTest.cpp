// Tile placement: the grid stays anchored at the control's corner whatever
// part is repainted.
#include <gtest/gtest.h>

#include "image/TileGrid.h"

TEST(TileGrid, ClipRectanglePicksTheGridCellsThatMeetIt) {
    const auto tiles = TileOrigins(TRect{45, 30, 100, 80}, 20, 20);
    std::vector<TPoint> expected;
    for (int y : {20, 40, 60})
        for (int x : {40, 60, 80})
            expected.push_back(TPoint{x, y});
    EXPECT_EQ(tiles, expected);

    // A clip that ends on a grid line needs no tile beyond it; one that
    // starts on a grid line starts with that tile.
    EXPECT_EQ(TileOrigins(TRect{0, 0, 64, 64}, 64, 64), (std::vector<TPoint>{{0, 0}}));
    EXPECT_EQ(TileOrigins(TRect{64, 0, 65, 1}, 64, 64), (std::vector<TPoint>{{64, 0}}));
    // Left of or above the corner the grid goes on.
    EXPECT_EQ(TileOrigins(TRect{-5, -1, 3, 2}, 20, 20),
              (std::vector<TPoint>{{-20, -20}, {0, -20}, {-20, 0}, {0, 0}}));
}

TEST(TileGrid, NothingToPaint) {
    EXPECT_TRUE(TileOrigins(TRect{10, 10, 10, 50}, 20, 20).empty());
    EXPECT_TRUE(TileOrigins(TRect{0, 0, 50, 50}, 0, 20).empty());
}

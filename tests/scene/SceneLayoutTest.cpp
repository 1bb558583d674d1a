// Where the main window puts its scene: the smallest client area and the
// centring with its odd pixel.
#include <gtest/gtest.h>

#include "scene/SceneLayout.h"

TEST(SceneLayout, ClientHoldsTheSceneWithTwentyPixelsOnEverySide) {
    EXPECT_EQ(TSceneLayout::MinClient(550), 590);
    EXPECT_EQ(TSceneLayout::MinClient(370), 410);
    // In the smallest client the scene stands one margin in.
    EXPECT_EQ(TSceneLayout::Centred(TSceneLayout::MinClient(550), 550), 20);
    EXPECT_EQ(TSceneLayout::Centred(TSceneLayout::MinClient(370), 370), 20);
}

TEST(SceneLayout, SceneIsCentredAndAnOddSparePixelGoesRightOrBelow) {
    EXPECT_EQ(TSceneLayout::Centred(801, 550), 125); // 125 left, 126 right
    EXPECT_EQ(TSceneLayout::Centred(600, 370), 115);
    for (int scene : {370, 550, 551})
        for (int client = TSceneLayout::MinClient(scene);
             client < TSceneLayout::MinClient(scene) + 6; ++client) {
            const int before = TSceneLayout::Centred(client, scene);
            const int after = client - scene - before;
            EXPECT_EQ(after - before, (client - scene) % 2) << scene << " in " << client;
        }
}

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

TEST(SceneLayout, TheSceneGrowsByWholeStepsWhenTheClientHoldsItWithItsMargins) {
    const auto scale = [](int w, int h) { return TSceneLayout::WindowScale(w, h); };
    EXPECT_EQ(scale(590, 410), 1) << "the normal size";
    EXPECT_EQ(scale(1920, 1080), 2) << "maximized on a full-HD screen";
    EXPECT_EQ(scale(1920, 1020), 2) << "the same with a panel";
    EXPECT_EQ(scale(1180, 820), 2) << "just large enough";
    EXPECT_EQ(scale(1179, 820), 1) << "one pixel too narrow";
    EXPECT_EQ(scale(1180, 819), 1) << "one pixel too low";
    EXPECT_EQ(scale(3840, 2160), 5);
    EXPECT_EQ(scale(3840, 1229), 2) << "the lower side decides";
    EXPECT_EQ(scale(100, 50), 1) << "never below the design size";
    EXPECT_EQ(scale(0, 0), 1);
    // A scaled scene with its margins fits where the scale was chosen.
    for (int w = 590; w < 2400; w += 37)
        for (int h = 410; h < 1700; h += 29) {
            const int n = scale(w, h);
            EXPECT_LE(TSceneLayout::MinClient(550) * n, w);
            EXPECT_LE(TSceneLayout::MinClient(370) * n, h);
        }
}

TEST(SceneLayout, ShownPointsGoBackToTheScenePixelWhoseBlockHoldsThem) {
    EXPECT_EQ(TSceneLayout::ToScene(0, 2), 0);
    EXPECT_EQ(TSceneLayout::ToScene(1, 2), 0);
    EXPECT_EQ(TSceneLayout::ToScene(109, 2), 54);
    EXPECT_EQ(TSceneLayout::ToScene(110, 2), 55);
    EXPECT_EQ(TSceneLayout::ToScene(-1, 2), -1) << "left of the scene stays left of it";
    EXPECT_EQ(TSceneLayout::ToScene(-2, 2), -1);
    EXPECT_EQ(TSceneLayout::ToScene(-3, 2), -2);
    EXPECT_EQ(TSceneLayout::ToScene(-5, 1), -5);
    EXPECT_EQ(TSceneLayout::ToScene(1099, 2), 549);
    // The credit strip grows with the scale.
    EXPECT_EQ(TSceneLayout::CreditStripHeight(19), 23);
    EXPECT_EQ(TSceneLayout::CreditStripHeight(37, 2), 45);
}

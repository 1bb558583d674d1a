// The living scene without a window: the regions and their edges,
// hover and balloon timing, restoring the scene, the idle gate, the inactive
// window, the credit clock, animation 17 and the click rules.
#include <gtest/gtest.h>

#include <map>

#include "SceneFixture.h"
#include "base/Random.h"
#include "sound/AppSound.h"

TEST_F(SceneTest, RegionEdgesAreHalfOpenAndTheExtraRectanglesComeLast) {
    EXPECT_EQ(scene->FindRegion({22, 1}), 1);
    EXPECT_EQ(scene->FindRegion({54, 54}), 1);
    EXPECT_EQ(scene->FindRegion({55, 20}), 0) << "right edge is outside";
    EXPECT_EQ(scene->FindRegion({30, 55}), 0) << "bottom edge is outside";
    EXPECT_EQ(scene->FindRegion({21, 1}), 0);
    EXPECT_EQ(scene->FindRegion({547, 32}), 14);
    EXPECT_EQ(scene->FindRegion({548, 10}), 0);

    EXPECT_EQ(scene->FindRegion({274, 50}), 6) << "extra rectangle of region 6";
    EXPECT_EQ(scene->FindRegion({292, 89}), 6);
    EXPECT_EQ(scene->FindRegion({293, 60}), 0);
    EXPECT_EQ(scene->FindRegion({280, 90}), 0);
    EXPECT_EQ(scene->FindRegion({174, 163}), 9) << "extra rectangle of region 9";
    EXPECT_EQ(scene->FindRegion({207, 194}), 9);
    EXPECT_EQ(scene->FindRegion({208, 172}), 0);
    // Region 9's own rectangle starts where its extra one ends.
    EXPECT_EQ(scene->FindRegion({208, 173}), 9);
}

TEST_F(SceneTest, BalloonAtTheFirstTickAfterHalfASecond) {
    const uint32_t t = kStart + 10000;
    EXPECT_EQ(scene->UpdateHover({30, 20}, t), 5);
    EXPECT_EQ(scene->HotRegion, 1);
    EXPECT_EQ(scene->Anim(1).State, 1);
    EXPECT_TRUE(scene->Anim(1).Held);
    scene->Tick(t + 500, true);
    EXPECT_FALSE(scene->Region(1).BalloonShown) << "not before 500 ms have passed";
    auto r = scene->Tick(t + 501, true);
    EXPECT_TRUE(r.repaint);
    EXPECT_TRUE(scene->Region(1).BalloonShown);

    // The balloon's opaque pixels are in the work image.
    const TRect src = scene->Region(1).BalloonSource;
    const TPoint at = scene->Region(1).BalloonPos;
    const auto work = s.work->CopyPixels();
    const auto speech = s.balloons->CopyPixels();
    int checked = 0;
    for (int y = src.Top; y < src.Bottom; ++y)
        for (int x = src.Left; x < src.Right; ++x) {
            const uint8_t b = speech[static_cast<std::size_t>(y * s.balloons->Width + x)];
            if (s.balloons->Transparent && b == s.balloons->TransparentColour)
                continue;
            ++checked;
            ASSERT_EQ(work[static_cast<std::size_t>((at.Y + y - src.Top) * s.work->Width + at.X +
                                                    x - src.Left)],
                      b);
        }
    EXPECT_GT(checked, 100);

    // Moving inside the region changes nothing.
    EXPECT_EQ(scene->UpdateHover({31, 21}, t + 600), 5);
    EXPECT_TRUE(scene->Region(1).BalloonShown);

    // Leaving restores the scene and every animation in its current frame.
    scene->Anim(7).SetState(1, t); // one animation elsewhere in its other frame
    scene->Anim(7).Draw(*s.frames, *s.work);
    EXPECT_EQ(scene->UpdateHover({300, 100}, t + 700), 4);
    EXPECT_FALSE(scene->Region(1).BalloonShown);
    EXPECT_EQ(scene->Anim(1).State, 0);
    EXPECT_FALSE(scene->Anim(1).Held);
    EXPECT_EQ(s.work->CopyPixels(), Expected());
}

TEST_F(SceneTest, LeavingTheSceneIsAMoveToAnEmptySpot) {
    const uint32_t t = kStart + 10000;
    const std::vector<uint8_t> clean = s.work->CopyPixels();
    scene->UpdateHover({30, 20}, t);
    scene->Tick(t + 501, true);
    ASSERT_TRUE(scene->Region(1).BalloonShown);
    scene->Anim(7).SetState(1, t); // a free animation in its other frame
    scene->Anim(7).Draw(*s.frames, *s.work);

    EXPECT_EQ(scene->MouseLeave(t + 700), 4);
    EXPECT_EQ(scene->HotRegion, 0);
    EXPECT_FALSE(scene->Region(1).BalloonShown);
    EXPECT_EQ(scene->Anim(1).State, 0);
    EXPECT_EQ(scene->Anim(2).State, 0);
    EXPECT_FALSE(scene->Anim(1).Held);
    EXPECT_EQ(scene->Anim(7).State, 0) << "free animations rest, as after any move";
    EXPECT_EQ(scene->IdleUntil, t + 700 + 2500);
    EXPECT_EQ(s.work->CopyPixels(), Expected());
    scene->Anim(7).Draw(*s.frames, *s.work); // what the next stepping tick draws
    EXPECT_EQ(s.work->CopyPixels(), clean) << "the balloon and the awake characters are gone";

    // Leaving again, or before any hover, changes nothing more.
    EXPECT_EQ(scene->MouseLeave(t + 800), 4);
    EXPECT_EQ(s.work->CopyPixels(), clean);
}

TEST_F(SceneTest, NoBalloonWhenTheMouseLeavesEarlyOrOverTheOtherRegions) {
    const uint32_t t = kStart + 10000;
    scene->UpdateHover({30, 20}, t);
    scene->Tick(t + 300, true);
    scene->UpdateHover({300, 100}, t + 400);
    scene->Tick(t + 900, true);
    EXPECT_FALSE(scene->Region(1).BalloonShown);
    for (int n : {12, 13, 14}) {
        const TRect r = scene->Region(n).HitRect;
        scene->UpdateHover({r.Left, r.Top}, t + 1000);
        EXPECT_EQ(scene->HotRegion, n);
        scene->Tick(t + 2000, true);
        EXPECT_FALSE(scene->Region(n).BalloonShown);
    }
}

TEST_F(SceneTest, IdleGateAndInactiveWindow) {
    uint32_t t = kStart;
    scene->UpdateHover({300, 100}, t);
    const auto before = States();
    for (uint32_t now = t; now <= t + 2500; now += 55)
        scene->Tick(now, true);
    EXPECT_EQ(States(), before) << "frozen for 2.5 s after the mouse moved";

    // Inactive: nothing moves for a minute and no ambient sound starts.
    sounds.clear();
    t += 3000;
    for (uint32_t now = t; now <= t + 60000; now += 55) {
        auto r = scene->Tick(now, false);
        EXPECT_FALSE(r.repaint);
    }
    EXPECT_EQ(States(), before);
    EXPECT_TRUE(sounds.empty());
    // Back to active: still 2 s of rest.
    t += 60000;
    for (uint32_t now = t; now <= t + 1900; now += 55)
        scene->Tick(now, true);
    EXPECT_EQ(States(), before);
    // Then they move again, with some sounds.
    bool moved = false;
    for (uint32_t now = t + 2100; now <= t + 120000; now += 55) {
        scene->Tick(now, true);
        moved = moved || States() != before;
    }
    EXPECT_TRUE(moved);
    EXPECT_FALSE(sounds.empty());
    for (uint8_t n : sounds)
        EXPECT_LE(n, 10);
}

TEST_F(SceneTest, Animation17RestsWhileAnimation16Rests) {
    scene->Anim(16).Held = true; // keep 16 at rest
    const uint8_t start17 = scene->Anim(17).State;
    for (uint32_t now = kStart; now <= kStart + 120000; now += 55)
        scene->Tick(now, true);
    EXPECT_EQ(scene->Anim(17).State, start17);
    EXPECT_EQ(scene->Anim(16).State, 0);
    scene->Anim(16).Held = false;
    bool moved = false;
    for (uint32_t now = kStart + 120000; now <= kStart + 400000 && !moved; now += 55) {
        scene->Tick(now, true);
        moved = scene->Anim(17).State != start17;
        if (moved) {
            EXPECT_EQ(scene->Anim(16).State, 1);
        }
    }
    EXPECT_TRUE(moved);
}

TEST_F(SceneTest, CreditLineClock) {
    // First line 5 s after the window first becomes active; 125 ms a step.
    uint32_t t = kStart;
    auto r = scene->Tick(t, true);
    EXPECT_FALSE(r.creditChanged);
    r = scene->Tick(t + 5000 + 125, true);
    EXPECT_TRUE(r.creditChanged);
    EXPECT_EQ(scene->CreditLine, 0);
    EXPECT_EQ(scene->CreditPhase, 1);
    scene->Tick(t + 5000 + 4 * 125, true);
    EXPECT_EQ(scene->CreditPhase, 4);
    // Time while inactive does not count: from the inactive tick to the next
    // active one the clock stands still.
    scene->Tick(t + 6000, false);
    scene->Tick(t + 12000, false);
    scene->Tick(t + 16000, true);
    EXPECT_EQ(scene->CreditPhase, 4);
    const uint32_t base = t + 15000; // the active clock's zero now
    scene->Tick(base + 125 * 104 - 1, true);
    EXPECT_EQ(scene->CreditLine, 0);
    scene->Tick(base + 125 * 104, true);
    EXPECT_EQ(scene->CreditLine, 1);
    EXPECT_EQ(scene->CreditPhase, 0);
    // Fade-out phases, and the last line stays until the cycle restarts.
    scene->Tick(base + 125 * (104 * 3 + 101), true);
    EXPECT_EQ(scene->CreditLine, 3);
    EXPECT_EQ(scene->CreditPhase, 6);
    scene->Tick(base + 125 * 1039, true);
    scene->Tick(base + 125 * 2000, true);
    EXPECT_EQ(scene->CreditLine, 9);
    EXPECT_EQ(scene->CreditPhase, 8);
    scene->Tick(base + 125 * 4801, true);
    EXPECT_EQ(scene->CreditLine, 0);
    EXPECT_EQ(scene->CreditPhase, 0);
}

TEST_F(SceneTest, ClicksAndTheSoundSwitchWithoutDevices) {
    const uint32_t t = kStart;
    auto c = scene->MouseDown({30, 20}, t);
    EXPECT_EQ(c.action, TScene::Action::OpenTale);
    EXPECT_EQ(c.tale, 1);
    EXPECT_EQ(scene->MouseDown({470, 310}, t).action, TScene::Action::OpenWords);
    EXPECT_EQ(scene->MouseDown({10, 300}, t).action, TScene::Action::Quit);
    EXPECT_EQ(scene->MouseDown({300, 100}, t).action, TScene::Action::None);

    std::map<int, int> tales;
    for (int i = 0; i < 10000; ++i) {
        c = scene->MouseDown({340, 300}, t);
        ASSERT_EQ(c.action, TScene::Action::OpenTale);
        ++tales[c.tale];
    }
    ASSERT_EQ(tales.size(), 10u);
    EXPECT_EQ(tales.begin()->first, 1);
    EXPECT_EQ(tales.rbegin()->first, 10);
    for (auto [tale, count] : tales)
        EXPECT_NEAR(count, 1000, 150) << "tale " << tale;

    // No wave-out device: the switch leaves sound off and shows it.
    ASSERT_FALSE(SoundOn);
    c = scene->MouseDown({520, 10}, t);
    EXPECT_EQ(c.action, TScene::Action::SoundSwitched);
    EXPECT_FALSE(SoundOn);
    EXPECT_EQ(scene->Anim(20).FrameSource[0], TScene::kSoundOffFrame);
    EXPECT_EQ(scene->HotRegion, 0);
    EXPECT_EQ(scene->Anim(20).State, 0);
}

TEST(Anim, HoldAndRelease) {
    SetRandSeed(1);
    TAnim a(10, 10, {0, 0}, {10, 0}, {0, 0}, 100, 50, 0, 0, 1000);
    EXPECT_EQ(a.NextSwitch, 2000u);
    EXPECT_FALSE(a.Step(1999));
    EXPECT_TRUE(a.Step(2000));
    EXPECT_EQ(a.State, 1);
    EXPECT_EQ(a.NextSwitch, 2500u);
    a.SetHeld(true, 2100);
    EXPECT_TRUE(a.Step(3000)) << "held reports Dirty";
    a.Dirty = false;
    EXPECT_FALSE(a.Step(3000));
    EXPECT_EQ(a.State, 1);
    a.SetHeld(false, 3000);
    EXPECT_EQ(a.NextSwitch, 3050u) << "release waits MinTime in milliseconds";
    // Across a wrap of the tick counter.
    TAnim w(10, 10, {0, 0}, {10, 0}, {0, 0}, 100, 50, 0, 0, 0xFFFFFF00u);
    EXPECT_FALSE(w.Step(0xFFFFFFF0u));
    EXPECT_FALSE(w.Step(100));
    EXPECT_TRUE(w.Step(0xFFFFFF00u + 1000));
}

// The scene by keyboard, without a window: the Tab order and the arrows with
// their wrap-around, the focused region as if hovered, its outline over the
// living scene and the exact picture after it goes, Enter on every kind of
// region, Escape, the mouse taking over, keys as activity, and the names a
// screen reader hears.
#include <gtest/gtest.h>

#include <set>

#include "SceneFixture.h"
#include "scene/FocusOutline.h"
#include "sound/AppSound.h"
#include "story/Generate.h"

namespace {

using Key = TScene::Key;

class SceneKeyboardTest : public SceneTest {
protected:
    // The frame of region N's outline.
    TRect FrameOf(int n) { return TFocusOutline::Frame(scene->RegionArea(n), s.work->GetBounds()); }

    // The work image shows the clean scene with every animation in its
    // frame, and region N's outline (none for 0) over it: the outline's
    // middle row in one colour between two rows of another.
    void ExpectPictureWithOutline(int n) {
        const std::vector<uint8_t> expected = Expected();
        const std::vector<uint8_t> work = s.work->CopyPixels();
        const TRect frame = n ? FrameOf(n) : TRect{};
        std::set<uint8_t> rows[4];
        int differ = 0;
        for (int32_t y = 0; y < s.work->Height; ++y)
            for (int32_t x = 0; x < s.work->Width; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * s.work->Width + x;
                const int row = n ? TFocusOutline::Row(frame, x, y) : 0;
                if (row)
                    rows[row].insert(work[i]);
                else
                    differ += work[i] != expected[i];
            }
        EXPECT_EQ(differ, 0) << "pixels off the outline that differ, region " << n;
        if (n)
            ExpectRing(rows);
    }
    static void ExpectRing(const std::set<uint8_t> (&rows)[4]) {
        ASSERT_EQ(rows[1].size(), 1u) << "outer row";
        ASSERT_EQ(rows[2].size(), 1u) << "middle row";
        ASSERT_EQ(rows[3].size(), 1u) << "inner row";
        EXPECT_NE(*rows[1].begin(), *rows[2].begin());
        EXPECT_EQ(*rows[1].begin(), *rows[3].begin());
    }

    TScene::Click Press(Key k, uint32_t now) { return scene->KeyDown(k, now); }
};

} // namespace

TEST_F(SceneKeyboardTest, TabGoesThroughTheRegionsInOrderAndWrapsAround) {
    uint32_t t = kStart + 10000;
    Press(Key::Next, t);
    EXPECT_EQ(scene->Focus(), 1);
    for (int n = 2; n <= TScene::kRegionCount; ++n) {
        Press(Key::Next, ++t);
        EXPECT_EQ(scene->Focus(), n);
        EXPECT_EQ(scene->HotRegion, n) << "the focused region is hovered";
    }
    Press(Key::Next, ++t);
    EXPECT_EQ(scene->Focus(), 1) << "after the sound switch comes the first tale";
    Press(Key::Previous, ++t);
    EXPECT_EQ(scene->Focus(), 14);
    Press(Key::Previous, ++t);
    EXPECT_EQ(scene->Focus(), 13);

    // Without a focus Shift+Tab starts at the end.
    Press(Key::Escape, ++t);
    Press(Key::Previous, ++t);
    EXPECT_EQ(scene->Focus(), 14);
}

TEST_F(SceneKeyboardTest, TheFirstKeyStartsWhereThePointerRests) {
    const uint32_t t = kStart + 10000;
    scene->UpdateHover({320, 340}, t); // region 5
    ASSERT_EQ(scene->HotRegion, 5);
    Press(Key::Right, t + 10);
    EXPECT_EQ(scene->Focus(), 5) << "the first arrow marks the hovered region";
    EXPECT_EQ(scene->HotRegion, 5);
    Press(Key::Next, t + 20);
    EXPECT_EQ(scene->Focus(), 6);
}

TEST_F(SceneKeyboardTest, ArrowsGoToTheNearestRegionThatWayAndWrapAtTheEdges) {
    // Where a player would look: Cinderella's stairs stand top left, the
    // castle to their right, the sound switch in the top right corner.
    EXPECT_EQ(scene->RegionToward(1, Key::Right), 6);
    EXPECT_EQ(scene->RegionToward(1, Key::Down), 4);
    EXPECT_EQ(scene->RegionToward(1, Key::Left), 14) << "wraps to the top right";
    EXPECT_EQ(scene->RegionToward(14, Key::Right), 1) << "wraps to the top left";
    EXPECT_EQ(scene->RegionToward(14, Key::Left), 3);
    EXPECT_EQ(scene->RegionToward(2, Key::Left), 10);
    EXPECT_EQ(scene->RegionToward(13, Key::Right), 10);
    EXPECT_EQ(scene->RegionToward(12, Key::Down), 14) << "wraps to the top";

    // Every move goes elsewhere; without wrapping it goes the arrow's way;
    // and every region can be reached from every other.
    const auto centre = [&](int n) {
        const TRect& r = scene->Region(n).HitRect;
        return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    };
    bool reach[15][15] = {};
    for (int from = 1; from <= TScene::kRegionCount; ++from) {
        reach[from][from] = true;
        for (Key k : {Key::Left, Key::Right, Key::Up, Key::Down}) {
            const int to = scene->RegionToward(from, k);
            ASSERT_GE(to, 1);
            ASSERT_LE(to, TScene::kRegionCount);
            EXPECT_NE(to, from);
            reach[from][to] = true;
            const TPoint a = centre(from), b = centre(to);
            const int ahead = k == Key::Right  ? b.X - a.X
                              : k == Key::Left ? a.X - b.X
                              : k == Key::Down ? b.Y - a.Y
                                               : a.Y - b.Y;
            const int aside =
                k == Key::Right || k == Key::Left ? std::abs(b.Y - a.Y) : std::abs(b.X - a.X);
            if (ahead > 0 && aside <= 2 * ahead) {
                // A region right in the arrow's way: nothing nearer was passed by.
                for (int n = 1; n <= TScene::kRegionCount; ++n) {
                    const TPoint c = centre(n);
                    const int nAhead = k == Key::Right  ? c.X - a.X
                                       : k == Key::Left ? a.X - c.X
                                       : k == Key::Down ? c.Y - a.Y
                                                        : a.Y - c.Y;
                    const int nAside = k == Key::Right || k == Key::Left ? std::abs(c.Y - a.Y)
                                                                         : std::abs(c.X - a.X);
                    if (n != from && nAhead > 0 && nAside <= 2 * nAhead) {
                        EXPECT_LE(ahead + 2 * aside, nAhead + 2 * nAside)
                            << from << " to " << to << " passes by " << n;
                    }
                }
            }
        }
    }
    for (int k = 1; k <= 14; ++k)
        for (int i = 1; i <= 14; ++i)
            for (int j = 1; j <= 14; ++j)
                reach[i][j] = reach[i][j] || (reach[i][k] && reach[k][j]);
    for (int i = 1; i <= 14; ++i)
        for (int j = 1; j <= 14; ++j)
            EXPECT_TRUE(reach[i][j]) << j << " cannot be reached from " << i;
    EXPECT_EQ(scene->RegionToward(0, Key::Left), 0);
    EXPECT_EQ(scene->RegionToward(1, Key::Press), 0);
}

TEST_F(SceneKeyboardTest, TheFocusedRegionWakesShowsItsBalloonAndIsOutlined) {
    const uint32_t t = kStart + 10000;
    s.work->Damage.Clear();
    Press(Key::Next, t); // region 1
    EXPECT_EQ(scene->Anim(1).State, 1);
    EXPECT_TRUE(scene->Anim(1).Held);
    EXPECT_EQ(scene->Anim(2).State, 1);
    ASSERT_TRUE(scene->Outline().Shown());
    EXPECT_EQ(scene->Outline().Place(), FrameOf(1));
    ExpectPictureWithOutline(1);
    // Only the outline's strips were damaged besides the characters.
    for (TLumNode* n = s.work->Damage.First; n; n = n->Next) {
        const TRect& r = static_cast<TDamageNode*>(n)->Rect;
        TRect inside;
        EXPECT_TRUE(TRect::Intersect(inside, r, FrameOf(1))) << "damage away from region 1";
    }

    scene->Tick(t + 501, true);
    EXPECT_TRUE(scene->Region(1).BalloonShown);

    // On to region 2: the balloon and the outline go, the picture is whole.
    Press(Key::Next, t + 600);
    EXPECT_FALSE(scene->Region(1).BalloonShown);
    EXPECT_EQ(scene->Anim(1).State, 0);
    EXPECT_EQ(scene->HotRegion, 2);
    ExpectPictureWithOutline(2);

    Press(Key::Escape, t + 700);
    EXPECT_EQ(scene->Focus(), 0);
    EXPECT_EQ(scene->HotRegion, 0);
    EXPECT_FALSE(scene->Outline().Shown());
    ExpectPictureWithOutline(0);
}

TEST_F(SceneKeyboardTest, TheOutlineStaysOnTopOfTheLivingSceneAndLeavesNoTrace) {
    // Region 9's outline crosses Goldilocks' bears (animation 4) and the
    // gingerbread man's balloon lies over other characters.
    uint32_t t = kStart + 10000;
    scene->SetFocus(9, t);
    ASSERT_EQ(scene->HotRegion, 9);
    TRect overlap;
    ASSERT_TRUE(TRect::Intersect(overlap, FrameOf(9), scene->Anim(4).GetRect()));
    const uint8_t before4 = scene->Anim(4).State;
    bool moved4 = false;
    for (t += 55; t < kStart + 200000; t += 55) {
        scene->Tick(t, true);
        moved4 = moved4 || scene->Anim(4).State != before4;
        if (scene->Anim(4).State != before4)
            break;
    }
    ASSERT_TRUE(moved4) << "animation 4 never switched";
    ASSERT_TRUE(scene->Region(9).BalloonShown);
    // The outline is whole over the switched animation and the balloon.
    const std::vector<uint8_t> work = s.work->CopyPixels();
    std::set<uint8_t> rows[4];
    const TRect f = FrameOf(9);
    for (int32_t y = f.Top; y < f.Bottom; ++y)
        for (int32_t x = f.Left; x < f.Right; ++x)
            if (const int row = TFocusOutline::Row(f, x, y))
                rows[row].insert(work[static_cast<std::size_t>(y) * s.work->Width + x]);
    ExpectRing(rows);

    // Escape: the balloon and the outline go; what is left is the scene with
    // its characters in their frames.
    Press(Key::Escape, t + 55);
    ExpectPictureWithOutline(0);
}

TEST_F(SceneKeyboardTest, EnterDoesWhatAClickDoes) {
    const uint32_t t = kStart + 10000;
    for (int n = 1; n <= 10; ++n) {
        scene->SetFocus(n, t);
        const TScene::Click c = Press(Key::Press, t + 1);
        EXPECT_EQ(c.action, TScene::Action::OpenTale);
        EXPECT_EQ(c.tale, n);
        EXPECT_EQ(scene->Focus(), n) << "the focus stays on the region";
    }
    std::set<int> tales;
    scene->SetFocus(11, t);
    for (int i = 0; i < 500; ++i) {
        const TScene::Click c = Press(Key::Press, t + 2);
        ASSERT_EQ(c.action, TScene::Action::OpenTale);
        tales.insert(c.tale);
    }
    EXPECT_EQ(tales, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    scene->SetFocus(12, t);
    EXPECT_EQ(Press(Key::Press, t + 3).action, TScene::Action::OpenWords);
    scene->SetFocus(13, t);
    EXPECT_EQ(Press(Key::Press, t + 4).action, TScene::Action::Quit);

    // The sound switch: as after a click, the hover ends so that the switch
    // shows its new picture; the focus stays for the next press.
    ASSERT_FALSE(SoundOn); // no wave-out device here
    scene->SetFocus(14, t);
    EXPECT_EQ(scene->Anim(20).State, 1);
    EXPECT_EQ(Press(Key::Press, t + 5).action, TScene::Action::SoundSwitched);
    EXPECT_EQ(scene->Anim(20).State, 0);
    EXPECT_EQ(scene->Anim(20).FrameSource[0], TScene::kSoundOffFrame);
    EXPECT_EQ(scene->HotRegion, 0);
    EXPECT_EQ(scene->Focus(), 14);
    ExpectPictureWithOutline(14);
    EXPECT_EQ(Press(Key::Press, t + 6).action, TScene::Action::SoundSwitched)
        << "pressed again at once";

    // Without a focus Enter does nothing, not even under the pointer.
    Press(Key::Escape, t + 7);
    scene->UpdateHover({30, 20}, t + 8);
    const TScene::Click none = Press(Key::Press, t + 9);
    EXPECT_EQ(none.action, TScene::Action::None);
    EXPECT_EQ(scene->HotRegion, 1);

    // A screen reader's press: focus and press in one.
    const TScene::Click pressed = scene->PressRegion(2, t + 10);
    EXPECT_EQ(pressed.action, TScene::Action::OpenTale);
    EXPECT_EQ(pressed.tale, 2);
    EXPECT_EQ(scene->Focus(), 2);
    EXPECT_EQ(scene->PressRegion(15, t + 11).action, TScene::Action::None);
}

TEST_F(SceneKeyboardTest, EscapeAndTheMouseTakeTheFocusAway) {
    const uint32_t t = kStart + 10000;
    // Escape without a focus leaves the mouse's hover alone.
    scene->UpdateHover({30, 20}, t);
    Press(Key::Escape, t + 1);
    EXPECT_EQ(scene->HotRegion, 1);

    scene->SetFocus(3, t + 2);
    EXPECT_EQ(scene->HotRegion, 3);
    // A leave of the pointer does not take the keyboard's focus.
    scene->MouseLeave(t + 3);
    EXPECT_EQ(scene->Focus(), 3);
    EXPECT_EQ(scene->HotRegion, 3);
    // A move does: the pointer's region is hovered, the outline goes.
    EXPECT_EQ(scene->UpdateHover({30, 20}, t + 4), 5);
    EXPECT_EQ(scene->Focus(), 0);
    EXPECT_EQ(scene->HotRegion, 1);
    EXPECT_FALSE(scene->Outline().Shown());
    scene->LeaveHotRegion(t + 5);
    ExpectPictureWithOutline(0);

    // A click too.
    scene->SetFocus(3, t + 6);
    const TScene::Click c = scene->MouseDown({300, 100}, t + 7);
    EXPECT_EQ(c.action, TScene::Action::None);
    EXPECT_EQ(scene->Focus(), 0);
    ExpectPictureWithOutline(0);
}

TEST_F(SceneKeyboardTest, EveryKeyIsActivityForTheIdleGate) {
    uint32_t t = kStart + 100000;
    for (Key k : {Key::Other, Key::Next, Key::Right, Key::Press, Key::Escape, Key::Escape}) {
        scene->Anim(7).SetState(1, t); // a free character awake
        Press(k, t);
        EXPECT_EQ(scene->IdleUntil, t + 2500) << static_cast<int>(k);
        EXPECT_EQ(scene->Anim(7).State, 0) << "free characters rest as after a mouse move";
        t += 3000;
    }
    // Without regions (before the scene is made) keys do nothing.
    TScene bare(s);
    EXPECT_EQ(bare.KeyDown(Key::Next, t).action, TScene::Action::None);
    EXPECT_EQ(bare.Focus(), 0);
}

TEST_F(SceneKeyboardTest, TheOutlineSurroundsAllOfARegionsGround) {
    EXPECT_EQ(scene->RegionArea(1), scene->Region(1).HitRect);
    // The gingerbread man runs beside the baker; the castle's tower beside it.
    EXPECT_EQ(scene->RegionArea(9), (TRect{174, 163, 267, 262}));
    EXPECT_EQ(scene->RegionArea(6), (TRect{198, 17, 293, 90}));
    EXPECT_TRUE(scene->RegionArea(0).IsEmpty());
    EXPECT_TRUE(scene->RegionArea(15).IsEmpty());
    for (int n = 1; n <= TScene::kRegionCount; ++n) {
        const TRect a = scene->RegionArea(n);
        for (int32_t y = a.Top - 1; y <= a.Bottom; ++y)
            for (int32_t x = a.Left - 1; x <= a.Right; ++x)
                if (scene->FindRegion({x, y}) == n) {
                    ASSERT_TRUE(a.Contains(x, y)) << n << " at " << x << "," << y;
                }
    }
    scene->SetFocus(9, kStart);
    EXPECT_EQ(scene->Outline().Place(), (TRect{171, 160, 270, 265}));
}

TEST(SceneRegionNames, EveryRegionSaysWhatItDoesAndTheTalesAreTheirBooksTitles) {
    std::set<std::string> names;
    for (int n = 1; n <= TScene::kRegionCount; ++n)
        names.insert(TScene::RegionName(n, true));
    EXPECT_EQ(names.size(), 14u);
    EXPECT_STREQ(TScene::RegionName(1, false), "Cinderella");
    EXPECT_STREQ(TScene::RegionName(2, false), "Goldilocks and the Three Bears");
    EXPECT_STREQ(TScene::RegionName(11, false), "A surprise tale");
    EXPECT_STREQ(TScene::RegionName(12, false), "Word lists");
    EXPECT_STREQ(TScene::RegionName(13, false), "Quit");
    EXPECT_STREQ(TScene::RegionName(14, true), "Sound on");
    EXPECT_STREQ(TScene::RegionName(14, false), "Sound off");
    EXPECT_STREQ(TScene::RegionName(0, true), "");
    EXPECT_STREQ(TScene::RegionName(15, true), "");

    TStoryGenerator::Files files;
    files.dataFolder = fbwtest::YarnsDir() + "/dat/";
    files.wordsFile = fbwtest::YarnsDir() + "/words.dat";
    files.saveWords = false;
    files.saveSettings = false;
    TStoryGenerator gen(files);
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(TScene::RegionName(n, true), gen.GetTitle(n)) << "tale " << n;
}

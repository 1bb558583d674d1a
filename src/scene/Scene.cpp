// The scene's tables and its hover, click and timer rules.
#include "scene/Scene.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "base/Random.h"
#include "image/RL8ImageData.h"
#include "platform/LogPalette.h"
#include "sound/AppSound.h"
#include "story/TaleTable.h"

namespace {
bool Before(uint32_t a, uint32_t b) {
    return static_cast<int32_t>(a - b) < 0;
}

TRect Box(int32_t left, int32_t top, int32_t width, int32_t height) {
    return TRect{left, top, left + width, top + height};
}

struct AnimRow {
    int32_t w, h, x, y, s0x, s0y, s1x, s1y;
    uint16_t min0, rnd0, min1, rnd1;
};
// Size, scene position, frame sources, state times (minimum + random range,
// tens of milliseconds).
constexpr AnimRow kAnims[TScene::kAnimCount] = {
    {31, 28, 24, 1, 0, 0, 31, 0, 300, 250, 100, 250},
    {18, 21, 33, 34, 82, 0, 100, 0, 200, 100, 300, 250},
    {10, 13, 124, 201, 62, 0, 72, 0, 400, 300, 10, 0},
    {51, 68, 158, 207, 0, 28, 51, 28, 400, 400, 600, 600},
    {25, 34, 466, 24, 102, 28, 102, 62, 100, 50, 50, 50},
    {19, 22, 462, 62, 118, 0, 137, 0, 125, 100, 125, 50},
    {52, 68, 10, 216, 127, 28, 179, 28, 450, 200, 350, 200},
    {22, 27, 36, 124, 156, 0, 178, 0, 600, 100, 300, 250},
    {24, 18, 294, 330, 200, 0, 224, 0, 300, 900, 20, 0},
    {20, 25, 195, 24, 248, 0, 268, 0, 250, 250, 15, 35},
    {37, 46, 487, 142, 0, 96, 37, 96, 555, 1500, 320, 300},
    {38, 53, 447, 247, 266, 28, 304, 28, 285, 250, 80, 50},
    {36, 37, 175, 161, 74, 96, 110, 96, 420, 420, 200, 200},
    {24, 42, 86, 260, 146, 96, 170, 96, 220, 200, 170, 150},
    {25, 25, 86, 308, 288, 0, 313, 0, 160, 120, 40, 80},
    {48, 42, 324, 229, 194, 96, 242, 96, 250, 200, 800, 600},
    {35, 33, 302, 276, 231, 28, 231, 61, 600, 400, 20, 0},
    {78, 47, 469, 300, 0, 142, 78, 142, 0, 0, 0, 0},
    {43, 25, 11, 305, 156, 142, 199, 142, 0, 0, 0, 0},
    {41, 26, 508, 2, 290, 133, 290, 107, 0, 0, 0, 0},
};

struct RegionRow {
    TRect hit;
    int animA, animB; // 0: none
    bool balloon;
    TRect source;
    TPoint pos;
};
const RegionRow kRegions[TScene::kRegionCount] = {
    {Box(22, 1, 33, 54), 1, 2, true, Box(174, 0, 120, 42), {55, 11}},
    {Box(121, 204, 87, 74), 3, 4, true, Box(0, 72, 174, 72), {211, 162}},
    {Box(461, 27, 30, 54), 5, 6, true, Box(174, 72, 124, 71), {337, 6}},
    {Box(10, 128, 74, 147), 7, 8, true, Box(0, 144, 155, 72), {85, 78}},
    {Box(293, 323, 41, 45), 9, 0, true, Box(174, 144, 138, 71), {154, 267}},
    {Box(198, 17, 95, 33), 10, 0, true, Box(0, 216, 107, 41), {91, 5}},
    {Box(486, 142, 40, 70), 11, 0, true, Box(174, 216, 166, 41), {325, 124}},
    {Box(451, 244, 27, 55), 12, 0, true, Box(0, 288, 174, 41), {291, 205}},
    {Box(208, 173, 59, 89), 13, 0, true, Box(174, 288, 173, 71), {7, 125}},
    {Box(77, 260, 37, 84), 14, 15, true, Box(0, 360, 153, 72), {111, 224}},
    {Box(306, 232, 66, 84), 16, 17, true, Box(0, 0, 173, 71), {157, 193}},
    {Box(466, 307, 80, 51), 18, 0, false, {}, {}},
    {Box(3, 297, 56, 38), 19, 0, false, {}, {}},
    {Box(507, 1, 41, 32), 20, 0, false, {}, {}},
};

// Tested only when no region rectangle holds the point, in this order.
const TRect kExtraRegion6 = Box(274, 50, 19, 40);
const TRect kExtraRegion9 = Box(174, 163, 34, 32);

// What the regions after the tales do, told to a screen reader.
const char* const kOtherRegionNames[] = {
    "A surprise tale",
    "Word lists",
    "Quit",
};
static_assert(TTaleTable::kCount + std::size(kOtherRegionNames) == TScene::kRegionCount - 1);

// The focus outline: sunlight between two dark edges.
constexpr uint8_t kEdgeRgb[3] = {48, 32, 16};
constexpr uint8_t kFillRgb[3] = {255, 222, 70};

bool Meets(const TRect& a, const TRect& b) {
    TRect overlap;
    return TRect::Intersect(overlap, a, b);
}
} // namespace

TScene::TScene(const Surfaces& surfaces) : PlaySound(PlayGameSound), s_(surfaces) {
    if (s_.palette) {
        outlineEdge_ =
            static_cast<uint8_t>(s_.palette->NearestIndex(kEdgeRgb[0], kEdgeRgb[1], kEdgeRgb[2]));
        outlineFill_ =
            static_cast<uint8_t>(s_.palette->NearestIndex(kFillRgb[0], kFillRgb[1], kFillRgb[2]));
    }
}

const char* TScene::RegionName(int n, bool soundOn) {
    if (n == kRegionCount)
        return soundOn ? "Sound on" : "Sound off";
    // The tales' regions are named by their titles.
    static const std::array<std::string, TTaleTable::kCount> kTitles = [] {
        std::array<std::string, TTaleTable::kCount> titles;
        for (int t = 1; t <= TTaleTable::kCount; ++t)
            titles[static_cast<std::size_t>(t - 1)] = TTaleTable::Title(t);
        return titles;
    }();
    if (TTaleTable::IsTale(n))
        return kTitles[static_cast<std::size_t>(n - 1)].c_str();
    return n > TTaleTable::kCount && n < kRegionCount
               ? kOtherRegionNames[n - TTaleTable::kCount - 1]
               : "";
}

TRect TScene::RegionArea(int n) const {
    if (n < 1 || n > kRegionCount || !HasRegions())
        return {};
    TRect r = regions_[static_cast<std::size_t>(n - 1)]->HitRect;
    const TRect* extra = n == 6 ? &kExtraRegion6 : n == 9 ? &kExtraRegion9 : nullptr;
    if (extra)
        r = TRect{std::min(r.Left, extra->Left), std::min(r.Top, extra->Top),
                  std::max(r.Right, extra->Right), std::max(r.Bottom, extra->Bottom)};
    return r;
}

TRect TScene::Bounds() const {
    return s_.work ? s_.work->GetBounds() : TRect{};
}

void TScene::CreateAnims(bool soundOn, uint32_t now) {
    for (int i = 0; i < kAnimCount; ++i) {
        const AnimRow& r = kAnims[i];
        anims_[static_cast<std::size_t>(i)] =
            std::make_unique<TAnim>(r.w, r.h, TPoint{r.s0x, r.s0y}, TPoint{r.s1x, r.s1y},
                                    TPoint{r.x, r.y}, r.min0, r.min1, r.rnd0, r.rnd1, now);
    }
    Anim(20).FrameSource[0] = soundOn ? kSoundOnFrame : kSoundOffFrame;
}

void TScene::CreateHitRegions() {
    for (int i = 0; i < kRegionCount; ++i) {
        const RegionRow& r = kRegions[i];
        regions_[static_cast<std::size_t>(i)] = std::make_unique<THitRegion>(
            r.hit, r.animA ? &Anim(r.animA) : nullptr, r.animB ? &Anim(r.animB) : nullptr,
            r.balloon, r.pos, r.source);
    }
}

void TScene::DrawAllAnims() {
    DrawAll();
    SettleOutline();
}

void TScene::DrawAll() {
    for (auto& a : anims_)
        if (a) {
            LiftOutline(a->GetRect());
            a->Draw(*s_.frames, *s_.work);
        }
}

int TScene::FindRegion(TPoint p) const {
    for (int i = 0; i < kRegionCount; ++i)
        if (regions_[static_cast<std::size_t>(i)] &&
            regions_[static_cast<std::size_t>(i)]->Contains(p))
            return i + 1;
    if (kExtraRegion6.Contains(p.X, p.Y))
        return 6;
    if (kExtraRegion9.Contains(p.X, p.Y))
        return 9;
    return 0;
}

int TScene::UpdateHover(TPoint p, uint32_t now) {
    focus_ = 0;
    const int cursor = Hover(FindRegion(p), now);
    SettleOutline();
    return cursor;
}

int TScene::MouseLeave(uint32_t now) {
    if (focus_ != 0)
        return HotRegion ? 5 : 4;
    return Hover(0, now);
}

int TScene::Hover(int found, uint32_t now) {
    for (auto& a : anims_)
        if (a && !a->Held)
            a->SetState(0, now);
    IdleUntil = now + 2500;
    if (found == HotRegion)
        return HotRegion ? 5 : 4;
    LeaveHot(now);
    HotRegion = found;
    if (found == 0)
        return 4;
    Region(found).Enter(now);
    for (TAnim* a : {Region(found).AnimA, Region(found).AnimB})
        if (a)
            LiftOutline(a->GetRect());
    Region(found).DrawAnims(*s_.frames, *s_.work);
    return 5;
}

void TScene::LeaveHotRegion(uint32_t now) {
    LeaveHot(now);
    SettleOutline();
}

void TScene::LeaveHot(uint32_t now) {
    if (HotRegion == 0)
        return;
    THitRegion& r = Region(HotRegion);
    if (r.BalloonShown) {
        LiftOutline(r.BalloonRect());
        s_.work->Draw(r.BalloonPos, *s_.scene, r.BalloonRect());
        DrawAll();
        r.BalloonShown = false;
    }
    HotRegion = 0;
    r.Leave(now);
    for (TAnim* a : {r.AnimA, r.AnimB})
        if (a)
            LiftOutline(a->GetRect());
    r.DrawAnims(*s_.frames, *s_.work);
}

TScene::Click TScene::MouseDown(TPoint p, uint32_t now) {
    const int cursor = UpdateHover(p, now);
    Click c = Act(HotRegion, now);
    c.cursor = cursor;
    return c;
}

TScene::Click TScene::Act(int n, uint32_t now) {
    Click c;
    if (n >= 1 && n <= 10) {
        c.action = Action::OpenTale;
        c.tale = n;
    } else if (n == 11) {
        c.action = Action::OpenTale;
        c.tale = Random(10) + 1;
    } else if (n == 12) {
        c.action = Action::OpenWords;
    } else if (n == 13) {
        c.action = Action::Quit;
    } else if (n == 14) {
        SwitchSound(now);
        c.action = Action::SoundSwitched;
    }
    return c;
}

void TScene::SwitchSound(uint32_t now) {
    SetSoundOn(!SoundOn);
    if (HasAnims())
        Anim(20).FrameSource[0] = SoundOn ? kSoundOnFrame : kSoundOffFrame;
    LeaveHotRegion(now);
}

TScene::Click TScene::KeyDown(Key key, uint32_t now) {
    Click c;
    if (!HasRegions())
        return c;
    const int start = focus_ ? 0 : HotRegion; // where the first move lands
    int to = 0;
    switch (key) {
    case Key::Next:
        to = focus_ ? focus_ % kRegionCount + 1 : (start ? start : 1);
        break;
    case Key::Previous:
        to = focus_ ? (focus_ + kRegionCount - 2) % kRegionCount + 1
                    : (start ? start : kRegionCount);
        break;
    case Key::Left:
    case Key::Right:
    case Key::Up:
    case Key::Down:
        to = focus_ ? RegionToward(focus_, key) : (start ? start : 1);
        break;
    case Key::Escape:
        if (focus_)
            break; // to 0
        [[fallthrough]];
    case Key::Press:
    case Key::Other:
        // Activity only, unless Press finds a focus.
        if (key == Key::Press && focus_) {
            Hover(focus_, now);
            c = Act(focus_, now);
        } else {
            Hover(HotRegion, now);
        }
        SettleOutline();
        c.cursor = HotRegion ? 5 : 4;
        return c;
    }
    SetFocus(to, now);
    c.cursor = HotRegion ? 5 : 4;
    return c;
}

void TScene::SetFocus(int n, uint32_t now) {
    if (n < 0 || n > kRegionCount || !HasRegions())
        n = 0;
    if (n != focus_)
        LiftOutline(Bounds());
    focus_ = n;
    Hover(n, now);
    SettleOutline();
}

TScene::Click TScene::PressRegion(int n, uint32_t now) {
    if (n < 1 || n > kRegionCount || !HasRegions())
        return Click{Action::None, 0, HotRegion ? 5 : 4};
    SetFocus(n, now);
    return KeyDown(Key::Press, now);
}

int TScene::RegionToward(int from, Key arrow) const {
    if (from < 1 || from > kRegionCount || !HasRegions())
        return 0;
    const auto centre = [this](int n) {
        const TRect& r = regions_[static_cast<std::size_t>(n - 1)]->HitRect;
        return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    };
    const TRect b = Bounds();
    const int32_t width = b.Right - b.Left, height = b.Bottom - b.Top;
    const TPoint c = centre(from);
    int best = 0;
    int64_t bestTier = 0, bestScore = 0;
    for (int n = 1; n <= kRegionCount; ++n) {
        if (n == from)
            continue;
        const TPoint o = centre(n);
        int64_t ahead = 0, aside = 0;
        switch (arrow) {
        case Key::Right:
            ahead = o.X - c.X, aside = o.Y - c.Y;
            break;
        case Key::Left:
            ahead = c.X - o.X, aside = o.Y - c.Y;
            break;
        case Key::Down:
            ahead = o.Y - c.Y, aside = o.X - c.X;
            break;
        case Key::Up:
            ahead = c.Y - o.Y, aside = o.X - c.X;
            break;
        default:
            return 0;
        }
        aside = std::llabs(aside);
        const bool wrapped = ahead <= 0;
        if (wrapped)
            ahead += arrow == Key::Left || arrow == Key::Right ? width : height;
        const int64_t tier = aside <= 2 * ahead ? (wrapped ? 1 : 0) : 2;
        const int64_t score = ahead + 2 * aside;
        if (best == 0 || tier < bestTier || (tier == bestTier && score < bestScore)) {
            best = n;
            bestTier = tier;
            bestScore = score;
        }
    }
    return best;
}

void TScene::LiftOutline(const TRect& rect) {
    if (outline_.Shown() && Meets(outline_.Place(), rect))
        outline_.Hide(*s_.work);
}

void TScene::SettleOutline() {
    if (focus_ == 0 || !HasRegions()) {
        outline_.Hide(*s_.work);
        return;
    }
    const TRect frame = TFocusOutline::Frame(RegionArea(focus_), Bounds());
    if (outline_.Shown() && outline_.Place() == frame)
        return;
    outline_.Show(*s_.work, frame, outlineEdge_, outlineFill_);
}

TScene::TickResult TScene::Tick(uint32_t now, bool active) {
    TickResult out;
    if (CreditClock == 0)
        CreditClock = 5000;
    if (WasActive && !active)
        CreditClock -= now;
    else if (!WasActive && active)
        CreditClock += now;
    WasActive = active;
    if (!active) {
        if (Before(IdleUntil, now + 2000))
            IdleUntil = now + 2000;
        return out;
    }

    // The credit line: ten lines of 13 s, each fading in and out in 125 ms steps.
    int32_t pos = static_cast<int32_t>(now - CreditClock) / 125;
    if (pos > 4800) {
        CreditClock = now;
        pos = 0;
    }
    if (pos >= 0 && pos < 1040) {
        const int line = pos / 104;
        const int p = pos % 104;
        const int phase = p < 4 ? p : (p < 100 ? 4 : p - 95);
        if (line != CreditLine || phase != CreditPhase) {
            CreditLine = line;
            CreditPhase = phase;
            out.creditChanged = true;
            out.repaint = true;
        }
    }

    if (Random(100) == 17)
        PlaySound(static_cast<uint8_t>(Random(8)));

    bool drawBalloon = false;
    bool balloonShown = false;
    TRect balloonRect;
    THitRegion* hot = HotRegion ? &Region(HotRegion) : nullptr;
    if (hot) {
        if (hot->IsBalloonDue(now)) {
            hot->BalloonShown = true;
            drawBalloon = true;
            out.repaint = true;
        } else {
            balloonShown = hot->BalloonShown;
            balloonRect = hot->BalloonRect();
        }
    }

    if (HasAnims() && Before(IdleUntil, now)) {
        for (int i = 1; i <= kAnimCount; ++i) {
            if (i == 17 && Anim(16).State != 1)
                continue;
            TAnim& a = Anim(i);
            if (!a.Step(now))
                continue;
            out.repaint = true;
            LiftOutline(a.GetRect());
            a.Draw(*s_.frames, *s_.work);
            TRect overlap;
            if (balloonShown && TRect::Intersect(overlap, a.GetRect(), balloonRect))
                drawBalloon = true;
            if (i == 9 && a.State == 1)
                PlaySound(static_cast<uint8_t>(Random(2) + 8));
            if (i == 11 && a.State == 1)
                PlaySound(10);
        }
    }

    if (drawBalloon && hot) {
        LiftOutline(hot->BalloonRect());
        s_.work->Draw(hot->BalloonPos, *s_.balloons, hot->BalloonSource);
    }
    SettleOutline();
    return out;
}

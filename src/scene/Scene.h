// TScene: the living scene of the main window without the window: the twenty
// animations, the fourteen hit regions, the hover and balloon, the idle gate,
// the credit line's clock and the 55 ms timer step. It draws into the work
// surface (whose damage list tells the window what to show) and leaves the
// screen, the cursor and the message boxes to the window. Ticks are 32-bit
// milliseconds; comparisons are signed differences, safe across a wrap.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "scene/Anim.h"
#include "scene/HitRegion.h"

class TRL8ImageData;

class TScene {
public:
    static constexpr int kAnimCount = 20;
    static constexpr int kRegionCount = 14;
    static constexpr int kCreditLines = 10;

    // The surfaces of "main" (clean, never drawn on), "animsrc", "speech" and
    // "_WORK_"; not owned, they must outlive the scene.
    struct Surfaces {
        TRL8ImageData* scene = nullptr;
        TRL8ImageData* frames = nullptr;
        TRL8ImageData* balloons = nullptr;
        TRL8ImageData* work = nullptr;
    };
    explicit TScene(const Surfaces& surfaces);

    // The two tables, in table order. Animation 20's frame 0 shows SoundOn.
    void CreateAnims(bool soundOn, uint32_t now);
    void CreateHitRegions();
    void DrawAllAnims();

    TAnim& Anim(int n) { return *anims_.at(static_cast<std::size_t>(n - 1)); }
    THitRegion& Region(int n) { return *regions_.at(static_cast<std::size_t>(n - 1)); }
    bool HasAnims() const { return anims_[0] != nullptr; }
    bool HasRegions() const { return regions_[0] != nullptr; }

    // The region under P (scene co-ordinates): the lowest-numbered one whose
    // rectangle holds it, else 6 or 9 through their extra rectangles, else 0.
    int FindRegion(TPoint p) const;

    // The mouse moved to P: free animations go to rest (drawn by the next
    // stepping tick), the idle gate closes for 2.5 s, and a new region is
    // entered. Returns the paint box's cursor: 5 over a region, else 4.
    int UpdateHover(TPoint p, uint32_t now);
    // The mouse left the scene (onto the frame or out of the window): the
    // same as a move to a spot of the scene in no region. Returns the cursor.
    int MouseLeave(uint32_t now);
    // Ends the hover: restores the scene under a shown balloon and redraws
    // every animation, then lets the region's animations rest.
    void LeaveHotRegion(uint32_t now);

    enum class Action { None, OpenTale, OpenWords, Quit, SoundSwitched };
    struct Click {
        Action action = Action::None;
        int tale = 0;   // 1..10 for OpenTale
        int cursor = 4; // the cursor after the hover update
    };
    // A mouse button went down at P: the hover follows, then the hot region
    // decides. Region 11 picks a tale with Random(10) + 1; region 14 switches
    // the sound here (SetSoundOn, animation 20's frame, LeaveHotRegion).
    Click MouseDown(TPoint p, uint32_t now);
    // Switches the sound and shows it on animation 20.
    void SwitchSound(uint32_t now);

    struct TickResult {
        bool repaint = false;       // the work image changed: show its damage
        bool creditChanged = false; // repaint the credit strip under the scene
    };
    // One step of the 55 ms timer (without the Caps Lock label): the credit
    // clock, the idle gate, the credit line, ambient sounds, the balloon and
    // the animations. Active: whether the window is active now.
    TickResult Tick(uint32_t now, bool active);

    int HotRegion = 0;
    uint32_t IdleUntil = 0;
    int CreditLine = 0;
    int CreditPhase = 0;
    uint32_t CreditClock = 0;
    bool WasActive = false;

    // Plays game sound N (PlayGameSound unless replaced).
    std::function<void(uint8_t)> PlaySound;

    // Animation 20's frame 0 with sound on and off.
    static constexpr TPoint kSoundOnFrame{290, 133};
    static constexpr TPoint kSoundOffFrame{290, 81};

private:
    // UpdateHover once the region under the mouse is known (0: none).
    int Hover(int found, uint32_t now);

    Surfaces s_;
    std::array<std::unique_ptr<TAnim>, kAnimCount> anims_;
    std::array<std::unique_ptr<THitRegion>, kRegionCount> regions_;
};

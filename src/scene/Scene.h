// TScene: the living scene of the main window without the window: the twenty
// animations, the fourteen hit regions, the hover and balloon, the keyboard
// focus and its outline, the idle gate, the credit line's clock and the 55 ms
// timer step. It draws into the work surface (whose damage list tells the
// window what to show) and leaves the screen, the cursor and the message
// boxes to the window. Ticks are 32-bit milliseconds; comparisons are signed
// differences, safe across a wrap.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "scene/Anim.h"
#include "scene/FocusOutline.h"
#include "scene/HitRegion.h"

class TRL8ImageData;
namespace plat {
class LogPalette;
}

class TScene {
public:
    static constexpr int kAnimCount = 20;
    static constexpr int kRegionCount = 14;
    static constexpr int kCreditLines = 10;

    // The surfaces of "main" (clean, never drawn on), "animsrc", "speech" and
    // "_WORK_", and the palette their pixels index (the focus outline's
    // colours are its nearest entries; without it, entries 0 and 255); not
    // owned, they must outlive the scene.
    struct Surfaces {
        TRL8ImageData* scene = nullptr;
        TRL8ImageData* frames = nullptr;
        TRL8ImageData* balloons = nullptr;
        TRL8ImageData* work = nullptr;
        const plat::LogPalette* palette = nullptr;
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

    // The mouse moved to P: it takes over from the keyboard (the focus goes),
    // free animations go to rest (drawn by the next stepping tick), the idle
    // gate closes for 2.5 s, and a new region is entered. Returns the paint
    // box's cursor: 5 over a region, else 4.
    int UpdateHover(TPoint p, uint32_t now);
    // The mouse left the scene (onto the frame or out of the window): the
    // same as a move to a spot of the scene in no region, unless the keyboard
    // holds the focus, which a leave does not take. Returns the cursor.
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

    // The keyboard: Next and Previous are Tab and Shift+Tab, Press is Enter
    // or Space, Other any key without a rule here.
    enum class Key { Next, Previous, Left, Right, Up, Down, Press, Escape, Other };
    // A key went down. Every key is activity, as a mouse move is (free
    // animations rest, the idle gate closes for 2.5 s). Next and Previous move
    // the focus through the regions in number order and the arrows to the
    // nearest region in their direction (RegionToward), all wrapping around;
    // without a focus, the first of them focuses the hovered region, else
    // region 1 (Previous: 14). The focused region is hovered and outlined.
    // Press does what a click on the focused region does (nothing without
    // one; the focus stays where it was); Escape takes the focus and the
    // hover away.
    Click KeyDown(Key key, uint32_t now);
    // The focused region (0: none).
    int Focus() const { return focus_; }
    // Moves the focus to region N (0 takes it away) as the keys do.
    void SetFocus(int n, uint32_t now);
    // Focuses region N and does what Press does there (a screen reader's
    // press of the region's button); nothing for a number out of range.
    Click PressRegion(int n, uint32_t now);

    // The region an arrow key moves to from region From, measured between
    // the centres of the hit rectangles: a region behind counts as one scene
    // width (or height) further on, wrapping around the edge, and lies in
    // the arrow's direction when it is at most twice as far aside as ahead.
    // First the regions in the direction without wrapping, then those in it
    // by wrapping, then all; of those the one with the least distance ahead
    // plus twice the distance aside, the lowest number of equals.
    int RegionToward(int from, Key arrow) const;
    // What region N does, for a screen reader: the tale's title, "A surprise
    // tale", "Word lists", "Quit", and "Sound on" or "Sound off" as SoundOn
    // says; "" for any other number.
    static const char* RegionName(int n, bool soundOn);
    // The rectangle around all of region N's ground: its hit rectangle and,
    // for regions 6 and 9, their extra one (what the focus outline surrounds
    // and a screen reader is told); empty for a number out of range.
    TRect RegionArea(int n) const;
    // The scene's size (of the work image; 0 x 0 without one).
    TRect Bounds() const;

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

    // The outline of the focused region, while it is drawn.
    const TFocusOutline& Outline() const { return outline_; }

private:
    // UpdateHover once the region under the mouse is known (0: none).
    int Hover(int found, uint32_t now);
    // LeaveHotRegion without putting the outline back.
    void LeaveHot(uint32_t now);
    // DrawAllAnims without putting the outline back.
    void DrawAll();
    // Decides what a click on region N does.
    Click Act(int n, uint32_t now);
    // Before drawing over Rect of the work image: takes the outline away if
    // it meets Rect, until SettleOutline.
    void LiftOutline(const TRect& rect);
    // Draws the focused region's outline unless it is shown already.
    void SettleOutline();

    Surfaces s_;
    int focus_ = 0;
    TFocusOutline outline_;
    uint8_t outlineEdge_ = 0, outlineFill_ = 255;
    std::array<std::unique_ptr<TAnim>, kAnimCount> anims_;
    std::array<std::unique_ptr<THitRegion>, kRegionCount> regions_;
};

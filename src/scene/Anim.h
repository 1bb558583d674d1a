// TAnim: one two-frame animation of the scene. Frame S is the Width x Height
// rectangle at FrameSource[S] of the frames sheet, drawn at DestPos in the
// work image. A timed animation (MinTime[0] != 0) switches by itself after
// MinTime[S] + Random(RandomTime[S]) tens of milliseconds in state S, unless
// a hovered region holds it. Ticks are 32-bit milliseconds, compared across
// a wrap of the counter.
#pragma once
#include <cstdint>

#include "platform/Point.h"
#include "platform/Rect.h"

class TRL8ImageData;

class TAnim {
public:
    // State 0, not held, not dirty; a timed animation's first switch is due
    // MinTime[0] + Random(RandomTime[0]) tens of milliseconds from Now.
    TAnim(int32_t width, int32_t height, TPoint frame0, TPoint frame1, TPoint destPos,
          uint16_t minTime0, uint16_t minTime1, uint16_t randomTime0, uint16_t randomTime1,
          uint32_t now);

    bool Timed() const { return MinTime[0] != 0; }
    // A new state restarts the timing and marks the animation dirty.
    void SetState(uint8_t state, uint32_t now);
    // Releasing a timed animation lets it switch MinTime[State] milliseconds
    // (not tens) from Now.
    void SetHeld(bool held, uint32_t now);
    // Whether the animation must be drawn: it switches when its time has come
    // (free and timed only); otherwise it reports Dirty.
    bool Step(uint32_t now);
    // Copies the current frame from Frames into Work at DestPos; clears Dirty.
    void Draw(TRL8ImageData& frames, TRL8ImageData& work);
    TRect GetRect() const {
        return TRect{DestPos.X, DestPos.Y, DestPos.X + Width, DestPos.Y + Height};
    }

    int32_t Width = 0;
    int32_t Height = 0;
    TPoint FrameSource[2];
    uint16_t MinTime[2] = {0, 0};    // tens of milliseconds
    uint16_t RandomTime[2] = {0, 0}; // tens of milliseconds
    uint8_t State = 0;               // 0 rest, 1 active
    TPoint DestPos;
    bool Held = false;
    uint32_t NextSwitch = 0; // tick of the next switch; 0 for an untimed animation
    bool Dirty = false;

private:
    void Schedule(uint32_t now);
};

// THitRegion: one clickable rectangle of the scene with up to two animations
// (not owned) that wake while it is hovered and, for the story regions, a
// speech balloon taken from the balloon sheet and shown half a second after
// the mouse came in.
#pragma once
#include <cstdint>

#include "platform/Point.h"
#include "platform/Rect.h"

class TAnim;
class TRL8ImageData;

class THitRegion {
public:
    // HitRect is half-open. The balloon data are kept only with HasBalloon.
    THitRegion(TRect hitRect, TAnim* animA, TAnim* animB, bool hasBalloon = false,
               TPoint balloonPos = {}, TRect balloonSource = {});

    bool Contains(TPoint p) const { return HitRect.Contains(p.X, p.Y); }
    // The balloon is due 500 ms from Now; the animations go active and are held.
    void Enter(uint32_t now);
    // The animations go to rest and are let go.
    void Leave(uint32_t now);
    bool IsBalloonDue(uint32_t now) const {
        return HasBalloon && !BalloonShown && static_cast<int32_t>(now - BalloonDue) > 0;
    }
    TRect BalloonRect() const;
    void DrawAnims(TRL8ImageData& frames, TRL8ImageData& work);

    TAnim* AnimA = nullptr;
    TAnim* AnimB = nullptr;
    TRect HitRect;
    TPoint BalloonPos;
    TRect BalloonSource;
    bool HasBalloon = false;
    bool BalloonShown = false;
    uint32_t BalloonDue = 0;
};

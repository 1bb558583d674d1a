// The scene's clickable regions.
#include "scene/HitRegion.h"

#include <initializer_list>

#include "scene/Anim.h"

THitRegion::THitRegion(TRect hitRect, TAnim* animA, TAnim* animB, bool hasBalloon,
                       TPoint balloonPos, TRect balloonSource)
    : AnimA(animA), AnimB(animB), HitRect(hitRect), HasBalloon(hasBalloon) {
    if (hasBalloon) {
        BalloonPos = balloonPos;
        BalloonSource = balloonSource;
    }
}

void THitRegion::Enter(uint32_t now) {
    BalloonDue = now + 500;
    for (TAnim* a : {AnimA, AnimB})
        if (a) {
            a->SetState(1, now);
            a->SetHeld(true, now);
        }
}

void THitRegion::Leave(uint32_t now) {
    for (TAnim* a : {AnimA, AnimB})
        if (a) {
            a->SetState(0, now);
            a->SetHeld(false, now);
        }
}

TRect THitRegion::BalloonRect() const {
    return TRect{BalloonPos.X, BalloonPos.Y,
                 BalloonPos.X + BalloonSource.Right - BalloonSource.Left,
                 BalloonPos.Y + BalloonSource.Bottom - BalloonSource.Top};
}

void THitRegion::DrawAnims(TRL8ImageData& frames, TRL8ImageData& work) {
    for (TAnim* a : {AnimA, AnimB})
        if (a)
            a->Draw(frames, work);
}

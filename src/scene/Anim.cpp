// The scene's two-frame animations.
#include "scene/Anim.h"

#include "base/Random.h"
#include "image/RL8ImageData.h"

TAnim::TAnim(int32_t width, int32_t height, TPoint frame0, TPoint frame1, TPoint destPos,
             uint16_t minTime0, uint16_t minTime1, uint16_t randomTime0, uint16_t randomTime1,
             uint32_t now)
    : Width(width), Height(height), FrameSource{frame0, frame1}, MinTime{minTime0, minTime1},
      RandomTime{randomTime0, randomTime1}, DestPos(destPos) {
    if (Timed())
        Schedule(now);
}

void TAnim::Schedule(uint32_t now) {
    NextSwitch = now + static_cast<uint32_t>(MinTime[State] + Random(RandomTime[State])) * 10u;
}

void TAnim::SetState(uint8_t state, uint32_t now) {
    if (state == State)
        return;
    State = state;
    if (Timed())
        Schedule(now);
    Dirty = true;
}

void TAnim::SetHeld(bool held, uint32_t now) {
    if (held == Held)
        return;
    if (!held && Timed())
        NextSwitch = now + MinTime[State];
    Held = held;
}

bool TAnim::Step(uint32_t now) {
    if (Held || !Timed() || static_cast<int32_t>(now - NextSwitch) < 0)
        return Dirty;
    SetState(static_cast<uint8_t>(1 - State), now);
    return true;
}

void TAnim::Draw(TRL8ImageData& frames, TRL8ImageData& work) {
    const TPoint src = FrameSource[State & 1];
    work.Draw(DestPos, frames, TRect{src.X, src.Y, src.X + Width, src.Y + Height});
    Dirty = false;
}

// The replaceable screen depth and Caps Lock state.
#include "platform/Screen.h"

namespace plat {

namespace {
std::function<int()>& DepthSource() {
    static std::function<int()> source;
    return source;
}
std::function<bool()>& CapsSource() {
    static std::function<bool()> source;
    return source;
}
} // namespace

int ScreenColourDepth() {
    return DepthSource() ? DepthSource()() : 32;
}

bool CapsLockOn() {
    return CapsSource() ? CapsSource()() : false;
}

void SetScreenDepthSource(std::function<int()> source) {
    DepthSource() = std::move(source);
}

void SetCapsLockSource(std::function<bool()> source) {
    CapsSource() = std::move(source);
}

} // namespace plat

// What the program asks of the screen and the keyboard: the colour depth
// (bits per pixel times planes) and whether Caps Lock is toggled on. Without
// a window system the depth is 32 and Caps Lock is off; the Qt platform
// installs the real answers, and tests replace them.
#pragma once
#include <functional>

namespace plat {

int ScreenColourDepth();
bool CapsLockOn();

// An empty function restores the default answer.
void SetScreenDepthSource(std::function<int()> source);
void SetCapsLockSource(std::function<bool()> source);

} // namespace plat

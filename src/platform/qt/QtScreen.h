// The Qt answers to the screen questions of platform/Screen.h: the primary
// screen's depth, and Caps Lock read from the X keyboard extension when the
// display is X11 (off on other platforms, which cannot tell).
#pragma once
#include <string>

namespace plat {

// Before Qt starts: whether a display can be reached (an X display named
// by DISPLAY that opens, a Wayland display, or a platform chosen with
// QT_QPA_PLATFORM); otherwise Reason says why not.
bool DisplayAvailable(std::string& reason);
// Installs both answers; call after the QGuiApplication exists.
void InstallQtScreen();
// The Caps Lock state as the window system reports it now.
bool QtCapsLockOn();

} // namespace plat

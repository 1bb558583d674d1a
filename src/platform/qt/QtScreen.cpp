// Screen depth from QScreen; Caps Lock from the X keyboard extension.
#include "platform/qt/QtScreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>

#include "platform/Screen.h"

#if FBW_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace plat {

namespace {
#if FBW_HAVE_X11
// One connection of our own for the keyboard state, opened on first use and
// kept for the life of the process.
Display* KeyboardDisplay() {
    static Display* display = [] {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            return static_cast<Display*>(nullptr);
        return XOpenDisplay(nullptr);
    }();
    return display;
}
#endif
} // namespace

bool DisplayAvailable(std::string& reason) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform && std::string(platform).rfind("xcb", 0) != 0)
        return true;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland && *wayland && !(platform && *platform))
        return true;
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) {
        reason = "DISPLAY is not set";
        return false;
    }
#if FBW_HAVE_X11
    if (Display* d = XOpenDisplay(name)) {
        XCloseDisplay(d);
        return true;
    }
    reason = std::string("cannot open the display \"") + name + "\"";
    return false;
#else
    return true;
#endif
}

bool QtCapsLockOn() {
#if FBW_HAVE_X11
    Display* display = KeyboardDisplay();
    if (!display)
        return false;
    unsigned int state = 0;
    if (XkbGetIndicatorState(display, XkbUseCoreKbd, &state) != Success)
        return false;
    return (state & 1u) != 0; // indicator 0 is Caps Lock
#else
    return false;
#endif
}

void InstallQtScreen() {
    SetScreenDepthSource([] {
        QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->depth() : 32;
    });
    SetCapsLockSource(QtCapsLockOn);
}

} // namespace plat

// Screen depth from QScreen; Caps Lock from the X keyboard extension.
#include "platform/qt/QtScreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <cstdlib>
#include <memory>

#include "platform/Screen.h"

#if FBW_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace plat {

namespace {
#if FBW_HAVE_X11
// A connection of our own that hears the keyboard's indicator changes, so
// that reading the Caps Lock state costs no request to the X server. Opened
// on first use and kept for the life of the process.
class KeyboardWatch {
public:
    KeyboardWatch() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            return;
        display_ = XOpenDisplay(nullptr);
        if (!display_)
            return;
        int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
        if (!XkbQueryExtension(display_, &opcode, &eventBase_, &error, &major, &minor)) {
            XCloseDisplay(display_);
            display_ = nullptr;
            return;
        }
        XkbSelectEventDetails(display_, XkbUseCoreKbd, XkbIndicatorStateNotify,
                              XkbAllIndicatorsMask, XkbAllIndicatorsMask);
        unsigned int state = 0;
        if (XkbGetIndicatorState(display_, XkbUseCoreKbd, &state) == Success)
            caps_ = (state & 1u) != 0; // indicator 0 is Caps Lock
        notifier_ =
            std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(); });
        XFlush(display_);
    }
    bool Caps() {
        if (display_ && XEventsQueued(display_, QueuedAlready) > 0)
            Drain();
        return caps_;
    }

private:
    void Drain() {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type != eventBase_)
                continue;
            const auto* xkb = reinterpret_cast<const XkbEvent*>(&event);
            if (xkb->any.xkb_type == XkbIndicatorStateNotify)
                caps_ = (xkb->indicators.state & 1u) != 0;
        }
    }

    Display* display_ = nullptr;
    int eventBase_ = 0;
    bool caps_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
};

KeyboardWatch& Keyboard() {
    static KeyboardWatch watch;
    return watch;
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
    return Keyboard().Caps();
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

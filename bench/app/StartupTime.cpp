// From exec to the loading window painted: starts the program given on the
// command line on the X display of DISPLAY, waits for its first top-level
// window to be mapped and for the window's centre pixel to leave the black
// of an empty screen, prints both times and ends the program.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
double Ms(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from)
        .count();
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_startup PROGRAM [ARGS...] (on an empty screen)\n");
        return 1;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "bench_startup: cannot open the display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, False);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[1], argv + 1);
        _exit(127);
    }
    Window w = 0;
    double mapped = 0;
    while (!w) {
        XEvent e;
        XNextEvent(d, &e);
        if (e.type == MapNotify) {
            w = e.xmap.window;
            mapped = Ms(start);
        }
    }
    XWindowAttributes a;
    XGetWindowAttributes(d, w, &a);
    for (;;) {
        XImage* im =
            XGetImage(d, root, a.x + a.width / 2, a.y + a.height / 2, 1, 1, AllPlanes, ZPixmap);
        const unsigned long px = im ? XGetPixel(im, 0, 0) : 0;
        if (im)
            XDestroyImage(im);
        if (px != 0)
            break;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    std::printf("window %dx%d mapped after %.1f ms, painted after %.1f ms\n", a.width, a.height,
                mapped, Ms(start));
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(d);
    return 0;
}

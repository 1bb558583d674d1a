// A virtual X display for the end-to-end tests: starts Xvfb on a free display,
// runs the real program on it and drives it with xdotool. Qt-free, so that
// both the engine and the window test programs can use it.
#pragma once
#include <chrono>
#include <memory>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace fbwtest {

// A child process that is ended (SIGTERM, then reaped) with the object.
class ChildProcess {
public:
    // Args[0] is the program's full path; Env holds "NAME=value" entries added
    // to this process's environment.
    ChildProcess(const std::vector<std::string>& args, const std::vector<std::string>& env);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    bool Running();
    pid_t Pid() const { return pid_; }
    // The exit status once ended (-1 while running or when killed by a signal).
    int ExitStatus();

private:
    pid_t pid_ = -1;
    bool done_ = false;
    int status_ = -1;
};

// The standard output of a shell command, trailing spaces and newlines cut.
std::string ShellOutput(const std::string& command);
bool OnPath(const char* program);

// Polls Check every 100 ms for at most Seconds while Alive holds.
template <class F, class A> bool WaitFor(F check, A alive, int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (check())
            return true;
        if (!alive())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return check();
}

class XSession {
public:
    // Why the built game cannot be run under a virtual display here (Xvfb or
    // xdotool missing, the game not built), or "" when it can.
    static std::string WhyNotHere();
    // Starts Xvfb at 1024 x 768 (or Width x Height) on a free display of its
    // own; Display() is empty when none could be started.
    explicit XSession(int width = 1024, int height = 768);
    const std::string& Display() const { return display_; }
    // The prefix that runs xdotool on this display: X() + "click 1".
    std::string X() const { return "DISPLAY=" + display_ + " xdotool "; }
    // The first visible window whose name matches Pattern, or "".
    std::string Window(const std::string& pattern) const;
    // Width and height of Window (0 0 when unknown).
    std::pair<int, int> Size(const std::string& window) const;
    // Moves the pointer to X, Y inside Window and clicks the left button.
    void ClickAt(const std::string& window, int x, int y) const;
    // Starts the built game on this display as a player whose home is Home
    // (a folder ending with a separator): an installation folder Home/install
    // with the default words, a key store naming it, and the XDG folders, the
    // documents folder and a runtime folder of its own under Home.
    std::unique_ptr<ChildProcess> StartGame(const std::string& home) const;
    // Saves a picture of Window (or of the whole screen for "root") as PNG;
    // false without ImageMagick.
    bool Shot(const std::string& window, const std::string& path) const;

private:
    std::unique_ptr<ChildProcess> server_;
    std::string display_;
};

} // namespace fbwtest

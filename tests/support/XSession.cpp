// A virtual X display for the end-to-end tests.
#include "support/XSession.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TestSupport.h"

namespace fbwtest {

ChildProcess::ChildProcess(const std::vector<std::string>& args,
                           const std::vector<std::string>& env) {
    pid_ = fork();
    if (pid_ == 0) {
        for (const auto& e : env)
            putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
}

ChildProcess::~ChildProcess() {
    if (Running()) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

bool ChildProcess::Running() {
    if (pid_ <= 0 || done_)
        return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        done_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return !done_;
}

int ChildProcess::ExitStatus() {
    Running();
    return done_ ? status_ : -1;
}

std::string ShellOutput(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p))
            out += buf;
        pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    return out;
}

bool OnPath(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

std::string XSession::WhyNotHere() {
    if (!OnPath("Xvfb") || !OnPath("xdotool"))
        return "Xvfb or xdotool is not installed (scripts/setup installs both)";
    if (!std::filesystem::exists(YarnsDir() + "/fablewhirl"))
        return "the program has not been built";
    return "";
}

XSession::XSession(int width, int height) {
    // Test programs run side by side: each starts its search at a number of
    // its own and takes the first display whose lock and socket are free.
    const int first = 200 + static_cast<int>(getpid() % 400) * 2;
    for (int n = first; n < first + 40 && display_.empty(); ++n) {
        const std::string number = std::to_string(n);
        const std::string socket = "/tmp/.X11-unix/X" + number;
        if (std::filesystem::exists(socket) ||
            std::filesystem::exists("/tmp/.X" + number + "-lock"))
            continue;
        auto server = std::make_unique<ChildProcess>(
            std::vector<std::string>{"/usr/bin/Xvfb", ":" + number, "-screen", "0",
                                     std::to_string(width) + "x" + std::to_string(height) + "x24",
                                     "-nolisten", "tcp", "-noreset"},
            std::vector<std::string>{});
        // Ours once a client gets through while our server still runs (a
        // server that lost the number to another ends at once). -noreset: a
        // server that resets when its last client leaves refuses the next
        // one for a moment, such as the game started after this check.
        for (int i = 0; i < 100 && server->Running(); ++i) {
            if (std::filesystem::exists(socket) &&
                std::system(("DISPLAY=:" + number + " xdotool getdisplaygeometry >/dev/null 2>&1")
                                .c_str()) == 0) {
                if (server->Running()) {
                    server_ = std::move(server);
                    display_ = ":" + number;
                }
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
}

std::string XSession::Window(const std::string& pattern) const {
    std::string w = ShellOutput(X() + "search --onlyvisible --name '" + pattern + "' 2>/dev/null");
    return w.substr(0, w.find('\n'));
}

std::pair<int, int> XSession::Size(const std::string& window) const {
    int width = 0, height = 0;
    std::sscanf(ShellOutput(X() + "getwindowgeometry " + window + " | grep Geometry").c_str(),
                " Geometry: %dx%d", &width, &height);
    return {width, height};
}

void XSession::ClickAt(const std::string& window, int x, int y) const {
    ShellOutput(X() + "mousemove --window " + window + " " + std::to_string(x) + " " +
                std::to_string(y) + " click 1");
}

std::unique_ptr<ChildProcess> XSession::StartGame(const std::string& home) const {
    namespace fs = std::filesystem;
    fs::create_directories(home + "install");
    fs::copy_file(YarnsDir() + "/words.dat", home + "install/words.dat",
                  fs::copy_options::skip_existing);
    fs::create_directories(home + "config/Lumwright Software");
    WriteBytes(home + "config/Lumwright Software/registry.ini",
               "[Software\\Lumwright Software\\Yarns]\nDirectory=" + home + "install\n");
    // A runtime folder of its own too: a copy of the game running elsewhere
    // must not count as this one's previous instance.
    fs::create_directories(home + "runtime");
    fs::permissions(home + "runtime", fs::perms::owner_all);
    return std::make_unique<ChildProcess>(
        std::vector<std::string>{YarnsDir() + "/fablewhirl"},
        std::vector<std::string>{"DISPLAY=" + display_, "QT_QPA_PLATFORM=xcb", "HOME=" + home,
                                 "XDG_CONFIG_HOME=" + home + "config",
                                 "XDG_DATA_HOME=" + home + "data",
                                 "XDG_RUNTIME_DIR=" + home + "runtime"});
}

bool XSession::Shot(const std::string& window, const std::string& path) const {
    if (!OnPath("import"))
        return false;
    return std::system(
               ("DISPLAY=" + display_ + " import -window " + window + " '" + path + "'").c_str()) ==
           0;
}

} // namespace fbwtest

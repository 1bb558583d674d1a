// The real program under Xvfb, driven with xdotool: from the scene, open the
// word book, add a noun, close the editor, and find the noun in the words
// file of the installation folder.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/TestSupport.h"

using fbwtest::RunTool;
using fbwtest::TempDir;
using fbwtest::WriteBytes;

namespace {
// The word book's hit region in the scene, and where the scene sits in the
// main window's 590 x 410 client area (centred when the window is larger).
constexpr int kBookLeft = 466, kBookTop = 307, kBookWidth = 80, kBookHeight = 51;
constexpr int kSceneLeft = 4, kSceneTop = 5, kClientWidth = 590, kClientHeight = 410;

bool OnPath(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Output(const std::string& command) {
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

// A child process that is ended with the object.
class Child {
public:
    Child(const std::vector<std::string>& args, const std::vector<std::string>& env) {
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
    ~Child() {
        if (Running()) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool Running() {
        if (pid_ <= 0 || done_)
            return false;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_)
            done_ = true;
        return !done_;
    }

private:
    pid_t pid_ = -1;
    bool done_ = false;
};

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
} // namespace

TEST(WordBookEndToEnd, ANounAddedFromTheSceneIsInTheWordsFile) {
    if (!OnPath("Xvfb") || !OnPath("xdotool"))
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    const std::string program = fbwtest::YarnsDir() + "/fablewhirl";
    if (!std::filesystem::exists(program))
        GTEST_SKIP() << "the program has not been built";

    // An installation folder of our own, named by a key store of our own.
    TempDir dir;
    std::filesystem::create_directories(dir / "install");
    std::filesystem::copy_file(fbwtest::YarnsDir() + "/words.dat", dir / "install/words.dat");
    std::filesystem::create_directories(dir / "config/Lumwright Software");
    WriteBytes(dir / "config/Lumwright Software/registry.ini",
               "[Software\\Lumwright Software\\Yarns]\nDirectory=" + dir / "install" + "\n");

    // Xvfb picks a free display and reports its number on the pipe.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    Child xvfb({"/usr/bin/Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                "1024x768x24", "-nolisten", "tcp"},
               {});
    close(fds[1]);
    std::string number;
    char ch;
    while (read(fds[0], &ch, 1) == 1 && ch != '\n')
        number += ch;
    close(fds[0]);
    if (number.empty())
        GTEST_SKIP() << "Xvfb did not start";
    const std::string display = ":" + number;
    const std::string x = "DISPLAY=" + display + " xdotool ";

    // A runtime folder of our own too: a copy of the game running elsewhere
    // must not count as this one's previous instance.
    std::filesystem::create_directories(dir / "runtime");
    std::filesystem::permissions(dir / "runtime", std::filesystem::perms::owner_all);
    Child game({program},
               {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb", "XDG_CONFIG_HOME=" + dir / "config",
                "XDG_RUNTIME_DIR=" + dir / "runtime"});
    std::string mainWindow;
    const bool shown = WaitFor(
        [&] {
            mainWindow = Output(x + "search --onlyvisible --name '^Fablewhirl$' 2>/dev/null");
            return !mainWindow.empty();
        },
        [&] { return game.Running(); }, 40);
    if (!shown && !game.Running())
        GTEST_SKIP() << "the program ended without showing its main window (no scene yet)";
    ASSERT_TRUE(shown) << "no main window within 40 seconds";
    mainWindow = mainWindow.substr(0, mainWindow.find('\n'));

    // Click the middle of the word book in the scene.
    int width = kClientWidth, height = kClientHeight;
    std::sscanf(Output(x + "getwindowgeometry " + mainWindow + " | grep Geometry").c_str(),
                " Geometry: %dx%d", &width, &height);
    const int left = kSceneLeft + std::max(0, (width - kClientWidth) / 2);
    const int top = kSceneTop + std::max(0, (height - kClientHeight) / 2);
    Output(x + "mousemove --window " + mainWindow + " " +
           std::to_string(left + kBookLeft + kBookWidth / 2) + " " +
           std::to_string(top + kBookTop + kBookHeight / 2) + " click 1");

    std::string words;
    ASSERT_TRUE(WaitFor(
        [&] {
            words = Output(x + "search --onlyvisible --name '^Whirled Lists$' 2>/dev/null");
            return !words.empty();
        },
        [&] { return game.Running(); }, 10))
        << "the word book did not open the editor";
    words = words.substr(0, words.find('\n'));

    // Things (sbCommonNoun), a new word in the focused box, then Close.
    Output(x + "mousemove --window " + words + " 450 20 click 1");
    Output(x + "type --delay 20 zorbleflux");
    Output(x + "mousemove --window " + words + " 510 330 click 1");
    ASSERT_TRUE(WaitFor(
        [&] {
            return Output(x + "search --onlyvisible --name '^Whirled Lists$' 2>/dev/null").empty();
        },
        [&] { return game.Running(); }, 10))
        << "the editor did not close";

    auto dump = RunTool({"words", "dump", dir / "install/words.dat"});
    ASSERT_EQ(dump.status, 0) << dump.err;
    EXPECT_NE(dump.out.find("noun\tzorbleflux\n"), std::string::npos);
    EXPECT_TRUE(game.Running()) << "the program ended";
}

// The real program under Xvfb, driven with xdotool: from the scene, open the
// word book, add a noun, close the editor, and find the noun in the words
// file of the installation folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/TestSupport.h"
#include "support/XSession.h"

using fbwtest::ChildProcess;
using fbwtest::RunTool;
using fbwtest::ShellOutput;
using fbwtest::TempDir;
using fbwtest::WaitFor;

namespace {
// The word book's hit region in the scene, and where the scene sits in the
// main window's 590 x 410 client area (centred when the window is larger).
constexpr int kBookLeft = 466, kBookTop = 307, kBookWidth = 80, kBookHeight = 51;
constexpr int kSceneLeft = 20, kSceneTop = 20, kClientWidth = 590, kClientHeight = 410;
} // namespace

TEST(WordBookEndToEnd, ANounAddedFromTheSceneIsInTheWordsFile) {
    if (const std::string why = fbwtest::XSession::WhyNotHere(); !why.empty())
        GTEST_SKIP() << why;

    TempDir dir;
    fbwtest::XSession xs;
    if (xs.Display().empty())
        GTEST_SKIP() << "Xvfb did not start";
    const std::string x = xs.X();
    const auto gameProcess = xs.StartGame(dir.Path());
    fbwtest::ChildProcess& game = *gameProcess;
    std::string mainWindow;
    const bool shown = WaitFor(
        [&] {
            mainWindow = ShellOutput(x + "search --onlyvisible --name '^Fablewhirl$' 2>/dev/null");
            return !mainWindow.empty();
        },
        [&] { return game.Running(); }, 40);
    if (!shown && !game.Running())
        GTEST_SKIP() << "the program ended without showing its main window (no scene yet)";
    ASSERT_TRUE(shown) << "no main window within 40 seconds";
    mainWindow = mainWindow.substr(0, mainWindow.find('\n'));

    // Click the middle of the word book in the scene.
    int width = kClientWidth, height = kClientHeight;
    std::sscanf(ShellOutput(x + "getwindowgeometry " + mainWindow + " | grep Geometry").c_str(),
                " Geometry: %dx%d", &width, &height);
    const int left = kSceneLeft + std::max(0, (width - kClientWidth) / 2);
    const int top = kSceneTop + std::max(0, (height - kClientHeight) / 2);
    ShellOutput(x + "mousemove --window " + mainWindow + " " +
                std::to_string(left + kBookLeft + kBookWidth / 2) + " " +
                std::to_string(top + kBookTop + kBookHeight / 2) + " click 1");

    std::string words;
    ASSERT_TRUE(WaitFor(
        [&] {
            words = ShellOutput(x + "search --onlyvisible --name '^Whirled Lists$' 2>/dev/null");
            return !words.empty();
        },
        [&] { return game.Running(); }, 10))
        << "the word book did not open the editor";
    words = words.substr(0, words.find('\n'));

    // Things (sbCommonNoun), a new word in the focused box, then Close.
    ShellOutput(x + "mousemove --window " + words + " 450 20 click 1");
    ShellOutput(x + "type --delay 20 zorbleflux");
    ShellOutput(x + "mousemove --window " + words + " 510 330 click 1");
    ASSERT_TRUE(WaitFor(
        [&] {
            return ShellOutput(x + "search --onlyvisible --name '^Whirled Lists$' 2>/dev/null")
                .empty();
        },
        [&] { return game.Running(); }, 10))
        << "the editor did not close";

    auto dump = RunTool({"words", "dump", dir / "install/words.dat"});
    ASSERT_EQ(dump.status, 0) << dump.err;
    EXPECT_NE(dump.out.find("noun\tzorbleflux\n"), std::string::npos);
    EXPECT_TRUE(game.Running()) << "the program ended";
}

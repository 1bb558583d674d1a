// The real program under Xvfb, driven with xdotool like a player: from the
// scene, open a tale, create a story, turn to its end, save it, copy it (the
// clipboard read back), close the book, open the tale again and read the
// saved story back to the same first spread.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

#include "support/TestSupport.h"
#include "support/XSession.h"

using fbwtest::ChildProcess;
using fbwtest::OnPath;
using fbwtest::ReadBytes;
using fbwtest::ShellOutput;
using fbwtest::TempDir;
using fbwtest::WaitFor;

namespace {
// Goldilocks's hit region in the scene, and where the scene sits in the main
// window's 590 x 410 client area (centred when the window is larger).
constexpr int kTaleX = 121 + 87 / 2, kTaleY = 204 + 74 / 2;
constexpr int kSceneLeft = 20, kSceneTop = 20, kClientWidth = 590, kClientHeight = 410;

// Button centres in the storybook's 592 x 418 client area, from its layout:
// the right page starts at 326 and is 216 wide; the controls stand upward
// from y 359 and the command panel (216 x 316) is centred on the right page
// at 321, 51, its buttons 13 pixels in.
constexpr int kNewStoryX = 378 + 132 / 2, kNewStoryY = 359 - 29 / 2;
constexpr int kReadSavedX = 378 + 133 / 2, kReadSavedY = 359 - 29 / 2;
// With stories on the shelf, "My stories" stands at the foot and "Create
// story" 24 pixels above it.
constexpr int kNewStoryOverShelfY = 359 - 29 - 24 - 29 / 2;
constexpr int kSaveX = 321 + 13 + 149 / 2, kSaveY = 51 + 77 + 29 / 2;
constexpr int kCopyX = 321 + 13 + 149 / 2, kCopyY = 51 + 167 + 29 / 2;
// "Show the twists", left of "Read to me": a story read back has no twists,
// so there the toggle stands disabled.
const QRect kShowTwists(281 - 6 - 30, 354 + 25 - 18, 30, 18);

// Image with the twists' toggle left out.
QImage WithoutTwistsToggle(QImage image) {
    for (int y = kShowTwists.top(); y <= kShowTwists.bottom(); ++y)
        for (int x = kShowTwists.left(); x <= kShowTwists.right(); ++x)
            if (image.valid(x, y))
                image.setPixel(x, y, 0);
    return image;
}
} // namespace

TEST(StorybookEndToEnd, ATaleIsToldSavedCopiedAndReadBack) {
    if (const std::string why = fbwtest::XSession::WhyNotHere(); !why.empty())
        GTEST_SKIP() << why;

    TempDir dir;
    fbwtest::XSession xs;
    if (xs.Display().empty())
        GTEST_SKIP() << "Xvfb did not start";
    const std::string x = xs.X();
    const auto game = xs.StartGame(dir.Path());
    auto alive = [&] { return game->Running(); };
    std::string mainWindow;
    ASSERT_TRUE(
        WaitFor([&] { return !(mainWindow = xs.Window("^Fablewhirl$")).empty(); }, alive, 40))
        << "no main window within 40 seconds";
    auto [width, height] = xs.Size(mainWindow);
    const int left = kSceneLeft + std::max(0, (width - kClientWidth) / 2);
    const int top = kSceneTop + std::max(0, (height - kClientHeight) / 2);

    auto openTale = [&] {
        std::string book;
        xs.ClickAt(mainWindow, left + kTaleX, top + kTaleY);
        EXPECT_TRUE(WaitFor([&] { return !(book = xs.Window("^Storybook$")).empty(); }, alive, 15))
            << "the tale did not open as a book";
        // A window manager would give the new window the focus; here the test does.
        if (!book.empty())
            ShellOutput(x + "windowfocus --sync " + book);
        return book;
    };

    std::string book = openTale();
    ASSERT_FALSE(book.empty());
    const std::string shots = dir / "shots/";
    std::filesystem::create_directories(shots);
    xs.Shot(book, shots + "cover.png");

    xs.ClickAt(book, kNewStoryX, kNewStoryY);
    const bool canShoot = OnPath("import");
    QImage firstSpread;
    if (canShoot) {
        // The spread is painted once the story is made; wait until it differs
        // from the cover spread.
        const QImage cover(QString::fromStdString(shots + "cover.png"));
        ASSERT_TRUE(WaitFor(
            [&] {
                xs.Shot(book, shots + "story.png");
                firstSpread = QImage(QString::fromStdString(shots + "story.png"));
                return !firstSpread.isNull() && firstSpread != cover;
            },
            alive, 10))
            << "Create story did not show a story spread";
    }

    // To the end: turning beyond the last spread does nothing.
    ShellOutput(x + "key --delay 60 " + [] {
        std::string keys;
        for (int i = 0; i < 30; ++i)
            keys += "Right ";
        return keys;
    }());

    const std::string saved = dir / "Documents/Fablewhirl Stories/Goldilox.txt";
    xs.ClickAt(book, kSaveX, kSaveY);
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(saved); }, alive, 10))
        << "Save story wrote nothing at " << saved;
    const std::string text = ReadBytes(saved);
    ASSERT_GT(text.size(), 100u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_NE(text.find("\r\n\r\n"), std::string::npos) << "the title's empty line";

    xs.ClickAt(book, kCopyX, kCopyY);
    if (OnPath("xclip")) {
        std::string clip;
        EXPECT_TRUE(WaitFor(
            [&] {
                clip = ShellOutput("DISPLAY=" + xs.Display() +
                                   " timeout 5 xclip -o -selection clipboard -target UTF8_STRING"
                                   " 2>/dev/null");
                return !clip.empty();
            },
            alive, 10));
        std::string expected = text; // both UTF-8
        while (!expected.empty() && (expected.back() == '\n' || expected.back() == ' '))
            expected.pop_back(); // ShellOutput cuts these too
        EXPECT_EQ(clip, expected) << "the clipboard holds the saved text";
    }

    ShellOutput(x + "key Escape");
    ASSERT_TRUE(WaitFor([&] { return xs.Window("^Storybook$").empty(); }, alive, 10))
        << "Escape did not close the book";

    book = openTale();
    ASSERT_FALSE(book.empty());
    xs.ClickAt(book, kReadSavedX, kReadSavedY);
    if (canShoot) {
        QImage readBack;
        EXPECT_TRUE(WaitFor(
            [&] {
                xs.Shot(book, shots + "readback.png");
                readBack = QImage(QString::fromStdString(shots + "readback.png"));
                return WithoutTwistsToggle(readBack) == WithoutTwistsToggle(firstSpread);
            },
            alive, 10))
            << "the saved story read back does not show the same first spread (see " << shots
            << ")";
    }
    EXPECT_TRUE(game->Running()) << "the program ended";
}

// A player's Documents folder named in Cyrillic holds a stories folder that
// an older game, a file manager or a prank filled with a FIFO where a story
// was, thousands of links to nothing and a story named in other letters:
// My stories opens at once and the new story is saved beside them all.
TEST(StorybookEndToEnd, AHostileStoriesFolderNeitherFreezesTheGameNorLosesAStory) {
    if (const std::string why = fbwtest::XSession::WhyNotHere(); !why.empty())
        GTEST_SKIP() << why;
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string docs = dir / "\xD0\x94\xD0\xBE\xD0\xBA\xD1\x83\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x82"
                                   "\xD1\x8B";
    const std::string stories = docs + "/Fablewhirl Stories/";
    fs::create_directories(stories);
    fs::create_directories(dir / "config");
    fbwtest::WriteBytes(dir / "config/user-dirs.dirs",
                        "XDG_DOCUMENTS_DIR=\"" + docs + "\"\n");
    ASSERT_EQ(::mkfifo((stories + "Goldilox 2026-12-08 17.05.txt").c_str(), 0600), 0);
    for (int i = 2; i < 3000; ++i)
        fs::create_symlink(stories + "gone",
                           stories + "Rumpel 2026-12-08 17.05 (" + std::to_string(i) + ").txt");
    const std::string lower = "Lower bears\r\n\r\nA story in other letters.\r\n";
    fbwtest::WriteBytes(stories + "goldilox.txt", lower);

    fbwtest::XSession xs;
    if (xs.Display().empty())
        GTEST_SKIP() << "Xvfb did not start";
    const std::string x = xs.X();
    const auto game = xs.StartGame(dir.Path());
    auto alive = [&] { return game->Running(); };
    std::string mainWindow;
    ASSERT_TRUE(
        WaitFor([&] { return !(mainWindow = xs.Window("^Fablewhirl$")).empty(); }, alive, 40));
    // The key is pressed again until the scene takes keys (the loading
    // window holds the start for a while); a second press meets the shelf.
    std::string shelf;
    ASSERT_TRUE(WaitFor(
        [&] {
            if (!(shelf = xs.Window("^My stories$")).empty())
                return true;
            ShellOutput(x + "windowfocus --sync " + mainWindow + " key ctrl+o");
            return false;
        },
        alive, 30))
        << "My stories did not open";
    ShellOutput(x + "windowfocus --sync " + shelf + " key Escape");
    ASSERT_TRUE(WaitFor([&] { return xs.Window("^My stories$").empty(); }, alive, 15))
        << "My stories does not answer";

    auto [width, height] = xs.Size(mainWindow);
    xs.ClickAt(mainWindow, kSceneLeft + std::max(0, (width - kClientWidth) / 2) + kTaleX,
               kSceneTop + std::max(0, (height - kClientHeight) / 2) + kTaleY);
    std::string book;
    ASSERT_TRUE(WaitFor([&] { return !(book = xs.Window("^Storybook$")).empty(); }, alive, 15));
    ShellOutput(x + "windowfocus --sync " + book);
    xs.ClickAt(book, kNewStoryX, kNewStoryOverShelfY);
    std::string keys;
    for (int i = 0; i < 30; ++i)
        keys += "Right ";
    ShellOutput(x + "key --delay 60 " + keys);
    xs.ClickAt(book, kSaveX, kSaveY);
    EXPECT_TRUE(WaitFor([&] { return fs::exists(stories + "Goldilox.txt"); }, alive, 10))
        << "Save story wrote nothing in " << stories;
    EXPECT_EQ(ReadBytes(stories + "goldilox.txt"), lower);
    EXPECT_EQ(fs::status(stories + "Goldilox 2026-12-08 17.05.txt").type(), fs::file_type::fifo);
    EXPECT_TRUE(game->Running()) << "the program ended";
}

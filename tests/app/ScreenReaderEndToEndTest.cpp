// The built game with a real assistive-technology client: under a virtual
// display, with a session bus of its own and the AT-SPI registry that the bus
// starts on demand, tests/app/atspi_scene.py lists the game's accessible
// tree, finds the scene's fourteen buttons and presses "Goldilocks and the
// Three Bears" through its action; the book's window must appear, its cover
// read, "My stories" opened from the cover list its cards by title, tale
// and date, and the story's first page read once "Create story" is pressed;
// the loading window, once closed, and the book, once closed by its ribbon,
// are no longer among the application's windows. "My stories" opened from
// the cover of a tale with no stories of its own shows all of them and says
// so; the word lists' types are page tabs, pressed by their action. On a
// screen scaled to 200 %, a click where "Create story"'s extents say creates
// the story.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

#include "support/TestSupport.h"
#include "support/XSession.h"

namespace {

// Sets an environment variable for the life of the object (the children this
// process starts meanwhile inherit it).
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// A Python that has the AT-SPI client library, or "".
std::string PythonWithAtSpi() {
    for (const char* python : {"/usr/bin/python3", "python3"})
        if (fbwtest::ShellOutput(std::string(python) +
                                 " -c 'import pyatspi; print(1)' 2>/dev/null") == "1")
            return python;
    return "";
}

// Why the screen-reader test cannot run here, or "".
std::string WhyNoScreenReaderHere() {
    if (std::string why = fbwtest::XSession::WhyNotHere(); !why.empty())
        return why;
    if (!fbwtest::OnPath("dbus-daemon"))
        return "dbus-daemon is not installed (scripts/setup installs dbus)";
    if (!std::filesystem::exists("/usr/share/dbus-1/services/org.a11y.Bus.service"))
        return "the AT-SPI bus is not installed (scripts/setup installs at-spi2-core)";
    if (PythonWithAtSpi().empty())
        return "no python3 with pyatspi (scripts/setup installs python3-pyatspi)";
    return "";
}

const char* const kButtons[] = {"Cinderella",
                                "Goldilocks and the Three Bears",
                                "Hansel and Gretel",
                                "Jack and the Beanstalk",
                                "Little Red Riding Hood",
                                "Rapunzel",
                                "Rumpelstiltskin",
                                "Sleeping Beauty",
                                "The Gingerbread Man",
                                "The Tortoise and the Hare",
                                "A surprise tale",
                                "Word lists",
                                "Quit"};

class ScreenReaderEndToEnd : public ::testing::Test {
protected:
    // Runs the game on the display at Scale ("1" or "2") with its own session
    // bus, and atspi_scene.py on it with Args; Out is the client's answer.
    void Run(const std::string& scale, const std::string& args) {
        scale_ = scale;
        const std::string dir = home.Path();

        // A session bus of this test's own; the AT-SPI bus and registry start on
        // it when first asked for, and end with it.
        // Its home and runtime folder are the test's, so that the AT-SPI bus's
        // socket is too.
        const std::string bus = "unix:path=" + dir + "bus";
        std::filesystem::create_directories(dir + "runtime");
        std::filesystem::permissions(dir + "runtime", std::filesystem::perms::owner_all);
        daemon = std::make_unique<fbwtest::ChildProcess>(
            std::vector<std::string>{fbwtest::ShellOutput("command -v dbus-daemon"), "--session",
                                     "--nofork", "--address=" + bus},
            std::vector<std::string>{"HOME=" + dir, "XDG_RUNTIME_DIR=" + dir + "runtime"});
        ASSERT_TRUE(fbwtest::WaitFor([&] { return std::filesystem::exists(dir + "bus"); },
                                     [&] { return daemon->Running(); }, 10))
            << "the session bus did not start";

        // Two stories and a picture book of the tale on the shelf.
        const std::string stories = dir + "Documents/Fablewhirl Stories/";
        std::filesystem::create_directories(stories);
        fbwtest::WriteBytes(stories + "Goldilox.txt", "The Bears' Porridge\r\n\r\nOnce.\r\n");
        fbwtest::WriteBytes(stories + "Goldilox 2026-12-07 09.30.txt",
                            "The Little Chair\r\n\r\nOnce.\r\n");
        fbwtest::WriteBytes(stories + "Goldilox 2026-12-08 17.05.pdf",
                            "%PDF-1.4\n1 0 obj\n<<\n/Title (Bears in Pictures)\n>>\nendobj\n");

        {
            ScopedEnv busEnv("DBUS_SESSION_BUS_ADDRESS", bus);
            // As when a screen reader runs: Qt speaks AT-SPI from the start.
            ScopedEnv on("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
            ScopedEnv scale("QT_SCALE_FACTOR", scale_);
            game = xs->StartGame(dir);
        }
        ASSERT_TRUE(game->Running());
        const std::string pid = std::to_string(game->Pid());

        const std::string script = std::string(FBW_SOURCE_DIR) + "/tests/app/atspi_scene.py";
        answer =
            fbwtest::ShellOutput("DBUS_SESSION_BUS_ADDRESS='" + bus + "' DISPLAY=" + xs->Display() +
                                 " timeout 120 " + PythonWithAtSpi() + " '" + script + "' --pid " +
                                 pid + " " + args + " 2>'" + dir + "client.log'");
        QJsonParseError error{};
        out = QJsonDocument::fromJson(QByteArray::fromStdString(answer), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError)
            << "the client's answer: " << answer << "\n"
            << fbwtest::ShellOutput("cat '" + dir + "client.log'");
    }

    // The game and the bus run until the test ends.
    fbwtest::TempDir home;
    std::unique_ptr<fbwtest::XSession> xs; // ends after the game
    std::unique_ptr<fbwtest::ChildProcess> daemon, game;
    QJsonObject out;
    std::string answer;

private:
    std::string scale_;
};

} // namespace

TEST_F(ScreenReaderEndToEnd, FindsTheFourteenButtonsAndOpensATaleByItsAction) {
    if (const std::string why = WhyNoScreenReaderHere(); !why.empty())
        GTEST_SKIP() << why;
    xs = std::make_unique<fbwtest::XSession>();
    if (xs->Display().empty())
        GTEST_SKIP() << "no Xvfb display could be started";
    ASSERT_NO_FATAL_FAILURE(Run("1", ""));
    EXPECT_FALSE(out.contains("error")) << out.value("error").toString().toStdString();
    EXPECT_EQ(out.value("app").toString(), "Fablewhirl");

    const QJsonArray buttons = out.value("buttons").toArray();
    ASSERT_EQ(buttons.size(), 14)
        << QJsonDocument(out.value("tree").toArray()).toJson().toStdString();
    for (int i = 0; i < 14; ++i) {
        const QJsonObject b = buttons[i].toObject();
        const QString name = b.value("name").toString();
        if (i < 13)
            EXPECT_EQ(name, kButtons[i]);
        else
            EXPECT_TRUE(name == "Sound on" || name == "Sound off") << name.toStdString();
        EXPECT_TRUE(b.value("actions").toArray().contains(QJsonValue("Press")))
            << name.toStdString();
        // On the screen, inside the 1024 x 768 display.
        const int x = b.value("x").toInt(), y = b.value("y").toInt();
        const int w = b.value("width").toInt(), h = b.value("height").toInt();
        EXPECT_GT(w, 0) << name.toStdString();
        EXPECT_GT(h, 0) << name.toStdString();
        EXPECT_GE(x, 0);
        EXPECT_GE(y, 0);
        EXPECT_LE(x + w, 1024);
        EXPECT_LE(y + h, 768);
    }
    EXPECT_EQ(out.value("pressed").toString(), "Goldilocks and the Three Bears");
    EXPECT_TRUE(out.value("book").toBool()) << "the book's window did not appear";
    EXPECT_TRUE(out.value("book_shown").toBool()) << "the book is on the screen";
    // The cover reads its title; pressed through its action, "Create story"
    // turns to the story, whose first page reads its title and first words.
    const QString cover = out.value("page_text").toString();
    EXPECT_TRUE(cover.contains("Goldilocks")) << cover.toStdString();
    // The cover's shelf lists every card, each named by title, tale and date.
    const QJsonArray cards = out.value("shelf").toArray();
    ASSERT_EQ(cards.size(), 3) << answer;
    QStringList names;
    for (const QJsonValue& c : cards)
        names << c.toString();
    for (const char* start : {"Story: The Bears' Porridge, Goldilocks and the Three Bears, ",
                              "Story: The Little Chair, Goldilocks and the Three Bears, ",
                              "Picture book: Bears in Pictures, Goldilocks and the Three Bears, "})
        EXPECT_EQ(names.filter(start).size(), 1) << start << " in " << answer;
    // The letters: radio buttons (the face) in a group named "Letters".
    const QJsonObject letters = out.value("letters").toObject();
    const QString kids = letters.value("children").toVariant().toStringList().join(", ");
    EXPECT_EQ(kids.count("radio button"), 2) << answer;
    EXPECT_EQ(kids.count("*"), 1) << "one face chosen: " << answer;
    // A copy is announced.
    EXPECT_TRUE(out.value("announced").toBool()) << answer;
    const QString first = out.value("story_page").toString();
    EXPECT_TRUE(first.contains("Three")) << first.toStdString();
    EXPECT_TRUE(first.contains("Once upon a time")) << first.toStdString();

    const QJsonArray windows = out.value("windows").toArray();
    EXPECT_TRUE(windows.contains(QJsonValue("Fablewhirl"))) << answer;
    EXPECT_FALSE(windows.contains(QJsonValue("Loading Fablewhirl"))) << answer;
    const QJsonArray closed = out.value("closed").toArray();
    EXPECT_TRUE(closed.contains(QJsonValue("Fablewhirl"))) << answer;
    EXPECT_FALSE(closed.contains(QJsonValue("Storybook"))) << answer;
    EXPECT_TRUE(xs->Window("^Storybook$").empty()) << "the closed book is off the screen";

    // A tale with no stories: the shelf shows all three and says why.
    const QJsonObject empty = out.value("empty_tale").toObject();
    EXPECT_EQ(empty.value("note").toString(),
              "No stories of Sleeping Beauty yet: here are all your stories")
        << answer;
    EXPECT_EQ(empty.value("filter").toString(), "Which stories") << answer;
    EXPECT_EQ(empty.value("cards").toArray().size(), 3) << answer;

    // The word types: page tabs, the one shown selected, pressed by action.
    const QJsonObject tabs = out.value("tabs").toObject();
    const auto seen = [&](const char* when) {
        QStringList shown;
        for (const QJsonValue& t : tabs.value(when).toArray())
            shown << t.toObject().value("name").toString() +
                         (t.toObject().value("selected").toBool() ? "*" : "");
        return shown.join(", ").toStdString();
    };
    EXPECT_EQ(seen("before"), "Names*, Actions, Describing words, Things") << answer;
    EXPECT_EQ(seen("after"), "Names, Actions, Describing words, Things*") << answer;
}

// On a screen scaled to 200 %, "Create story" is drawn where its extents say:
// a click at their middle creates the story.
TEST_F(ScreenReaderEndToEnd, At200PercentAClickWhereCreateStorysExtentsSayCreatesTheStory) {
    if (const std::string why = WhyNoScreenReaderHere(); !why.empty())
        GTEST_SKIP() << why;
    xs = std::make_unique<fbwtest::XSession>(2048, 1536);
    if (xs->Display().empty())
        GTEST_SKIP() << "no Xvfb display could be started";
    ASSERT_NO_FATAL_FAILURE(Run("2", "--click-create"));
    EXPECT_FALSE(out.contains("error")) << out.value("error").toString().toStdString();
    ASSERT_TRUE(out.value("book").toBool()) << answer;
    // The book is drawn at twice its size (592 x 418) at 100 %.
    EXPECT_GE(xs->Size(xs->Window("^Storybook$")).first, 2 * 592) << answer;
    const QString first = out.value("clicked").toString();
    EXPECT_TRUE(first.contains("Once upon a time")) << answer;
}

// The built game under a virtual X display, driven like a player: set up the
// player's folders, start, wait for the scene, hover a tale, switch Caps Lock
// on and see the version label, click the Home signpost, answer Yes, and
// find the settings written; and a player who quits with the keyboard alone.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <sys/resource.h>
#include <sys/stat.h>

#include "platform/Files.h"
#include "platform/PrivateProfile.h"
#include "platform/qt/PulseAudioServer.h"
#include "support/TestSupport.h"
#include "support/XSession.h"

namespace {

struct Outcome {
    int status = -1;
    QString out;
};

Outcome Command(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    Outcome r;
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    return r;
}

// Polls Ready until it holds or Ms milliseconds have passed, letting events run.
template <class F> bool WaitFor(F ready, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!ready()) {
        if (clock.elapsed() > ms)
            return false;
        QTest::qWait(100);
    }
    return true;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        xvfb_ = QStandardPaths::findExecutable("Xvfb");
        xdotool_ = QStandardPaths::findExecutable("xdotool");
        import_ = QStandardPaths::findExecutable("import");
        if (xvfb_.isEmpty() || xdotool_.isEmpty())
            GTEST_SKIP() << "Xvfb or xdotool is not installed (scripts/setup installs both)";
        if (xs_.Display().empty())
            GTEST_SKIP() << "no Xvfb display could be started";
        display_ = QString::fromStdString(xs_.Display());

        env_ = QProcessEnvironment::systemEnvironment();
        env_.remove("QT_QPA_PLATFORM");
        env_.remove("WAYLAND_DISPLAY");
        env_.insert("DISPLAY", display_);
        env_.insert("HOME", QString::fromStdString(home.Path()));
        env_.insert("XDG_DATA_HOME", QString::fromStdString(home / "data"));
        env_.insert("XDG_CONFIG_HOME", QString::fromStdString(home / "config"));
        const std::string runtime = home / "runtime";
        mkdir(runtime.c_str(), 0700);
        env_.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime));
    }
    void TearDown() override {
        if (game_.state() != QProcess::NotRunning) {
            game_.kill();
            game_.waitForFinished();
        }
    }

    Outcome Tool(const QStringList& args) { return Command(xdotool_, args, env_); }
    QStringList Windows(const QString& name) {
        return Tool({"search", "--onlyvisible", "--name", name})
            .out.split('\n', Qt::SkipEmptyParts);
    }
    // The screen as an image (null without ImageMagick).
    QImage Screen() {
        if (import_.isEmpty())
            return {};
        QProcess p;
        p.setProcessEnvironment(env_);
        p.start(import_, {"-window", "root", "png:-"});
        if (!p.waitForFinished(10000))
            return {};
        return QImage::fromData(p.readAllStandardOutput(), "PNG");
    }

    fbwtest::TempDir home;
    QString xvfb_, xdotool_, import_, display_;
    fbwtest::XSession xs_;
    QProcess game_;
    QProcessEnvironment env_;
};

} // namespace

TEST_F(EndToEnd, PlayerStartsHoversAndQuitsThroughTheSignpost) {
    const QString yarns = QString::fromStdString(fbwtest::YarnsDir());
    ASSERT_EQ(Command(yarns + "/fbwtool", {"setup-user"}, env_).status, 0);

    game_.setProcessEnvironment(env_);
    game_.start(yarns + "/fablewhirl", {});
    ASSERT_TRUE(game_.waitForStarted(5000));
    QString main;
    ASSERT_TRUE(WaitFor(
        [&] {
            const QStringList w = Windows("^Fablewhirl$");
            if (!w.isEmpty())
                main = w.first();
            return !main.isEmpty() || game_.state() == QProcess::NotRunning;
        },
        40000))
        << "no main window";
    ASSERT_EQ(game_.state(), QProcess::Running) << game_.readAllStandardError().toStdString();
    EXPECT_TRUE(Windows("^Welcome to").isEmpty()) << "the loading window has gone";

    // Where the window is: X and Y of its client area.
    const QString shell = Tool({"getwindowgeometry", "--shell", main}).out;
    int x = 0, y = 0;
    for (const QString& line : shell.split('\n')) {
        if (line.startsWith("X="))
            x = line.mid(2).toInt();
        if (line.startsWith("Y="))
            y = line.mid(2).toInt();
    }
    const int sceneX = x + 20, sceneY = y + 20; // the scene is centred in 590 x 410

    // A window manager would give the new window the focus; here the test does.
    Tool({"windowfocus", main});

    // Hover the first tale, then rest there.
    Tool({"mousemove", QString::number(sceneX + 30), QString::number(sceneY + 20)});
    Tool({"mousemove", QString::number(sceneX + 32), QString::number(sceneY + 22)});

    // Caps Lock on shows the version label in lime green above the scene.
    if (!import_.isEmpty()) {
        Tool({"key", "Caps_Lock"});
        auto limeShown = [&] {
            const QImage shot = Screen();
            for (int yy = y; yy < y + 16 && yy < shot.height(); ++yy)
                for (int xx = x; xx < x + 120 && xx < shot.width(); ++xx)
                    if (const QColor c = shot.pixelColor(xx, yy);
                        c.green() > 180 && c.red() < 100 && c.blue() < 100)
                        return true; // lime text on the dark green tiles
            return false;
        };
        EXPECT_TRUE(WaitFor(limeShown, 5000)) << "lblVersion shows while Caps Lock is on";
        Tool({"key", "Caps_Lock"});
        EXPECT_TRUE(WaitFor([&] { return !limeShown(); }, 5000));
    }

    // The Home signpost asks before quitting; Yes ends the game.
    Tool({"mousemove", QString::number(sceneX + 25), QString::number(sceneY + 315)});
    Tool({"click", "1"});
    ASSERT_TRUE(WaitFor([&] { return Windows("^Fablewhirl$").size() >= 2; }, 10000))
        << "no question box";
    Tool({"key", "Return"});
    ASSERT_TRUE(game_.waitForFinished(15000));
    EXPECT_EQ(game_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(game_.exitCode(), 0);

    const std::string ini = home / "data/Lumwright Software/Yarns/yarns.ini";
    EXPECT_EQ(plat::GetProfileString("Game", "Maximized", "<none>", ini), "0");
    EXPECT_NE(plat::GetProfileString("Game", "Sound", "<none>", ini), "<none>");
}

TEST_F(EndToEnd, PlayerQuitsWithTheKeyboardAlone) {
    const QString yarns = QString::fromStdString(fbwtest::YarnsDir());
    ASSERT_EQ(Command(yarns + "/fbwtool", {"setup-user"}, env_).status, 0);
    game_.setProcessEnvironment(env_);
    game_.start(yarns + "/fablewhirl", {});
    ASSERT_TRUE(game_.waitForStarted(5000));
    QString main;
    ASSERT_TRUE(WaitFor(
        [&] {
            const QStringList w = Windows("^Fablewhirl$");
            if (!w.isEmpty())
                main = w.first();
            return !main.isEmpty() || game_.state() == QProcess::NotRunning;
        },
        40000))
        << "no main window";
    ASSERT_EQ(game_.state(), QProcess::Running);
    Tool({"windowfocus", main});

    // Shift+Tab twice: from the end of the regions back to the Home signpost.
    Tool({"key", "shift+Tab", "shift+Tab"});
    Tool({"key", "Return"});
    ASSERT_TRUE(WaitFor([&] { return Windows("^Fablewhirl$").size() >= 2; }, 10000))
        << "no question box";
    Tool({"key", "Return"}); // Yes
    ASSERT_TRUE(game_.waitForFinished(15000));
    EXPECT_EQ(game_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(game_.exitCode(), 0);
}

TEST_F(EndToEnd, UnderAFileSizeLimitTheGameStartsAndQuits) {
    // A limit far below what the sound client sizes its shared memory to
    // (ulimit -f 10000), with a sound server to connect to.
    if (!plat::PulseAudioServer::Answers())
        GTEST_SKIP() << "no PulseAudio server answers (scripts/test starts a null sink)";
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!qEnvironmentVariableIsSet("PULSE_SERVER"))
        env_.insert("PULSE_SERVER", "unix:" + runtime + "/pulse/native");
    const QString yarns = QString::fromStdString(fbwtest::YarnsDir());
    ASSERT_EQ(Command(yarns + "/fbwtool", {"setup-user"}, env_).status, 0);
    game_.setProcessEnvironment(env_);
    game_.setChildProcessModifier([] {
        const rlimit limit{10000 * 1024, 10000 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    game_.start(yarns + "/fablewhirl", {});
    ASSERT_TRUE(game_.waitForStarted(5000));
    QString main;
    ASSERT_TRUE(WaitFor(
        [&] {
            const QStringList w = Windows("^Fablewhirl$");
            if (!w.isEmpty())
                main = w.first();
            return !main.isEmpty() || game_.state() == QProcess::NotRunning;
        },
        40000))
        << "no main window";
    ASSERT_EQ(game_.state(), QProcess::Running) << game_.readAllStandardError().toStdString();
    Tool({"windowfocus", main});
    Tool({"key", "shift+Tab", "shift+Tab"});
    Tool({"key", "Return"});
    ASSERT_TRUE(WaitFor([&] { return Windows("^Fablewhirl$").size() >= 2; }, 10000))
        << "no question box";
    Tool({"key", "Return"}); // Yes
    ASSERT_TRUE(game_.waitForFinished(15000));
    EXPECT_EQ(game_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(game_.exitCode(), 0);
}

// The start-up sequence: the display checks, the needed files and the
// broadcast, a loading failure, the loading window's hold, a whole start and
// quit, and a second copy (a second process) handing over to the first.
#include <QAccessible>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <sys/stat.h>

#include "AppFixture.h"
#include "app/FormGame.h"
#include "app/FormLoading.h"
#include "app/Main.h"
#include "app/SingleInstance.h"
#include "image/RL8Library.h"
#include "platform/Screen.h"
#include "scene/ProjectVersion.h"

namespace {

class StartupTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        step = 500; // the loading hold reads the tick about twenty times
        chmod(runtime.Path().c_str(), 0700);
    }
    void TearDown() override {
        plat::SetScreenDepthSource({});
        AppFixture::TearDown();
    }
    TGameStartup::Options Options(std::function<void(TGameStartup&)> onRunning = {}) {
        TGameStartup::Options o;
        o.locateFolders = false;
        o.startFolder = fbwtest::YarnsDir();
        o.instanceFolder = QString::fromStdString(runtime.Path());
        o.onRunning = std::move(onRunning);
        return o;
    }
    fbwtest::TempDir runtime;
};

const std::string kSixteen =
    "This program is designed for a 256-color display. You are running a 16-color display. "
    "This will adversely affect the appearance of the graphics used in the game. Continue "
    "anyway?";

} // namespace

TEST_F(StartupTest, DisplayDepths) {
    {
        plat::SetScreenDepthSource([] { return 1; });
        fbwtest::MessageCapture capture;
        TGameStartup startup(Options());
        EXPECT_EQ(startup.Run(), 1);
        ASSERT_EQ(capture.Messages().size(), 1u);
        EXPECT_EQ(capture.Messages()[0].text,
                  "This program cannot be played on a monochrome display.");
        EXPECT_EQ(capture.Messages()[0].kind, plat::MsgKind::Error);
    }
    {
        plat::SetScreenDepthSource([] { return 4; });
        fbwtest::MessageCapture capture(plat::MsgAnswer::No);
        TGameStartup startup(Options());
        EXPECT_EQ(startup.Run(), 1);
        ASSERT_EQ(capture.Messages().size(), 1u);
        EXPECT_EQ(capture.Messages()[0].text, kSixteen);
        EXPECT_EQ(capture.Messages()[0].buttons, plat::MsgButtons::YesNo);
        // No lock is left behind: the next start may take it.
        TSingleInstance probe(QString::fromStdString(runtime.Path()));
        EXPECT_TRUE(probe.Acquire());
    }
    for (int depth : {4, 8, 16, 24, 32}) {
        plat::SetScreenDepthSource([depth] { return depth; });
        fbwtest::MessageCapture capture(plat::MsgAnswer::Yes);
        bool ran = false;
        TGameStartup startup(Options([&](TGameStartup& s) {
            ran = true;
            s.MainWindow()->close();
        }));
        EXPECT_EQ(startup.Run(), 0) << depth;
        EXPECT_TRUE(ran) << depth;
        EXPECT_EQ(capture.Messages().size(), depth == 4 ? 1u : 0u) << depth;
    }
}

TEST_F(StartupTest, WholeStartHoldsTheLoadingWindowThenRunsUntilQuit) {
    fbwtest::MessageCapture capture;
    TGameStartup startup(Options([&](TGameStartup& s) {
        TFormLoading* loading = s.LoadingWindow();
        ASSERT_NE(loading, nullptr);
        EXPECT_FALSE(loading->isVisible());
        EXPECT_EQ(loading->windowTitle(), "Welcome to \"Fablewhirl\"");
        EXPECT_EQ(loading->size(), QSize(317, 143));
        EXPECT_GE(plat::GetTickCount() - loading->ShownAt(), TFormLoading::kMinShowTime);
        ASSERT_NE(s.MainWindow(), nullptr);
        EXPECT_TRUE(s.MainWindow()->isVisible());
        EXPECT_TRUE(s.MainWindow()->tmrAnim.isActive());
        EXPECT_NE(s.WordsWindow(), nullptr);
        EXPECT_NE(s.BookWindow(), nullptr);
        EXPECT_EQ(QCoreApplication::applicationName(), "Fablewhirl");
        QTimer::singleShot(0, s.MainWindow(), [&s] { s.MainWindow()->close(); });
    }));
    EXPECT_EQ(startup.Run(), 0);
    EXPECT_TRUE(capture.Messages().empty());
    EXPECT_EQ(Setting("Game", "Maximized"), "0");
    EXPECT_EQ(Setting("Game", "Sound"), "1") << "kept as wanted: the run had no audio output";
    EXPECT_EQ(startup.MainWindow(), nullptr) << "windows are gone after the loop";
}

TEST_F(StartupTest, LoadingWindowHoldsTenSeconds) {
    TRL8Library lib;
    lib.Open(fbwtest::YarnsDir() + "/FBWstart.rl8");
    TFormLoading loading(lib);
    loading.show();
    const uint32_t shown = loading.ShownAt();
    loading.hide();
    EXPECT_FALSE(loading.isVisible());
    EXPECT_GE(plat::GetTickCount() - shown, 10000u);
    // Across a wrap of the tick counter too.
    tick = 0xFFFFF000u;
    loading.show();
    loading.hide();
    EXPECT_GE(plat::GetTickCount() - loading.ShownAt(), 10000u);
    EXPECT_LT(plat::GetTickCount(), 0x10000u);
}

TEST_F(StartupTest, AClickOrAKeyOnTheLoadingWindowGoesOnAtOnce) {
    TRL8Library lib;
    lib.Open(fbwtest::YarnsDir() + "/FBWstart.rl8");
    TFormLoading loading(lib);
    // A click on the picture while the window holds, saying so to the eye
    // and to screen readers (a window, with its text).
    loading.show();
    const QString loadingText = loading.lblLoading.text();
    QString holding, heard;
    QAccessible::Role role = QAccessible::NoRole;
    QTimer::singleShot(0, &loading, [&] {
        holding = loading.lblLoading.text();
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&loading);
        role = window->role();
        heard = window->text(QAccessible::Description);
        QTest::mouseClick(loading.windowHandle(), Qt::LeftButton, {},
                          loading.pbxIcon.geometry().center());
    });
    loading.hide();
    EXPECT_FALSE(loading.isVisible());
    EXPECT_LT(plat::GetTickCount() - loading.ShownAt(), TFormLoading::kMinShowTime);
    EXPECT_EQ(holding, "Click or press a key to start");
    EXPECT_NE(loadingText, holding) << "not while the game loads";
    EXPECT_EQ(role, QAccessible::Window);
    EXPECT_EQ(heard, holding);
    // A key pressed while the game loads: it goes on once loaded.
    loading.show();
    QTest::keyClick(&loading, Qt::Key_Space);
    loading.hide();
    EXPECT_LT(plat::GetTickCount() - loading.ShownAt(), TFormLoading::kMinShowTime);
    // Shown again, it holds again.
    loading.show();
    loading.hide();
    EXPECT_GE(plat::GetTickCount() - loading.ShownAt(), TFormLoading::kMinShowTime);
}

TEST_F(StartupTest, MissingFileIsReportedThenBroadcast) {
    // A listener stands for a running copy's socket.
    TSingleInstance listener(QString::fromStdString(runtime.Path()));
    ASSERT_TRUE(listener.Listen());
    QSignalSpy heard(&listener, &TSingleInstance::PreviousInstance);
    plat::DeleteFile(InstallFolder + "words.dat");
    fbwtest::MessageCapture capture;
    {
        TGameStartup startup(Options());
        EXPECT_EQ(startup.Run(), 1);
    }
    ASSERT_EQ(capture.Messages().size(), 1u);
    EXPECT_EQ(capture.Messages()[0].text,
              "Sorry! We cannot find the needed file \"" + InstallFolder + "words.dat\".");
    EXPECT_TRUE(heard.count() > 0 || heard.wait(2000));
}

TEST_F(StartupTest, LoadingFailureShowsExactlyOneMessageAndNoMainWindow) {
    // A program folder whose game library is damaged.
    fbwtest::TempDir program;
    const std::string yarns = fbwtest::YarnsDir() + "/";
    ASSERT_EQ(symlink((yarns + "dat").c_str(), (program / "dat").c_str()), 0);
    ASSERT_EQ(symlink((yarns + "wav").c_str(), (program / "wav").c_str()), 0);
    ASSERT_EQ(symlink((yarns + "FBWstart.rl8").c_str(), (program / "FBWstart.rl8").c_str()), 0);
    fbwtest::WriteBytes(program / "yarns.rl8", "not a library");
    ProgramFolder = program.Path();
    DataFolder = ProgramFolder + "dat/";
    WaveFolder = ProgramFolder + "wav/";

    fbwtest::MessageCapture capture;
    bool ran = false;
    TGameStartup startup(Options([&](TGameStartup&) { ran = true; }));
    EXPECT_EQ(startup.Run(), 1);
    EXPECT_FALSE(ran);
    ASSERT_EQ(capture.Messages().size(), 1u);
    EXPECT_EQ(capture.Messages()[0].text.rfind("Fablewhirl encountered a problem on start-up: ", 0),
              0u);
    EXPECT_EQ(Setting("Game", "Sound"), "<none>");
}

TEST_F(StartupTest, SecondCopyHandsOverAndEnds) {
    // This process is the running copy.
    TSingleInstance running(QString::fromStdString(runtime.Path()));
    ASSERT_TRUE(running.Acquire());
    ASSERT_TRUE(running.Listen());
    QSignalSpy heard(&running, &TSingleInstance::PreviousInstance);

    // The key store of the second copy names our installation folder.
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.Path()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(config.Path()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    plat::KeyStore keys(config.Path() + "Lumwright Software/registry.ini");
    keys.OpenKey(kRegYarnsKey, true);
    keys.WriteString(kRegYarnsKey, "Directory", install.Path());
    second.setProcessEnvironment(env);
    second.start(QString::fromStdString(fbwtest::YarnsDir() + "/fablewhirl"), {});
    ASSERT_TRUE(second.waitForStarted(5000));
    QElapsedTimer clock;
    clock.start();
    while (second.state() != QProcess::NotRunning && clock.elapsed() < 15000)
        QTest::qWait(20);
    ASSERT_EQ(second.state(), QProcess::NotRunning) << "the second copy ends by itself";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(heard.count() > 0 || heard.wait(2000));

    // A lock left by a copy that has died is taken over.
    fbwtest::TempDir other;
    chmod(other.Path().c_str(), 0700);
    fbwtest::WriteBytes(other / "FBW32.lock", "999999\nfablewhirl\n\n");
    TSingleInstance heir(QString::fromStdString(other.Path()));
    EXPECT_TRUE(heir.Acquire());
}

TEST_F(StartupTest, HelpAndVersionNeedNoDisplay) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    const auto run = [&](const QStringList& args) {
        QProcess game;
        game.setProcessEnvironment(env);
        game.start(QString::fromStdString(fbwtest::YarnsDir() + "/fablewhirl"), args);
        EXPECT_TRUE(game.waitForFinished(10000));
        return std::pair(game.exitStatus() == QProcess::NormalExit ? game.exitCode() : -1,
                         game.readAllStandardOutput().toStdString());
    };
    EXPECT_EQ(run({"--help"}), std::pair(0, GameHelpText()));
    const auto [status, version] = run({"--version"});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(version, std::string("fablewhirl ") + TProjectVersion::kFull + "\n");
    EXPECT_EQ(run({}).first, 1) << "the game itself needs one";
}

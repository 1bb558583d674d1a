// A sound server that starts after the game: the game's PulseAudio output
// finds it when "Read to me" is next asked for, and plays through it. The
// test starts a PulseAudio server of its own (a null sink on a socket of a
// runtime folder of its own) after the wave manager has found none, and
// stops it at the end. Prints what looking costs while there is no server.
// Skipped where the PulseAudio output or the pulseaudio program is missing.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "platform/MemoryStream.h"
#include "platform/qt/QtWaveOutService.h"
#include "reading/ReadAloud.h"
#include "sound/SoundNode.h"
#include "sound/WaveBytes.h"
#include "sound/WaveMan.h"
#include "support/NullSpeechSynth.h"
#include "support/TestSupport.h"
#include "support/XSession.h"

namespace {

bool WaitFor(const std::function<bool()>& condition, int ms) {
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(5);
    }
    return condition();
}

class Window : public plat::WaveOutWindow {
public:
    TWaveMan* manager = nullptr;
    std::vector<uint16_t> finished;
    void WaveOutDone(const plat::WaveDoneMessage& message) override {
        if (manager)
            finished.push_back(manager->WaveDone(message));
    }
};

class Owner : public TReadAloudOwner {
public:
    void ReadAloudShowSpread(int) override {}
    void ReadAloudRepaintPage(int) override {}
    void ReadAloudRepaintParts(const std::vector<TLinePart>&) override {}
    void ReadAloudStateChanged(TReadState) override {}
};

// Sets an environment variable for the object's lifetime.
class EnvScope {
public:
    EnvScope(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            had_ = true;
            old_ = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~EnvScope() {
        if (had_)
            ::setenv(name_, old_.c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

} // namespace

TEST(LateSoundServer, AServerThatStartsAfterTheGameIsFoundAndPlays) {
    if (!plat::QtWaveOutService::PulseUsable())
        GTEST_SKIP() << "skipped: the PulseAudio output is not built in (libpulse-dev) or the "
                        "event loop is not GLib's";
    if (!fbwtest::OnPath("pulseaudio"))
        GTEST_SKIP() << "skipped: pulseaudio is missing (scripts/setup installs it)";
    fbwtest::TempDir runtime;
    std::filesystem::permissions(runtime.Path(), std::filesystem::perms::owner_all);
    const std::string socket = runtime / "native";
    const EnvScope server("PULSE_SERVER", "unix:" + socket);

    auto previous = plat::SetWaveOutService(
        std::make_unique<plat::QtWaveOutService>(plat::QtWaveOutService::Backend::Pulse));
    {
        Window window;
        TWaveMan manager(&window, true);
        window.manager = &manager;
        Owner owner;
        TReadAloud reader(owner, std::make_unique<fbwtest::NullSpeechSynth>());
        EXPECT_FALSE(manager.Enabled) << "no server yet";

        // Each time the book shows its controls it asks; with no server the
        // answer is quick.
        QElapsedTimer clock;
        clock.start();
        constexpr int kLooks = 20;
        for (int i = 0; i < kLooks; ++i)
            EXPECT_FALSE(reader.Available(&manager));
        const double perLook = static_cast<double>(clock.nsecsElapsed()) / 1e6 / kLooks;
        std::printf("looking for a sound server that is not there: %.2f ms a look\n", perLook);
        EXPECT_LT(perLook, 50.0);

        QProcess pulse;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.Path()));
        env.remove("PULSE_SERVER");
        pulse.setProcessEnvironment(env);
        pulse.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        pulse.start("pulseaudio",
                    {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                     "--load=module-null-sink sink_name=late",
                     QString::fromStdString("--load=module-native-protocol-unix socket=" + socket +
                                            " auth-anonymous=1")});
        ASSERT_TRUE(pulse.waitForStarted(5000));
        const bool found = WaitFor([&] { return reader.Available(&manager); }, 10000);
        EXPECT_TRUE(found) << "the server that started later";
        EXPECT_TRUE(manager.Enabled);

        if (found) {
            // A second of sound plays through it and is heard.
            manager.NodeClass = [](const std::string&, uint8_t flags, uint16_t id) {
                plat::MemoryStream stream(fbwtest::PcmWave(22050));
                return std::make_unique<TSoundNode>(stream, flags, id);
            };
            ASSERT_TRUE(manager.LoadSound("tone", 1, 0));
            ASSERT_TRUE(manager.PlaySound(1, 0, false));
            // The server has the game's stream while it plays.
            std::string inputs;
            EXPECT_TRUE(WaitFor(
                [&] {
                    inputs = fbwtest::ShellOutput("LC_ALL=C pactl -s unix:" + socket +
                                                  " list sink-inputs 2>/dev/null");
                    return inputs.find("Fablewhirl") != std::string::npos ||
                           !window.finished.empty();
                },
                5000));
            EXPECT_NE(inputs.find("Fablewhirl"), std::string::npos) << inputs;
            EXPECT_TRUE(WaitFor([&] { return !window.finished.empty(); }, 10000));
            EXPECT_EQ(window.finished, std::vector<uint16_t>{1});
        }
        manager.StopPlaying();
        WaitFor([] { return false; }, 50);
        pulse.terminate();
        if (!pulse.waitForFinished(5000)) {
            pulse.kill();
            pulse.waitForFinished(5000);
        }
    }
    plat::SetWaveOutService(std::move(previous));
}

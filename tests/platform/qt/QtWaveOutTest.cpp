// The Qt platform's wave-out device, on each of its audio outputs (the game's
// own PulseAudio output and Qt Multimedia's sink): sounds play through the
// default audio output and their done messages arrive through the event loop
// once they have been heard; while sound is on the game's sounds share one
// output, kept open and paused between them. Skipped when the machine has no
// audio output.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <unistd.h>

#include "data/InitGame.h"
#include "platform/AudioOutput.h"
#include "platform/MemoryStream.h"
#if FBW_HAVE_PULSE
#include "platform/qt/PulseAudioOutput.h"
#endif
#include "platform/qt/QtWaveOutService.h"
#include "sound/AppSound.h"
#include "sound/SoundNode.h"
#include "sound/WaveBytes.h"
#include "sound/WaveMan.h"
#include "support/TestSupport.h"
#include "support/XSession.h"

using namespace fbwtest;

namespace {

// A soft 440 Hz tone of the given length, 16-bit mono 22,050 Hz.
std::string Tone(double seconds) {
    std::string samples;
    const int n = static_cast<int>(seconds * 22050);
    for (int i = 0; i < n; ++i) {
        const double v = 0.1 * std::sin(2 * M_PI * 440 * i / 22050.0);
        samples += Le(static_cast<uint16_t>(static_cast<int16_t>(v * 32767)), 2);
    }
    return Riff(Chunk("fmt ", FormatBody()) + Chunk("data", samples));
}

class Window : public plat::WaveOutWindow {
public:
    TWaveMan* manager = nullptr;
    int received = 0;
    bool onMainThread = true;
    qint64 lastAtMs = -1;
    QElapsedTimer clock;
    std::vector<uint16_t> finished;
    void WaveOutDone(const plat::WaveDoneMessage& message) override {
        ++received;
        lastAtMs = clock.elapsed();
        onMainThread = onMainThread && QThread::currentThread() == qApp->thread();
        if (manager)
            finished.push_back(manager->WaveDone(message));
    }
};

// A stream that this process has open on the PulseAudio server.
struct Stream {
    std::string index;
    bool corked = false;
};

// This process's streams, as the sound server lists them (pactl).
std::vector<Stream> OurStreams() {
    std::vector<Stream> streams;
    std::istringstream lines(fbwtest::ShellOutput("LC_ALL=C pactl list sink-inputs 2>/dev/null"));
    const std::string pid = "application.process.id = \"" + std::to_string(::getpid()) + "\"";
    Stream current;
    bool corked = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Sink Input #", 0) == 0) {
            current = Stream{line.substr(12), false};
            corked = false;
        } else if (line.find("Corked: yes") != std::string::npos) {
            corked = true;
        } else if (line.find(pid) != std::string::npos) {
            current.corked = corked;
            streams.push_back(current);
        }
    }
    return streams;
}

bool WaitFor(const std::function<bool()>& condition, int ms) {
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return condition();
}

using Backend = plat::QtWaveOutService::Backend;

class QtWaveOutTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        if (GetParam() == Backend::Pulse && !plat::QtWaveOutService::PulseUsable())
            GTEST_SKIP() << "skipped: the PulseAudio output is not built in (libpulse-dev) or "
                            "the event loop is not GLib's";
        auto qt = std::make_unique<plat::QtWaveOutService>(GetParam());
        service = qt.get();
        previous = plat::SetWaveOutService(std::move(qt));
        if (plat::CurrentWaveOutService().DeviceCount() == 0)
            GTEST_SKIP() << "skipped: no audio output on this machine (start a PulseAudio null "
                            "sink to run it)";
        window.clock.start();
    }
    void TearDown() override {
        // The window hands late done messages to no manager once it has gone.
        window.manager = nullptr;
        manager.reset();
        // Let the messages of stopped devices drain while the window exists.
        WaitFor([] { return false; }, 50);
        plat::SetWaveOutService(std::move(previous));
    }
    TSoundNode* LoadTone(uint16_t id, double seconds) {
        if (!manager) {
            manager = std::make_unique<TWaveMan>(&window, true);
            window.manager = manager.get();
            manager->NodeClass = [this](const std::string&, uint8_t flags, uint16_t nodeId) {
                plat::MemoryStream stream(Tone(tones[nodeId]));
                return std::make_unique<TSoundNode>(stream, flags, nodeId);
            };
        }
        tones[id] = seconds;
        EXPECT_TRUE(manager->LoadSound("tone", id, 0));
        return manager->FindSound(id);
    }

    std::unique_ptr<plat::WaveOutService> previous;
    plat::QtWaveOutService* service = nullptr;
    Window window;
    std::unique_ptr<TWaveMan> manager;
    std::map<uint16_t, double> tones;
};

} // namespace

TEST(QtWaveOutFormats, UnsupportedFormatsDoNotOpen) {
    plat::QtWaveOutService service;
    plat::WaveFormat f{1, 1, 22050, 44100, 2, 16, 0};
    plat::WaveFormat bad = f;
    bad.bitsPerSample = 12;
    EXPECT_EQ(service.Open(bad, nullptr), nullptr);
    bad = f;
    bad.blockAlign = 3;
    EXPECT_EQ(service.Open(bad, nullptr), nullptr);
    bad = f;
    bad.channels = 0;
    EXPECT_EQ(service.Open(bad, nullptr), nullptr);
    bad = f;
    bad.formatTag = 3;
    EXPECT_EQ(service.Open(bad, nullptr), nullptr);
}

TEST_P(QtWaveOutTest, ShortSoundPlaysAndItsDoneMessageComesWhenHeard) {
    ASSERT_TRUE(LoadTone(1, 0.3));
    window.clock.restart();
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    EXPECT_EQ(window.received, 0) << "posted, never called from the device";
    ASSERT_TRUE(WaitFor([&] { return window.received > 0; }, 5000)) << "no done message";
    EXPECT_GE(window.lastAtMs, 300) << "done before the sound could have been heard";
    EXPECT_LT(window.lastAtMs, 2000);
    EXPECT_TRUE(window.onMainThread);
    EXPECT_EQ(window.finished, std::vector<uint16_t>{1});
    EXPECT_EQ(manager->FindPlaying(), nullptr);
    EXPECT_FALSE(manager->FindSound(1)->WaveOut) << "closed after its done message";
}

TEST_P(QtWaveOutTest, QueuedSoundsPlayOneAfterTheOther) {
    LoadTone(1, 0.25);
    LoadTone(2, 0.2);
    window.clock.restart();
    ASSERT_TRUE(manager->PlaySound(1, poOverSound, false));
    ASSERT_TRUE(manager->PlaySound(2, poOverSound, false));
    ASSERT_TRUE(WaitFor([&] { return window.received == 2; }, 5000));
    EXPECT_GE(window.lastAtMs, 450);
    EXPECT_EQ(window.finished, (std::vector<uint16_t>{1, 2}));
}

TEST_P(QtWaveOutTest, LoopPlaysEveryPassAndBreakLoopEndsIt) {
    TSoundNode* p = LoadTone(1, 0.2);
    p->SetLoopCount(3);
    window.clock.restart();
    ASSERT_TRUE(p->Play(&window));
    ASSERT_TRUE(WaitFor([&] { return window.received > 0; }, 5000));
    EXPECT_GE(window.lastAtMs, 600) << "three passes";

    window.received = 0;
    window.finished.clear();
    window.clock.restart();
    ASSERT_TRUE(manager->PlaySound(1, 0, true));
    EXPECT_TRUE(p->IsLooping());
    EXPECT_FALSE(WaitFor([&] { return window.received > 0; }, 700)) << "an endless loop goes on";
    const int64_t position = p->GetPosition();
    EXPECT_GT(position, 0);
    EXPECT_LE(position, window.clock.elapsed());
    p->BreakLoop();
    // The pass being played and what the output has buffered still play: on
    // the PulseAudio null sink that can be a second or two.
    EXPECT_TRUE(WaitFor([&] { return window.received > 0; }, 4000)) << "the loop ended";
    EXPECT_EQ(window.finished, std::vector<uint16_t>{1});
}

TEST_P(QtWaveOutTest, StopEndsTheSoundAtOnce) {
    LoadTone(1, 1.5);
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    WaitFor([] { return false; }, 100);
    window.clock.restart();
    manager->StopPlaying();
    EXPECT_EQ(window.received, 0) << "the reset posts the message";
    ASSERT_TRUE(WaitFor([&] { return window.received > 0; }, 1000));
    EXPECT_LT(window.lastAtMs, 200);
    EXPECT_EQ(window.finished, std::vector<uint16_t>{1});
}

TEST_P(QtWaveOutTest, DestroyingTheWindowDropsPendingMessages) {
    auto owner = std::make_unique<Window>();
    TWaveMan other(owner.get(), true);
    other.NodeClass = [](const std::string&, uint8_t flags, uint16_t id) {
        plat::MemoryStream stream(Tone(0.5));
        return std::make_unique<TSoundNode>(stream, flags, id);
    };
    ASSERT_TRUE(other.LoadSound("tone", 1, 0));
    ASSERT_TRUE(other.PlaySound(1, 0, false));
    other.StopPlaying(); // posts the done message
    owner.reset();
    WaitFor([] { return false; }, 100); // delivering it must not touch the window
}

namespace {
// The main window's part in the game's sound: every done message goes to
// SoundDone. The data and wave folders are the program folder's while it
// lives.
struct GameSoundWindow : plat::WaveOutWindow {
    int done = 0;
    const std::string savedData = DataFolder, savedWave = WaveFolder;
    GameSoundWindow() {
        DataFolder = fbwtest::YarnsDir() + "/dat/";
        WaveFolder = fbwtest::YarnsDir() + "/wav/";
    }
    ~GameSoundWindow() override {
        DataFolder = savedData;
        WaveFolder = savedWave;
    }
    void WaveOutDone(const plat::WaveDoneMessage& m) override {
        ++done;
        SoundDone(m);
    }
};
} // namespace

TEST_P(QtWaveOutTest, GameSoundPlaysFromTheProgramFolder) {
    // The main window's part: hand every done message to SoundDone.
    GameSoundWindow main;
    std::unique_ptr<TWaveMan> owned = StartSound(&main, true);
    ASSERT_TRUE(SoundOn);
    PlayGameSound(8); // the knock at Red Riding Hood's door, 0.6 s
    ASSERT_NE(WaveManager->FindPlaying(), nullptr) << "the shipped wave plays";
    EXPECT_TRUE(WaitFor([&] { return main.done > 0; }, 5000));
    EXPECT_EQ(WaveManager->Sounds.Count(), 0) << "freed after playing";
    owned.reset();
    StopSound();
}

TEST_P(QtWaveOutTest, WhileSoundIsOnTheGameSoundsShareOneOutputThatPausesBetweenThem) {
    if (!fbwtest::OnPath("pactl"))
        GTEST_SKIP() << "pactl is missing (scripts/setup installs pulseaudio)";
    GameSoundWindow main;
    std::unique_ptr<TWaveMan> owned = StartSound(&main, true);
    ASSERT_TRUE(SoundOn);

    PlayGameSound(8); // 0.6 s
    ASSERT_TRUE(WaitFor([&] { return main.done == 1; }, 5000));
    const std::vector<Stream> first = OurStreams();
    ASSERT_EQ(first.size(), 1u) << "the output stays open after the sound";
    EXPECT_TRUE(first[0].corked) << "and is paused while nothing plays";

    PlayGameSound(1);
    ASSERT_TRUE(WaitFor([&] { return main.done == 2; }, 5000));
    const std::vector<Stream> second = OurStreams();
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].index, first[0].index) << "the same output played the next sound";
    EXPECT_TRUE(second[0].corked);

    // Sound off: the output closes.
    SetSoundOn(false);
    EXPECT_TRUE(WaitFor([] { return OurStreams().empty(); }, 3000));
    owned.reset();
    StopSound();
}

TEST_P(QtWaveOutTest, TheKeptOutputPlaysOneDeviceAtATime) {
    service->KeepOutputOpen(true);
    TSoundNode* a = LoadTone(1, 0.4);
    TSoundNode* b = LoadTone(2, 0.4);
    for (int round = 1; round <= 2; ++round) {
        ASSERT_TRUE(manager->PlaySound(1, 0, false));
        ASSERT_TRUE(WaitFor([&] { return window.received == round; }, 10000));
        ASSERT_NE(service->KeptOutput(), nullptr);
        // Paused by the look that ended the sound, or, on a busy machine, by
        // the one after the sink's own late report that it ran dry.
        EXPECT_TRUE(WaitFor([&] { return service->KeptOutput()->Suspended(); }, 2000))
            << "paused between sounds";
    }
    EXPECT_EQ(service->KeptOutput()->StreamOpens(), 1) << "opened once for both sounds";

    // A second device while the first plays has an output of its own: both
    // sound at once, as two devices do.
    window.received = 0;
    window.clock.restart();
    ASSERT_TRUE(a->Play(&window));
    ASSERT_TRUE(b->Play(&window));
    ASSERT_TRUE(WaitFor([&] { return window.received == 2; }, 10000));
    EXPECT_GE(window.lastAtMs, 400);
    EXPECT_LT(window.lastAtMs, 800) << "they played together, not one after the other";
    EXPECT_EQ(service->KeptOutput()->StreamOpens(), 1);

    // Sound off: the kept output goes, and every device opens its own again.
    service->KeepOutputOpen(false);
    EXPECT_EQ(service->KeptOutput(), nullptr);
    window.received = 0;
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    EXPECT_EQ(service->KeptOutput(), nullptr);
    EXPECT_TRUE(WaitFor([&] { return window.received > 0; }, 5000));
}

INSTANTIATE_TEST_SUITE_P(Outputs, QtWaveOutTest, ::testing::Values(Backend::Pulse, Backend::QtSink),
                         [](const ::testing::TestParamInfo<Backend>& info) {
                             return info.param == Backend::Pulse ? "Pulse" : "QtSink";
                         });

#if FBW_HAVE_PULSE
// What makes the PulseAudio output cheap to run: a sound goes to the server
// in one write, a long one in a few, instead of one every 20 ms.
class PulseOutputTest : public QtWaveOutTest {};

TEST_P(PulseOutputTest, ASoundGoesToTheServerInOneWriteALongOneInAFew) {
    service->KeepOutputOpen(true);
    LoadTone(1, 0.6);
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    ASSERT_TRUE(WaitFor([&] { return window.received == 1; }, 5000));
    const auto* pulse = dynamic_cast<const plat::PulseAudioOutput*>(service->KeptOutput());
    ASSERT_NE(pulse, nullptr);
    EXPECT_EQ(pulse->ServerWrites(), 1);

    window.clock.restart();
    LoadTone(2, 2.5);
    ASSERT_TRUE(manager->PlaySound(2, 0, false));
    ASSERT_TRUE(WaitFor([&] { return window.received == 2; }, 8000));
    EXPECT_GE(window.lastAtMs, 2500) << "the whole sound was heard";
    EXPECT_LE(pulse->ServerWrites(), 1 + 8) << "2.5 s in 20 ms writes would be 125";
    EXPECT_TRUE(pulse->Suspended()) << "paused once played";
    EXPECT_EQ(pulse->StreamOpens(), 1);
}

INSTANTIATE_TEST_SUITE_P(Outputs, PulseOutputTest, ::testing::Values(Backend::Pulse),
                         [](const ::testing::TestParamInfo<Backend>&) { return "Pulse"; });
#endif

#if FBW_HAVE_PULSE
TEST(PulseAudioOutput, NoServerEndsTheSoundAtOnceAndTheNextWriteConnectsAgain) {
    if (!plat::PulseAudioOutput::Usable())
        GTEST_SKIP() << "skipped: the event loop is not GLib's";
    std::string samples(22050 * 2 / 4, '\0'); // 0.25 s of silence, 16-bit mono
    plat::WaveHeader header{};
    header.data = reinterpret_cast<uint8_t*>(samples.data());
    header.bufferLength = static_cast<uint32_t>(samples.size());
    header.flags = plat::kWhdrPrepared | plat::kWhdrInQueue;
    plat::PulseAudioOutput output(plat::WaveFormat{1, 1, 22050, 44100, 2, 16, 0});
    int heard = 0;
    output.Attach([&](plat::WaveHeader*) { ++heard; });

    const char* saved = std::getenv("PULSE_SERVER");
    const std::string before = saved ? saved : "";
    ::setenv("PULSE_SERVER", "unix:/nonexistent/fablewhirl-no-server", 1);
    QElapsedTimer clock;
    clock.start();
    // Refused at once, or taken and ended once the connection fails.
    if (output.Write(header)) {
        EXPECT_TRUE(WaitFor([&] { return heard == 1; }, 2000)) << "ended, not left waiting";
        EXPECT_TRUE(header.flags & plat::kWhdrDone);
    } else {
        EXPECT_EQ(heard, 0);
    }
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(output.Busy());
    EXPECT_EQ(output.StreamOpens(), 0);

    if (saved)
        ::setenv("PULSE_SERVER", before.c_str(), 1);
    else
        ::unsetenv("PULSE_SERVER");
    if (fbwtest::ShellOutput("pactl info >/dev/null 2>&1 && echo up").find("up") ==
        std::string::npos)
        return; // no server here: the second half needs one
    header.flags = plat::kWhdrPrepared | plat::kWhdrInQueue;
    heard = 0;
    ASSERT_TRUE(output.Write(header));
    EXPECT_TRUE(WaitFor([&] { return heard == 1; }, 3000));
    EXPECT_EQ(output.StreamOpens(), 1) << "connected again for the next sound";
    output.Detach();
}
#endif

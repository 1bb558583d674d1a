// The microphone recorded end to end through a PulseAudio server of the
// test's own: first with outputs alone (no microphone, and the input says
// so), then with a source fed from a pipe, into which the test writes a known
// sound between silences. The take recorded, trimmed and levelled, must be
// that sound; a server that goes away while recording ends the recording.
// Skipped where the PulseAudio input or pulseaudio is missing.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <thread>
#include <unistd.h>

#include "platform/LoudnessMeter.h"
#include "platform/qt/PulseAudioInput.h"
#include "platform/qt/PulseAudioServer.h"
#include "support/TestSupport.h"
#include "support/XSession.h"
#include "voice/TakeCleanup.h"

namespace {

constexpr uint32_t kRate = plat::AudioInput::kSampleRate;

// 1.2 s of a voice-like sound: a buzz of harmonics at 140 Hz whose vowel
// (its strongest harmonic) and loudness move, between two syllable gaps.
std::vector<int16_t> Voiceish() {
    std::vector<int16_t> s(kRate * 12 / 10);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double syllable = std::pow(std::sin(M_PI * t / 0.4), 2); // three syllables
        double v = 0;
        for (int h = 1; h <= 20; ++h) {
            const double formant = 700 + 500 * std::sin(2 * M_PI * 1.3 * t);
            const double gain = std::exp(-std::pow((h * 140 - formant) / 400, 2));
            v += gain * std::sin(2 * M_PI * h * 140 * t);
        }
        s[i] = static_cast<int16_t>(3000 * syllable * v);
    }
    return s;
}

// The normalised cross-correlation of B with A at the best lag of B within
// Search samples of where their first loud samples align.
double BestCorrelation(const std::vector<int16_t>& a, const std::vector<int16_t>& b, int search) {
    const auto firstLoud = [](const std::vector<int16_t>& s) {
        for (std::size_t i = 0; i < s.size(); ++i)
            if (std::abs(s[i]) > 1000)
                return static_cast<long>(i);
        return 0L;
    };
    const long base = firstLoud(b) - firstLoud(a);
    double best = -1;
    for (long lag = base - search; lag <= base + search; ++lag) {
        double ab = 0, aa = 0, bb = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            const long j = static_cast<long>(i) + lag;
            const double y = j >= 0 && j < static_cast<long>(b.size()) ? b[j] : 0;
            ab += a[i] * y;
            aa += static_cast<double>(a[i]) * a[i];
            bb += y * y;
        }
        if (aa > 0 && bb > 0)
            best = std::max(best, ab / std::sqrt(aa * bb));
    }
    return best;
}

// Runs the event loop until Done or Ms pass, waking on events only.
bool RunUntil(const std::function<bool()>& done, int ms) {
    QEventLoop loop;
    QTimer deadline, check;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    deadline.start(ms);
    check.start(10);
    if (!done())
        loop.exec();
    return done();
}

} // namespace

TEST(AudioInputTest, APipeSourceIsRecordedTrimmedAndLevelled) {
    if (!plat::PulseAudioInput::Usable())
        GTEST_SKIP() << "skipped: the PulseAudio input is not built in (libpulse-dev) or the "
                        "event loop is not GLib's";
    if (!fbwtest::OnPath("pulseaudio") || !fbwtest::OnPath("pactl"))
        GTEST_SKIP() << "skipped: pulseaudio is missing (scripts/setup installs it)";
    fbwtest::TempDir runtime;
    std::filesystem::permissions(runtime.Path(), std::filesystem::perms::owner_all);
    const std::string socket = runtime / "native";
    const std::string fifo = runtime / "mic";
    ASSERT_EQ(::setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1), 0);

    plat::PulseAudioInput input("testmic");
    std::string why;
    EXPECT_FALSE(input.Available(&why));
    EXPECT_EQ(why, "no sound server");

    QProcess pulse;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.Path()));
    env.remove("PULSE_SERVER");
    pulse.setProcessEnvironment(env);
    pulse.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    pulse.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                               "--log-level=error", "--load=module-null-sink sink_name=speakers",
                               QString::fromStdString("--load=module-native-protocol-unix socket=" +
                                                      socket + " auth-anonymous=1")});
    ASSERT_TRUE(pulse.waitForStarted(5000));
    ASSERT_TRUE(RunUntil([] { return plat::PulseAudioServer::Answers(200); }, 10000))
        << "the test's sound server did not start";

    // Outputs alone: their monitors are no microphone.
    EXPECT_FALSE(input.Available(&why));
    EXPECT_EQ(why, "no microphone");

    const std::string load = "pactl -s unix:" + socket +
                             " load-module module-pipe-source source_name=testmic file=" + fifo +
                             " format=s16le rate=48000 channels=1 2>&1";
    fbwtest::ShellOutput(load);
    ASSERT_TRUE(input.Available(&why)) << why;

    std::vector<int16_t> take;
    float loudest = 0;
    int levels = 0;
    bool ended = false;
    ASSERT_TRUE(
        input.Start({[&](const int16_t* s, std::size_t n) { take.insert(take.end(), s, s + n); },
                     [&](float peak) {
                         loudest = std::max(loudest, peak);
                         ++levels;
                     },
                     [&](const std::string&) { ended = true; }},
                    &why))
        << why;
    // The sound between 0.6 s of silence before and after, written to the
    // source's pipe as the server reads it.
    const std::vector<int16_t> voice = Voiceish();
    std::vector<int16_t> fed(kRate * 6 / 10, 0);
    fed.insert(fed.end(), voice.begin(), voice.end());
    fed.insert(fed.end(), kRate * 6 / 10, 0);
    bool written = false;
    std::thread writer([&] {
        const int fd = ::open(fifo.c_str(), O_WRONLY);
        if (fd >= 0) {
            const char* p = reinterpret_cast<const char*>(fed.data());
            std::size_t left = fed.size() * 2;
            while (left > 0) {
                const ssize_t n = ::write(fd, p, left);
                if (n <= 0)
                    break;
                p += n;
                left -= static_cast<std::size_t>(n);
            }
            ::close(fd);
        }
        written = true;
    });
    const bool got = RunUntil([&] { return written && take.size() >= fed.size(); }, 15000);
    writer.join();
    input.Stop();
    EXPECT_FALSE(input.Recording());
    EXPECT_FALSE(ended);

    // Recording again, the server goes away: recording ends, and says so.
    std::string endedWhy;
    ASSERT_TRUE(input.Start({{}, {}, [&](const std::string& w) { endedWhy = w; }}, &why)) << why;
    pulse.terminate();
    EXPECT_TRUE(RunUntil([&] { return !endedWhy.empty(); }, 10000));
    EXPECT_FALSE(input.Recording()) << endedWhy;
    if (!pulse.waitForFinished(5000)) {
        pulse.kill();
        pulse.waitForFinished(5000);
    }
    ::unsetenv("PULSE_SERVER");
    ASSERT_TRUE(got) << "recorded " << take.size() << " of " << fed.size() << " samples";
    EXPECT_GT(levels, 20) << "the meter moves as the sound comes";
    EXPECT_NEAR(loudest, plat::AudioInput::PeakOf(voice.data(), voice.size()), 0.01);

    const std::unique_ptr<plat::LoudnessMeter> meter = plat::CreateLoudnessMeter();
    const TTakeCleanup::Result cleaned = TTakeCleanup::Clean(take, kRate, meter.get());
    ASSERT_TRUE(cleaned.Speech);
    const double corr = BestCorrelation(voice, take, 480);
    std::printf("recorded take against the sound fed: correlation %.4f, kept %zu samples\n", corr,
                take.size());
    EXPECT_GE(corr, 0.95);
    // Trimmed: the sound and no more than the margins kept around it.
    EXPECT_LE(take.size(),
              voice.size() + kRate * (TTakeCleanup::kLeadMs + TTakeCleanup::kTailMs + 40) / 1000);
    EXPECT_GE(take.size(), voice.size() * 9 / 10);
    if (meter) {
        const std::optional<double> lufs = meter->Integrated(take.data(), take.size(), kRate);
        ASSERT_TRUE(lufs.has_value());
        EXPECT_NEAR(*lufs, TTakeCleanup::kTargetLufs, 0.5);
    }
}

// A take made ready to keep: trimmed to its speech and the margins, levelled
// to the one loudness unless a peak would clip, and a take of silence or hum
// alone left as it was.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/LoudnessMeter.h"
#include "voice/TakeCleanup.h"

namespace {

constexpr uint32_t kRate = 48000;

// Seconds of a tone of Amplitude at 200 Hz, or of a faint hum.
void Tone(std::vector<int16_t>& s, double seconds, double amplitude) {
    const std::size_t n = static_cast<std::size_t>(seconds * kRate);
    for (std::size_t i = 0; i < n; ++i)
        s.push_back(static_cast<int16_t>(amplitude * std::sin(2 * M_PI * 200 * i / kRate)));
}

TEST(TakeCleanupTest, TrimsToTheSpeechAndLevelsIt) {
    const std::unique_ptr<plat::LoudnessMeter> meter = plat::CreateLoudnessMeter();
    if (!meter)
        GTEST_SKIP() << "this build has no loudness meter (libebur128-dev)";
    std::vector<int16_t> take;
    Tone(take, 1.0, 20);   // hum before
    Tone(take, 1.5, 2000); // the speech
    Tone(take, 0.8, 20);   // hum after
    const TTakeCleanup::Result r = TTakeCleanup::Clean(take, kRate, meter.get());
    ASSERT_TRUE(r.Speech);
    EXPECT_NEAR(static_cast<double>(r.Begin), kRate * (1.0 - TTakeCleanup::kLeadMs / 1000.0), 480);
    EXPECT_NEAR(static_cast<double>(r.End), kRate * (2.5 + TTakeCleanup::kTailMs / 1000.0), 480);
    EXPECT_EQ(take.size(), r.End - r.Begin);
    EXPECT_EQ(take.front(), 0) << "faded in";
    EXPECT_NEAR(*meter->Integrated(take.data(), take.size(), kRate), TTakeCleanup::kTargetLufs,
                0.2);

    // A take with a loud click: levelled only as far as the click allows.
    std::vector<int16_t> clicked;
    Tone(clicked, 1.0, 500);
    clicked[kRate / 2] = 30000;
    const TTakeCleanup::Result c = TTakeCleanup::Clean(clicked, kRate, meter.get());
    ASSERT_TRUE(c.Speech);
    int peak = 0;
    for (int16_t s : clicked)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_LE(peak, std::lround(32767 * std::pow(10.0, TTakeCleanup::kPeakDbfs / 20)) + 1);
    EXPECT_GE(peak, 29000);
}

TEST(TakeCleanupTest, ATakeWithoutSpeechIsLeftAsItWas) {
    const std::unique_ptr<plat::LoudnessMeter> meter = plat::CreateLoudnessMeter();
    for (double amplitude : {0.0, 40.0}) {
        std::vector<int16_t> take;
        Tone(take, 2.0, amplitude);
        const std::vector<int16_t> before = take;
        EXPECT_FALSE(TTakeCleanup::Clean(take, kRate, meter.get()).Speech) << amplitude;
        EXPECT_EQ(take, before);
    }
    std::vector<int16_t> none;
    EXPECT_FALSE(TTakeCleanup::Clean(none, kRate, meter.get()).Speech);
}

} // namespace

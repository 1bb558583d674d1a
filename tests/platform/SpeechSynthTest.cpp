// The speech synthesizer of this build (flite's "slt" voice); skipped when the
// build has no speech engine.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>

#include "platform/SpeechSynth.h"
#ifdef FBW_HAVE_FLITE
#include "platform/flite/FliteSpeechSynth.h"
#endif

namespace {

// Root mean square of the samples, full scale 1.
double Loudness(const std::vector<int16_t>& s) {
    double sum = 0;
    for (int16_t v : s)
        sum += double(v) * v;
    return s.empty() ? 0 : std::sqrt(sum / s.size()) / 32768;
}

} // namespace

TEST(SystemSpeech, ASentenceBecomesAudibleSpeechAtASteadyPace) {
    std::unique_ptr<plat::SpeechSynth> synth = plat::CreateSystemSpeechSynth();
    if (!synth)
        GTEST_SKIP() << "skipped: this build has no speech engine (install flite1-dev)";
    plat::SpeechPcm pcm;
    const std::string text = "Once upon a time, there lived a girl named Cinderella.";
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_TRUE(synth->Synthesize(text, pcm));
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
            .count();
    ASSERT_GT(pcm.SampleRate, 8000u);
    const double seconds = double(pcm.Samples.size()) / pcm.SampleRate;
    // Ten words at a calm pace: a little over three seconds.
    EXPECT_GT(seconds, 2.5);
    EXPECT_LT(seconds, 6.0);
    EXPECT_GT(Loudness(pcm.Samples), 0.01);
    std::printf("flite: %.2f s of speech in %lld ms\n", seconds, static_cast<long long>(ms));

    // A longer text lasts longer.
    plat::SpeechPcm again, longer;
    ASSERT_TRUE(synth->Synthesize(text + " " + text, longer));
    EXPECT_GT(longer.Samples.size(), pcm.Samples.size() * 3 / 2);

    // Nothing to say is a failure with nothing in Out.
    EXPECT_FALSE(synth->Synthesize("   ", again));
    EXPECT_TRUE(again.Samples.empty());
}

#ifdef FBW_HAVE_FLITE
TEST(SystemSpeech, LatinOneLettersAreReadAsTheirPlainLetters) {
    EXPECT_EQ(plat::FliteSpeechSynth::ToAscii("Ren\xE9\x65 \xC0 la cr\xE8me"), "Renee A la creme");
    EXPECT_EQ(plat::FliteSpeechSynth::ToAscii("2\xD7"
                                              "3\xF7"
                                              "1\t\xA0!"),
              "2 3 1  !");
    std::unique_ptr<plat::SpeechSynth> synth = plat::CreateSystemSpeechSynth();
    ASSERT_TRUE(synth);
    plat::SpeechPcm pcm;
    EXPECT_TRUE(synth->Synthesize("Z\xF6\x65 and Andr\xE9 \xBF", pcm));
}
#endif

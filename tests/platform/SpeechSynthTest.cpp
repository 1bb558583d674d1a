// The speech synthesizer of this build (flite's "slt" voice) and its words'
// times; skipped when the build has no speech engine.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <thread>

#include "reading/StorySentences.h"
#include "reading/ReadingPace.h"
#include "reading/WordTimes.h"

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

TEST(SystemSpeech, TheSlowAndTheQuickPaceAreHeardApartFromTheNormalOne) {
    std::unique_ptr<plat::SpeechSynth> synth = plat::CreateSystemSpeechSynth();
    if (!synth)
        GTEST_SKIP() << "skipped: this build has no speech engine (install flite1-dev)";
    const std::string text =
        "The wolf knocked on the door of the little house, and the pigs hid under the bed.";
    std::size_t samples[3] = {};
    for (const auto pace :
         {TReadingPace::Pace::Slow, TReadingPace::Pace::Normal, TReadingPace::Pace::Quick}) {
        plat::SpeechPcm pcm;
        ASSERT_TRUE(synth->Synthesize(text, TReadingPace::Stretch(pace), pcm));
        samples[static_cast<int>(pace)] = pcm.Samples.size();
    }
    const double slow = double(samples[0]) / samples[1];
    const double quick = double(samples[2]) / samples[1];
    std::printf("paces: slow %zu, normal %zu, quick %zu samples (%.3f and %.3f of normal)\n",
                samples[0], samples[1], samples[2], slow, quick);
    EXPECT_NEAR(slow, 1.35, 0.03);
    EXPECT_NEAR(quick, 0.75, 0.03);
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

TEST(SystemSpeech, TwoSynthesizersSpeakOnTwoThreadsAndOutliveEachOther) {
    // flite has one voice per process: two windows' synthesizers share it.
    std::unique_ptr<plat::SpeechSynth> a = plat::CreateSystemSpeechSynth();
    std::unique_ptr<plat::SpeechSynth> b = plat::CreateSystemSpeechSynth();
    ASSERT_TRUE(a && b);
    const std::string text = "The three bears came home, and the porridge was gone.";
    plat::SpeechPcm pa, pb;
    bool okA = false, okB = false;
    std::thread other([&] {
        for (int i = 0; i < 3; ++i)
            okB = b->Synthesize(text, pb);
    });
    for (int i = 0; i < 3; ++i)
        okA = a->Synthesize(text, pa);
    other.join();
    EXPECT_TRUE(okA && okB);
    // The same voice at the same pace (its excitation noise differs).
    EXPECT_NEAR(double(pa.Samples.size()), double(pb.Samples.size()), pb.Samples.size() * 0.05);
    a.reset(); // the voice stays for the other
    plat::SpeechPcm again;
    ASSERT_TRUE(b->Synthesize(text, again));
    EXPECT_NEAR(double(again.Samples.size()), double(pb.Samples.size()), pb.Samples.size() * 0.05);
    b.reset();
    std::unique_ptr<plat::SpeechSynth> c = plat::CreateSystemSpeechSynth();
    ASSERT_TRUE(c) << "the voice comes back after the last has gone";
    EXPECT_TRUE(c->Synthesize(text, again));
}
#endif

TEST(SystemSpeech, EachWordOfASentenceHasItsTimeAndMapsOntoThePage) {
    std::unique_ptr<plat::SpeechSynth> synth = plat::CreateSystemSpeechSynth();
    if (!synth)
        GTEST_SKIP() << "skipped: this build has no speech engine (install flite1-dev)";
    // Quotes, a possessive, a number and an abbreviation: each one word on the page.
    const std::string text =
        "\"Oh, Grandmother,\" said Red Riding Hood's friend, \"Mr. Wolf has 42 teeth!\"";
    for (const float stretch : {1.5f, plat::SpeechSynth::kNormalStretch, 0.95f}) {
        SCOPED_TRACE(stretch);
        plat::SpeechPcm pcm;
        ASSERT_TRUE(synth->Synthesize(text, stretch, pcm));
        ASSERT_FALSE(pcm.Words.empty());
        float before = 0;
        for (const plat::SpeechWord& w : pcm.Words) {
            EXPECT_GT(w.End, before) << "the end times increase";
            EXPECT_GE(w.Start, before);
            before = w.End;
        }
        const double seconds = double(pcm.Samples.size()) / pcm.SampleRate;
        EXPECT_NEAR(pcm.Words.back().End, seconds, 0.050) << "the last word ends the sound";
        const int onPage = TStorySentences::CountWords(text);
        ASSERT_EQ(onPage, 12);
        TWordTimes times;
        times.Map(pcm.Words, 0, onPage);
        ASSERT_TRUE(times.Matched()) << "every word on the page has its time";
        std::vector<int> lit;
        for (int64_t ms = 0; ms < int64_t(seconds * 1000); ms += 5)
            if (const int w = times.LitAt(ms); w >= 0 && (lit.empty() || lit.back() != w))
                lit.push_back(w);
        std::vector<int> all(onPage);
        std::iota(all.begin(), all.end(), 0);
        EXPECT_EQ(lit, all) << "each word lit in turn";
    }
}

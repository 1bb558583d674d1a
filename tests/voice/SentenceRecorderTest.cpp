// A sentence recorded from a microphone (a test input fed by hand): the take
// is kept trimmed, with its words timed as they were said; a take of silence
// keeps the sentence's recording as it was.
#include <gtest/gtest.h>

#include "platform/LoudnessMeter.h"
#include "platform/OpusCodec.h"
#include "platform/SpeechSynth.h"
#include "reading/WordTimes.h"
#include "support/TestSupport.h"
#include "voice/SentenceRecorder.h"

namespace {

// A microphone the test feeds.
class FedInput : public plat::AudioInput {
public:
    bool Available(std::string*) override { return true; }
    bool Start(Handlers handlers, std::string*) override {
        handlers_ = std::move(handlers);
        recording_ = true;
        return true;
    }
    void Stop() override {
        handlers_ = {};
        recording_ = false;
    }
    bool Recording() const override { return recording_; }
    void Feed(const std::vector<int16_t>& s) { Deliver(handlers_, s.data(), s.size()); }

private:
    Handlers handlers_;
    bool recording_ = false;
};

// Samples at 16 kHz as 48 kHz, three to one.
std::vector<int16_t> Up3(const std::vector<int16_t>& s) {
    std::vector<int16_t> out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const int next = i + 1 < s.size() ? s[i + 1] : s[i];
        for (int k = 0; k < 3; ++k)
            out.push_back(static_cast<int16_t>(s[i] + (next - s[i]) * k / 3));
    }
    return out;
}

TEST(SentenceRecorderTest, ATakeIsKeptTrimmedWithItsWordsTimed) {
    const std::unique_ptr<plat::SpeechSynth> voice = plat::CreateSystemSpeechSynth();
    const std::unique_ptr<plat::OpusCodec> codec = plat::CreateOpusCodec();
    if (!voice || !codec)
        GTEST_SKIP() << "this build has no voice (flite1-dev) or no Opus codec";
    const std::unique_ptr<plat::LoudnessMeter> meter = plat::CreateLoudnessMeter();
    const fbwtest::TempDir dir;
    TVoiceStore store(dir / "Jack.txt", codec.get());
    FedInput microphone;
    TSentenceRecorder recorder(microphone, *voice, meter.get(), store);
    const std::string sentence = "Jack climbed the beanstalk, right up to the clouds.";

    // The reader: the voice at a slower pace, between a second of silence
    // and half a second.
    plat::SpeechPcm said;
    ASSERT_TRUE(voice->Synthesize(sentence, 1.4f, said));
    ASSERT_EQ(said.SampleRate, 16000u);
    TWordTimes times;
    times.Map(said.Words, 0, 9);
    ASSERT_TRUE(times.Matched());
    ASSERT_TRUE(recorder.Record());
    microphone.Feed(std::vector<int16_t>(48000, 0));
    EXPECT_EQ(recorder.Level(), 0.f);
    microphone.Feed(Up3(said.Samples));
    EXPECT_GT(recorder.Level(), 0.f) << "the meter moves";
    microphone.Feed(std::vector<int16_t>(24000, 0));
    std::string why;
    ASSERT_TRUE(recorder.Stop(sentence, &why)) << why;
    EXPECT_FALSE(recorder.Recording());

    const TVoiceStore::Clip* clip = store.Find(sentence);
    ASSERT_NE(clip, nullptr);
    ASSERT_EQ(clip->Words.size(), 9u);
    std::vector<int16_t> kept;
    ASSERT_TRUE(store.Read(sentence, kept, why)) << why;
    EXPECT_LT(kept.size(), 3 * said.Samples.size()) << "the silence around it is gone";
    // The words lie in the take as the reader said them (a stop consonant's
    // silence may count with the word or before it).
    const double first = clip->Words[0].Start;
    for (std::size_t w = 0; w < 9; ++w) {
        const double expected = (times.Spans()[w].start - times.Spans()[0].start) / 1000.0;
        EXPECT_NEAR(clip->Words[w].Start - first, expected, 0.1) << w;
    }

    // A take of silence alone: nothing heard, the recording stays.
    ASSERT_TRUE(recorder.Record());
    microphone.Feed(std::vector<int16_t>(48000, 3));
    EXPECT_FALSE(recorder.Stop(sentence, &why));
    EXPECT_EQ(why, "nothing was heard");
    EXPECT_EQ(store.Find(sentence)->File, clip->File);
}

} // namespace

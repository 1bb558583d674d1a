// A story read aloud with one sentence recorded by a grown-up: the reader
// plays the recording for it, at its own pace, with its words lit from the
// recorded times, and the game's voice for the others; a part of a recorded
// sentence (a long first sentence said in two) is cut from the recording
// between its words.
#include <gtest/gtest.h>

#include <cmath>

#include "book/Book.h"
#include "platform/FixedCanvas.h"
#include "platform/OpusCodec.h"
#include "reading/ReadAloud.h"
#include "sound/WaveMan.h"
#include "support/NullSpeechSynth.h"
#include "support/SpokenText.h"
#include "support/TestSupport.h"
#include "support/TestWaveOutService.h"
#include "voice/RecordedVoiceSynth.h"

namespace {

const char* const kStory = "The Tale\\n\\nAa bb cc. Dd ee, ff gg. Hh ii.";
const char* const kRecorded = "Dd ee, ff gg.";
// When each run of the recorded sentence is said, in seconds of its second.
const std::vector<TVoiceAligner::Span> kTimes{{0.1, 0.3}, {0.3, 0.5}, {0.6, 0.8}, {0.8, 0.95}};

class Window : public plat::WaveOutWindow {
public:
    TWaveMan* manager = nullptr;
    void WaveOutDone(const plat::WaveDoneMessage& message) override {
        if (manager)
            manager->WaveDone(message);
    }
};

class Owner : public TReadAloudOwner {
public:
    void ReadAloudShowSpread(int) override {}
    void ReadAloudRepaintPage(int) override {}
    void ReadAloudRepaintParts(const std::vector<TLinePart>&) override {}
    void ReadAloudStateChanged(TReadState) override {}
};

TEST(MixedReadingTest, ARecordedSentencePlaysItsRecordingAndTheOthersTheGamesVoice) {
    const std::unique_ptr<plat::OpusCodec> codec = plat::CreateOpusCodec();
    if (!codec)
        GTEST_SKIP() << "this build has no Opus codec (libopusenc-dev, libopusfile-dev)";
    const fbwtest::TempDir dir;
    const std::string story = dir / "Goldilox.txt";
    {
        TVoiceStore store(story, codec.get());
        const std::vector<int16_t> second(48000, 3000);
        store.Put(kRecorded, second.data(), second.size(), 48000, kTimes);
    }
    auto service = std::make_unique<fbwtest::TestWaveOutService>();
    fbwtest::TestWaveOutService* device = service.get();
    auto previous = plat::SetWaveOutService(std::move(service));
    {
        Window window;
        TWaveMan manager(&window, true);
        window.manager = &manager;
        Owner owner;
        auto voice = std::make_unique<fbwtest::NullSpeechSynth>();
        fbwtest::NullSpeechSynth* game = voice.get();
        auto mixed = std::make_unique<TRecordedVoiceSynth>(
            std::move(voice), std::make_unique<TVoiceStore>(story, codec.get()));
        TRecordedVoiceSynth* synth = mixed.get();
        TReadAloud reader(owner, std::move(mixed));
        plat::FixedCanvas canvas{5, 10};
        TBook book;
        const std::string text = kStory;
        book.Paginate(&canvas, TRect{0, 0, 100, 30}, text.c_str());
        const auto heard = [&] {
            ASSERT_TRUE(device->FinishBuffer());
            device->DeliverMessages();
        };

        ASSERT_TRUE(reader.Start(manager, book, text.c_str(), 1));
        EXPECT_EQ(fbwtest::SpokenText(*device), "The Tale");
        heard();
        EXPECT_EQ(fbwtest::SpokenText(*device), "Aa bb cc.");
        reader.SetPace(2.0f); // reaches the game's voice, not the recording
        heard();
        // The recording: a second at 48 kHz, its four words lit as recorded.
        ASSERT_TRUE(reader.Reading());
        EXPECT_TRUE(synth->Recorded(kRecorded));
        EXPECT_FALSE(synth->Recorded("Hh ii."));
        EXPECT_EQ(device->Playing()->format.samplesPerSec, 48000u);
        EXPECT_NEAR(static_cast<double>(device->Playing()->queue.front()->bufferLength), 96000,
                    2000);
        ASSERT_TRUE(reader.Times().Matched());
        ASSERT_EQ(reader.Times().Spans().size(), 4u);
        for (std::size_t i = 0; i < kTimes.size(); ++i) {
            EXPECT_EQ(reader.Times().Spans()[i].start, std::lround(kTimes[i].Start * 1000));
            EXPECT_EQ(reader.Times().Spans()[i].end, std::lround(kTimes[i].End * 1000));
        }
        heard();
        EXPECT_EQ(fbwtest::SpokenText(*device), "Hh ii.");
        EXPECT_EQ(game->Texts(), (std::vector<std::string>{"The Tale", "Aa bb cc.", "Hh ii."}));
        EXPECT_EQ(game->Stretches().back(), 2.0f);
        heard();
        EXPECT_FALSE(reader.Reading());

        // Its first two words alone: the recording up to halfway between
        // "ee," and "ff", its words from the part's start.
        plat::SpeechPcm part;
        ASSERT_TRUE(synth->Synthesize("Dd ee,", 1.0f, part));
        EXPECT_EQ(part.Samples.size(), 48000u * 55 / 100);
        ASSERT_EQ(part.Words.size(), 2u);
        EXPECT_FLOAT_EQ(part.Words[1].End, 0.5f);
        ASSERT_TRUE(synth->Synthesize("ff gg.", 1.0f, part));
        EXPECT_EQ(part.Samples.size(), 48000u * 45 / 100);
        ASSERT_EQ(part.Words.size(), 2u);
        EXPECT_NEAR(part.Words[0].Start, 0.05, 1e-6);
        EXPECT_EQ(part.Words[1].Token, 1);
    }
    plat::SetWaveOutService(std::move(previous));
}

} // namespace

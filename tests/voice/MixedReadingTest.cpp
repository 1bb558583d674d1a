// A story read aloud with one sentence recorded by a grown-up: the reader
// plays the recording for it, at its own pace, with its words lit from the
// recorded times, and the game's voice for the others; a part of a recorded
// sentence (a long first sentence said in two) is cut from the recording
// between its words. A talking book made of such a story passes epubcheck,
// its track at the recording's rate, the recorded sentence's overlay clips
// pointing into the recording as stored.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>

#include "book/Book.h"
#include "book/BookLetters.h"
#include "keepsake/TalkingBook.h"
#include "platform/FixedCanvas.h"
#include "platform/MemoryStream.h"
#include "platform/Mp3Decoder.h"
#include "platform/Mp3Encoder.h"
#include "platform/OpusCodec.h"
#include "platform/ZipReader.h"
#include "platform/ZipWriter.h"
#include "reading/ReadAloud.h"
#include "sound/Resampler.h"
#include "sound/WaveMan.h"
#include "support/NullSpeechSynth.h"
#include "support/SpokenText.h"
#include "support/TestSupport.h"
#include "support/TestWaveOutService.h"
#include "support/WaveManWindow.h"
#include "support/XSession.h"
#include "voice/RecordedVoiceSynth.h"

namespace {

const char* const kStory = "The Tale\\n\\nAa bb cc. Dd ee, ff gg. Hh ii.";
const char* const kRecorded = "Dd ee, ff gg.";
// When each run of the recorded sentence is said, in seconds of its second.
const std::vector<TVoiceAligner::Span> kTimes{{0.1, 0.3}, {0.3, 0.5}, {0.6, 0.8}, {0.8, 0.95}};

using Window = fbwtest::WaveManWindow;

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
        store.Put("Jj & kk.", second.data(), second.size(), 48000,
                  {{0.1, 0.3}, {0.3, 0.4}, {0.5, 0.9}});
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
        // A sentence given as it is said ("&" as "and", as the talking book
        // gives it) is still the recording, word by word.
        ASSERT_TRUE(synth->Synthesize("Jj and kk.", 1.0f, part));
        EXPECT_EQ(part.SampleRate, plat::OpusCodec::kSampleRate);
        ASSERT_EQ(part.Words.size(), 3u);
        EXPECT_FLOAT_EQ(part.Words[1].Start, 0.3f);
        EXPECT_EQ(part.Words[2].Token, 2);
    }
    plat::SetWaveOutService(std::move(previous));
}

TEST(MixedReadingTest, ATalkingBookOfARecordedStoryPlaysTheRecordingWordByWord) {
    const std::unique_ptr<plat::OpusCodec> codec = plat::CreateOpusCodec();
    plat::MemoryStream stream;
    std::unique_ptr<plat::ZipWriter> zip = plat::CreateZipWriter(stream);
    const std::unique_ptr<plat::Mp3Encoder> encoder = plat::CreateMp3Encoder();
    const std::unique_ptr<plat::Mp3Decoder> decoder = plat::CreateMp3Decoder();
    if (!codec || !zip || !encoder || !decoder)
        GTEST_SKIP() << "this build lacks Opus, LAME, mpg123 or zlib";
    const fbwtest::TempDir dir;
    const std::string story = dir / "Goldilox.txt";
    {
        // Four bursts of a tone, one for each word.
        std::vector<int16_t> take(48000);
        for (const TVoiceAligner::Span& w : kTimes)
            for (auto i = static_cast<std::size_t>(w.Start * 48000);
                 i < static_cast<std::size_t>(w.End * 48000); ++i)
                take[i] =
                    static_cast<int16_t>(8000 * std::sin(2 * std::numbers::pi * 220 * i / 48000));
        TVoiceStore(story, codec.get()).Put(kRecorded, take.data(), take.size(), 48000, kTimes);
    }
    std::vector<int16_t> stored;
    std::string why;
    ASSERT_TRUE(TVoiceStore(story, codec.get()).Read(kRecorded, stored, why)) << why;
    stored = TResampler::Convert(stored.data(), stored.size(), 48000, TTalkingBook::kRecordedRate);
    constexpr std::size_t kPerMs = TTalkingBook::kRecordedRate / 1000;

    auto voice = TRecordedVoiceSynth::Open(std::make_unique<fbwtest::NullSpeechSynth>(), story,
                                           plat::CreateOpusCodec());
    ASSERT_EQ(voice->Recordings(), 1u);
    TTalkingBook::Input input;
    input.Story = kStory;
    input.Face = TTalkingBook::LettersFor(TBookLetters{});
    input.Modified = 1796748300;
    input.SampleRate = TTalkingBook::kRecordedRate;
    TSpokenStory spoken;
    TTalkingBook::MakeInto(input, voice.get(), 1.0f, encoder.get(), *zip, {}, &spoken);

    // The game's voice (16 kHz) and the recording (48 kHz) are resampled
    // into the track's rate.
    ASSERT_EQ(spoken.SampleRate, TTalkingBook::kRecordedRate);
    ASSERT_GE(spoken.Sentences.size(), 4u);
    const TSpokenStory::Sentence& recorded = spoken.Sentences[2];
    ASSERT_EQ(recorded.WordClips.size(), kTimes.size());
    EXPECT_NEAR(static_cast<double>(recorded.Sound.End - recorded.Sound.Begin),
                static_cast<double>(stored.size()) / kPerMs, 1);
    for (std::size_t i = 1; i < kTimes.size(); ++i)
        EXPECT_NEAR(static_cast<double>(recorded.WordClips[i].Begin - recorded.Sound.Begin),
                    kTimes[i].Start * 1000, 1)
            << "word " << i;

    // The track there is the recording: the decoded MP3 matches it.
    std::string mp3;
    {
        plat::MemoryStream bytes(stream.Data());
        const std::unique_ptr<plat::ZipReader> book = plat::OpenZipReader(bytes, why);
        ASSERT_TRUE(book && book->Read("OEBPS/voice.mp3", mp3, why, 64 << 20)) << why;
    }
    const std::unique_ptr<plat::PcmTrack> sound = decoder->Open(std::move(mp3), why, 48000 * 60);
    ASSERT_TRUE(sound) << why;
    ASSERT_EQ(sound->SampleRate(), TTalkingBook::kRecordedRate);
    std::vector<int16_t> track;
    ASSERT_TRUE(sound->Read(0, sound->Length(), track));
    // Within a millisecond (the encoder's delay is undone to a few samples),
    // as near as the book's bit rate keeps it (the game's voice there would
    // not match at all).
    const auto from = static_cast<std::size_t>(recorded.Sound.Begin) * kPerMs;
    ASSERT_LE(from + stored.size() + kPerMs, track.size());
    double best = 0;
    for (std::size_t at = from - kPerMs; at <= from + kPerMs; ++at) {
        double both = 0, a = 0, b = 0;
        for (std::size_t i = 0; i < stored.size(); ++i) {
            const double x = stored[i], y = track[at + i];
            both += x * y;
            a += x * x;
            b += y * y;
        }
        best = std::max(best, both / std::sqrt(a * b));
    }
    EXPECT_GE(best, 0.8);

    if (!fbwtest::OnPath("java") || !std::filesystem::exists("/usr/share/java/epubcheck.jar"))
        GTEST_SKIP() << "epubcheck (and a Java runtime) is not installed";
    const std::string book = dir / "book.epub";
    fbwtest::WriteBytes(book, stream.Data());
    const std::string report = fbwtest::ShellOutput(
        "java -XX:TieredStopAtLevel=1 -XX:+UseSerialGC -cp /usr/share/java/epubcheck.jar '" +
        fbwtest::SourceDir() + "/tests/tools/CheckEpubs.java' '" + book + "' 2>&1");
    EXPECT_NE(report.find(book + ": 0"), std::string::npos) << report;
}

} // namespace

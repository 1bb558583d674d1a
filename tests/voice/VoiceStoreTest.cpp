// The recorded voice kept beside its story: a story edited keeps the
// recordings of its unchanged sentences, the story kept under its dated name
// keeps its whole voice, the shelf knows which stories have one, and a
// damaged index or clip costs only what is damaged.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/Files.h"
#include "platform/OpusCodec.h"
#include "shelf/SavedStory.h"
#include "shelf/StoryShelf.h"
#include "shelf/StoryVoice.h"
#include "support/TestSupport.h"
#include "voice/VoiceStore.h"

namespace {

constexpr int64_t kSecond = 1000000000;

// A second of a tone at Hz, as a recording stands in for a voice.
std::vector<int16_t> Tone(double hz) {
    std::vector<int16_t> s(48000);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] =
            static_cast<int16_t>(8000 * std::sin(2 * M_PI * hz * static_cast<double>(i) / 48000));
    return s;
}

// The strongest frequency of Samples among a few, by correlation.
double Pitch(const std::vector<int16_t>& samples) {
    double best = 0, bestHz = 0;
    for (double hz : {220.0, 330.0, 440.0, 550.0}) {
        double re = 0, im = 0;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            re += samples[i] * std::cos(2 * M_PI * hz * static_cast<double>(i) / 48000);
            im += samples[i] * std::sin(2 * M_PI * hz * static_cast<double>(i) / 48000);
        }
        if (re * re + im * im > best) {
            best = re * re + im * im;
            bestHz = hz;
        }
    }
    return bestHz;
}

TEST(VoiceStoreTest, AnEditedStoryKeepsTheRecordingsOfItsUnchangedSentences) {
    const std::unique_ptr<plat::OpusCodec> codec = plat::CreateOpusCodec();
    if (!codec)
        GTEST_SKIP() << "this build has no Opus codec (libopusenc-dev, libopusfile-dev)";
    const fbwtest::TempDir dir;
    const std::string story = dir / "Goldilox.txt";
    TSavedStory::Save(dir.Path(), "Goldilox", "The Bears\r\nOne day.  Two bears came.\r\n", nullptr,
                      1700000000 * kSecond);
    {
        TVoiceStore voice(story, codec.get());
        voice.Put("The Bears", Tone(220).data(), 48000, 48000, {{0.1, 0.5}, {0.5, 0.9}});
        voice.Put("One day.", Tone(330).data(), 48000, 48000, {{0.1, 0.4}, {0.4, 0.8}});
        voice.Put("Two  bears\\ncame.", Tone(440).data(), 48000, 48000, {});
        voice.Put("Two bears came.", Tone(550).data(), 48000, 48000, {}); // Again: replaces
        EXPECT_EQ(voice.Count(), 3u);
    }
    EXPECT_TRUE(TStoryVoice::Has(story));

    // The story told again with its second sentence changed and saved over
    // the first: the old one is kept under its dated name with its voice.
    const auto saved =
        TSavedStory::Save(dir.Path(), "Goldilox", "The Bears\r\nOne day.  Three bears came.\r\n",
                          nullptr, 1700000100 * kSecond);
    ASSERT_FALSE(saved.kept.empty());
    TVoiceStore now(story, codec.get());
    std::vector<int16_t> sound;
    std::string why;
    ASSERT_TRUE(now.Read("One  day.", sound, why)) << why;
    EXPECT_NEAR(static_cast<double>(sound.size()), 48000, 960);
    EXPECT_EQ(Pitch(sound), 330);
    ASSERT_NE(now.Find("The Bears"), nullptr);
    EXPECT_EQ(now.Find("The Bears")->Words.size(), 2u);
    EXPECT_NEAR(now.Find("The Bears")->Words[1].End, 0.9, 1e-9);
    EXPECT_EQ(now.Find("Three bears came."), nullptr);

    TVoiceStore kept(dir / saved.kept, codec.get());
    ASSERT_TRUE(kept.Read("Two bears came.", sound, why)) << why;
    EXPECT_EQ(Pitch(sound), 550) << "the take again replaced the first";
    EXPECT_EQ(plat::ListFolder(kept.Folder()).size(), 4u) << "three clips and the index";

    // The shelf marks the stories with a voice.
    TStoryShelf shelf(dir.Path());
    shelf.Refresh();
    ASSERT_EQ(shelf.Items().size(), 2u);
    for (const auto& item : shelf.Items())
        EXPECT_TRUE(item.voice) << item.fileName;
    for (const char* sentence : {"The Bears", "One day.", "Two bears came."})
        now.Remove(sentence);
    EXPECT_FALSE(plat::FolderExists(now.Folder())) << "no recording left";
    shelf.Refresh();
    for (const auto& item : shelf.Items())
        EXPECT_EQ(item.voice, item.fileName != "Goldilox.txt") << item.fileName;

    // A story moved takes its voice; one moved onto a voice keeps that one.
    ASSERT_TRUE(TStoryVoice::Follow(dir / saved.kept, dir / "Moved.txt"));
    EXPECT_TRUE(TStoryVoice::Has(dir / "Moved.txt"));
    EXPECT_FALSE(plat::FolderExists(TStoryVoice::FolderOf(dir / saved.kept)));
    now.Put("One day.", Tone(220).data(), 48000, 48000, {});
    EXPECT_FALSE(TStoryVoice::Follow(story, dir / "Moved.txt"));
    EXPECT_TRUE(TStoryVoice::Has(story));
    ASSERT_TRUE(TVoiceStore(dir / "Moved.txt", codec.get()).Read("One day.", sound, why));
    EXPECT_EQ(Pitch(sound), 330);
}

TEST(VoiceStoreTest, ADamagedIndexOrClipCostsOnlyWhatIsDamaged) {
    const std::unique_ptr<plat::OpusCodec> codec = plat::CreateOpusCodec();
    if (!codec)
        GTEST_SKIP() << "this build has no Opus codec (libopusenc-dev, libopusfile-dev)";
    const fbwtest::TempDir dir;
    const std::string story = dir / "Hansel.txt";
    const std::string folder = TStoryVoice::FolderOf(story);
    ASSERT_TRUE(plat::MakeFolder(folder.substr(0, folder.size() - 1)));
    fbwtest::WriteBytes(folder + TStoryVoice::kIndexName, "fablewhirl voice 1\n"
                                                          "s0001.opus\t0-100 100-x\tBad times.\n"
                                                          "../x.opus\t\tA file elsewhere.\n"
                                                          "s0007.opus\t\tA clip of noise.\n"
                                                          "no tabs at all\n"
                                                          "s0002.opus\t10-20");
    fbwtest::WriteBytes(folder + "s0007.opus", std::string(5000, 'x'));
    TVoiceStore voice(story, codec.get());
    EXPECT_EQ(voice.Count(), 1u);
    std::vector<int16_t> sound;
    std::string why;
    EXPECT_FALSE(voice.Read("A clip of noise.", sound, why));
    EXPECT_TRUE(sound.empty());
    // A new clip takes a number after any named, never a file's in use.
    voice.Put("A clip of noise.", Tone(220).data(), 48000, 48000, {});
    EXPECT_EQ(voice.Find("A clip of noise.")->File, "s0008.opus");
    EXPECT_FALSE(plat::FileExists(folder + "s0007.opus")) << "the replaced clip goes";
    ASSERT_TRUE(voice.Read("A clip of noise.", sound, why)) << why;
}

} // namespace

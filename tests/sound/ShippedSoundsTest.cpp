// The game's own sounds as the build lays them out: the catalogue in the data
// folder names eleven waves, and every one loads, is 16-bit mono PCM at
// 22,050 Hz, lasts 0.2 to 1.5 seconds, stays soft and fades in and out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "data/InitGame.h"
#include "platform/Files.h"
#include "sound/AppSound.h"
#include "sound/SoundInfoNode.h"
#include "support/TestSupport.h"
#include "support/TestWaveOutService.h"

using namespace fbwtest;

namespace {

const char* const kNames[] = {"BIRDSONG", "CHIME",   "OWL",    "FROG",      "BELL",   "LEAVES",
                              "KNOCK",    "WHISTLE", "CUCKOO", "SPINWHEEL", "TWINKLE"};

std::vector<int16_t> Samples(const TSoundNode& node) {
    std::vector<int16_t> s(node.DataSize() / 2);
    std::memcpy(s.data(), node.Samples(), s.size() * 2);
    return s;
}

class ShippedSounds : public ::testing::Test {
protected:
    void SetUp() override {
        previous = plat::SetWaveOutService(std::make_unique<fbwtest::TestWaveOutService>());
        savedData = DataFolder;
        savedWave = WaveFolder;
        DataFolder = YarnsDir() + "/dat/";
        WaveFolder = YarnsDir() + "/wav/";
    }
    void TearDown() override {
        StopSound();
        plat::SetWaveOutService(std::move(previous));
        DataFolder = savedData;
        WaveFolder = savedWave;
    }
    std::unique_ptr<plat::WaveOutService> previous;
    std::string savedData, savedWave;
};

} // namespace

TEST_F(ShippedSounds, CatalogueNamesElevenWaves) {
    ASSERT_TRUE(plat::FileExists(DataFolder + "sounds.dat")) << "build the fbw_assets target";
    ASSERT_TRUE(plat::FileExists(DataFolder + "sounds.txt"));
    int64_t txt = 0, dat = 0;
    plat::FileModTime(DataFolder + "sounds.txt", txt);
    plat::FileModTime(DataFolder + "sounds.dat", dat);
    EXPECT_GE(dat, txt) << "the program must not have to rebuild sounds.dat";

    auto manager = StartSound(nullptr, true);
    for (uint16_t id = 0; id <= 10; ++id)
        EXPECT_EQ(SoundName(id), kNames[id]) << id;
    // Further entries are only the empty lines of the file's fill bytes.
    for (uint16_t id = 11; id < SoundCatalogue->Count(); ++id)
        EXPECT_EQ(SoundName(id), "") << id;
}

TEST_F(ShippedSounds, EveryWaveLoadsAndIsSoftAndShort) {
    auto manager = StartSound(nullptr, true);
    for (uint16_t id = 0; id <= 10; ++id) {
        SCOPED_TRACE(kNames[id]);
        ASSERT_TRUE(manager->LoadSound(SoundName(id), id, 0)) << "loads through TSoundNode";
        const TSoundNode& node = *manager->FindSound(id);
        EXPECT_EQ(node.Format->formatTag, 1);
        EXPECT_EQ(node.Format->channels, 1);
        EXPECT_EQ(node.Format->samplesPerSec, 22050u);
        EXPECT_EQ(node.Format->bitsPerSample, 16);
        EXPECT_EQ(node.Format->blockAlign, 2);
        EXPECT_EQ(node.Format->avgBytesPerSec, 44100u);

        const std::vector<int16_t> s = Samples(node);
        const double seconds = static_cast<double>(s.size()) / 22050;
        EXPECT_GE(seconds, 0.2);
        EXPECT_LE(seconds, 1.5);
        int peak = 0;
        double sum = 0;
        for (int16_t v : s) {
            peak = std::max(peak, std::abs(int{v}));
            sum += static_cast<double>(v) * v;
        }
        const double rms = std::sqrt(sum / static_cast<double>(s.size())) / 32768;
        EXPECT_LE(peak, 16384) << "peak at most -6 dBFS: soft and far from clipping";
        EXPECT_GT(rms, 0.02) << "audible";
        EXPECT_LT(rms, 0.1) << "soft";
        // Short fades: silent at both ends, no step within the first and last 5 ms.
        EXPECT_EQ(s.front(), 0);
        EXPECT_EQ(s.back(), 0);
        for (std::size_t i = 0; i < 110; ++i) {
            EXPECT_LT(std::abs(int{s[i]}), 2000 + 150 * int(i)) << "fade in at " << i;
            EXPECT_LT(std::abs(int{s[s.size() - 1 - i]}), 2000 + 150 * int(i)) << "fade out";
        }
    }
}

TEST(SoundGenerator, OutputIsDeterministic) {
    const std::string tool = YarnsDir() + "/../tools/soundgen/soundgen";
    if (!plat::FileExists(tool))
        GTEST_SKIP() << "soundgen is not built beside the program folder";
    TempDir dir;
    ASSERT_EQ(std::system(("'" + tool + "' '" + dir.Path() + "'").c_str()), 0);
    for (const char* name : kNames) {
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](char c) { return static_cast<char>(std::tolower(c)); });
        const std::string fresh = ReadBytes(dir / (lower + ".wav"));
        EXPECT_FALSE(fresh.empty()) << lower;
        EXPECT_EQ(fresh, ReadBytes(YarnsDir() + "/wav/" + lower + ".wav")) << lower;
    }
}

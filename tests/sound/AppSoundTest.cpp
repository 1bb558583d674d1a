// The sound catalogue and the game's calls: reading and rebuilding the
// catalogue, game sound numbers, and playing game sounds on the test device.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/LumException.h"
#include "data/InitGame.h"
#include "platform/Files.h"
#include "sound/AppSound.h"
#include "sound/SoundInfoNode.h"
#include "sound/WaveBytes.h"
#include "support/TestSupport.h"
#include "support/TestWaveOutService.h"

using namespace fbwtest;

namespace {

class MainWindow : public plat::WaveOutWindow {
public:
    void WaveOutDone(const plat::WaveDoneMessage& message) override { SoundDone(message); }
};

class AppSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto service = std::make_unique<fbwtest::TestWaveOutService>();
        device = service.get();
        previous = plat::SetWaveOutService(std::move(service));
        savedData = DataFolder;
        savedWave = WaveFolder;
        std::filesystem::create_directory(dir / "dat");
        std::filesystem::create_directory(dir / "wav");
        DataFolder = dir / "dat/";
        WaveFolder = dir / "wav/";
    }
    void TearDown() override {
        StopSound();
        manager.reset();
        plat::SetWaveOutService(std::move(previous));
        DataFolder = savedData;
        WaveFolder = savedWave;
    }
    void WriteCatalogue(const std::string& text) { WriteBytes(DataFolder + "sounds.txt", text); }
    // Entries as "NAME=ID", without the empty entries that the fill bytes at
    // the end of a line file give (they are checked to be only at the end).
    std::vector<std::string> Entries() const {
        std::vector<std::string> out;
        bool fill = false;
        uint16_t expected = 0;
        for (TLumNode* n = SoundCatalogue->First; n; n = n->Next) {
            auto* e = static_cast<TSoundInfoNode*>(n);
            EXPECT_EQ(e->SoundId, expected++) << "numbered in file order";
            if (out.empty() || !e->Name().empty()) {
                EXPECT_FALSE(fill) << "a named entry after the fill";
                out.push_back(e->Name() + "=" + std::to_string(e->SoundId));
            } else {
                fill = true;
            }
        }
        return out;
    }
    // A catalogue of eleven waves w0..w10, each wave of a different length.
    void ShipElevenSounds() {
        std::string text;
        for (int id = 0; id <= 10; ++id) {
            text += "w" + std::to_string(id) + "  the wave of id " + std::to_string(id) + "\n";
            WriteBytes(WaveFolder + "w" + std::to_string(id) + ".wav", PcmWave(10 + id, id));
        }
        WriteCatalogue(text);
    }
    uint32_t PlayingLength() const {
        fbwtest::TestWaveOutService::Device* d = device->Playing();
        return d ? d->queue.front()->bufferLength : 0;
    }
    void Finish() {
        ASSERT_TRUE(device->FinishBuffer());
        device->DeliverMessages();
    }

    TempDir dir;
    fbwtest::TestWaveOutService* device = nullptr;
    std::unique_ptr<plat::WaveOutService> previous;
    std::string savedData, savedWave;
    MainWindow window;
    std::unique_ptr<TWaveMan> manager;
};

using Names = std::vector<std::string>;

} // namespace

TEST(GameSoundId, MapsGameNumbersToCatalogueIds) {
    const uint16_t expected[] = {0, 1, 2, 3, 4, 5, 10, 8, 6, 7, 9};
    for (int n = 0; n <= 10; ++n)
        EXPECT_EQ(GameSoundId(static_cast<uint8_t>(n)), expected[n]) << n;
    for (int n : {11, 12, 100, 255})
        EXPECT_EQ(GameSoundId(static_cast<uint8_t>(n)), 0) << n;
}

TEST_F(AppSoundTest, CatalogueSkipsCommentsAndKeepsFirstWordsInUpperCase) {
    WriteCatalogue("# the sounds\n"
                   "[Sounds]\n"
                   "birdsong  a songbird\n"
                   "\n"
                   "   \t \n"
                   "   # indented comment\n"
                   "  [section]\n"
                   "\tOwl\tan owl\n"
                   "frog.x\n");
    manager = StartSound(&window, true);
    EXPECT_EQ(Entries(), (Names{"BIRDSONG=0", "OWL=1", "FROG.X=2"}));
    EXPECT_TRUE(plat::FileExists(DataFolder + "sounds.dat"));
    EXPECT_EQ(SoundName(1), "OWL");
    EXPECT_EQ(SoundName(3), "");
    EXPECT_EQ(WaveManager, manager.get());
    EXPECT_EQ(WaveManager->Folder, WaveFolder);
    EXPECT_TRUE(SoundOn);
}

TEST_F(AppSoundTest, PlainFileIsConvertedOnlyWhenNewer) {
    WriteCatalogue("one\ntwo\n");
    manager = StartSound(&window, true);
    ASSERT_EQ(Entries(), (Names{"ONE=0", "TWO=1"}));
    int64_t datTime = 0;
    ASSERT_TRUE(plat::FileModTime(DataFolder + "sounds.dat", datTime));

    // Equally old: ignored.
    WriteCatalogue("three\n");
    plat::SetFileModTime(DataFolder + "sounds.txt", datTime);
    manager = StartSound(&window, true);
    EXPECT_EQ(Entries(), (Names{"ONE=0", "TWO=1"}));

    // Older: ignored.
    plat::SetFileModTime(DataFolder + "sounds.txt", datTime - 1'000'000'000);
    manager = StartSound(&window, true);
    EXPECT_EQ(Entries(), (Names{"ONE=0", "TWO=1"}));

    // Newer: converted again.
    plat::SetFileModTime(DataFolder + "sounds.txt", datTime + 1'000'000'000);
    manager = StartSound(&window, true);
    EXPECT_EQ(Entries(), (Names{"THREE=0"}));
}

TEST_F(AppSoundTest, MissingCatalogueGivesOneEmptyEntry) {
    manager = StartSound(&window, true);
    EXPECT_EQ(Entries(), (Names{"=0"}));
    EXPECT_EQ(SoundName(0), "");
    PlayGameSound(0); // loads ".wav": fails quietly
    EXPECT_TRUE(device->Devices().empty());
}

TEST_F(AppSoundTest, SoundOnFollowsWishAndDevices) {
    ShipElevenSounds();
    manager = StartSound(&window, false);
    EXPECT_FALSE(SoundOn);
    EXPECT_FALSE(SoundWanted);
    EXPECT_EQ(Entries().size(), 11u) << "the catalogue is read with sound off";
    SetSoundOn(true);
    EXPECT_TRUE(SoundOn);
    EXPECT_TRUE(SoundWanted);
    SetSoundOn(false);
    EXPECT_FALSE(SoundOn);
    EXPECT_FALSE(SoundWanted);

    // Without an audio output sound stays off, and the wish stays the
    // player's: only the switch changes it.
    device->Controls().devices = 0;
    manager = StartSound(&window, true);
    EXPECT_FALSE(SoundOn);
    EXPECT_TRUE(SoundWanted);
    SetSoundOn(false);
    EXPECT_FALSE(SoundWanted);
    SetSoundOn(true);
    EXPECT_FALSE(SoundOn);
    EXPECT_TRUE(SoundWanted);
    EXPECT_FALSE(device->KeepsOutputOpen());
    PlayGameSound(1);
    EXPECT_TRUE(device->Devices().empty());
    EXPECT_EQ(Entries().size(), 11u) << "the catalogue is read all the same";
}

TEST_F(AppSoundTest, AnAudioOutputThatComesLaterTurnsSoundOn) {
    WriteCatalogue("one\n");
    device->Controls().devices = 0;
    manager = StartSound(&window, true);
    EXPECT_FALSE(SoundOn);
    device->Controls().devices = 1;
    EXPECT_TRUE(manager->LookAgain());
    EXPECT_TRUE(SoundOn) << "as if the player had switched it on";
    EXPECT_TRUE(SoundWanted);
    EXPECT_TRUE(device->KeepsOutputOpen());

    // Not wanted: found or not, sound stays off.
    device->Controls().devices = 0;
    manager = StartSound(&window, false);
    device->Controls().devices = 1;
    EXPECT_FALSE(manager->LookAgain());
    EXPECT_FALSE(SoundOn);
    EXPECT_FALSE(device->KeepsOutputOpen());
}

TEST_F(AppSoundTest, AnAudioOutputIsKeptOpenWhileSoundIsOn) {
    WriteCatalogue("one\n");
    manager = StartSound(&window, true);
    EXPECT_TRUE(device->KeepsOutputOpen());
    SetSoundOn(false);
    EXPECT_FALSE(device->KeepsOutputOpen());
    SetSoundOn(true);
    EXPECT_TRUE(device->KeepsOutputOpen());
    manager.reset();
    EXPECT_FALSE(device->KeepsOutputOpen()) << "not beyond the manager";
    manager = StartSound(&window, false);
    EXPECT_FALSE(device->KeepsOutputOpen());
}

TEST_F(AppSoundTest, GameSoundsPlayTheirCatalogueEntries) {
    ShipElevenSounds();
    manager = StartSound(&window, true);
    const uint16_t ids[] = {0, 1, 2, 3, 4, 5, 10, 8, 6, 7, 9, 0};
    for (int n = 0; n <= 11; ++n) {
        PlayGameSound(static_cast<uint8_t>(n));
        EXPECT_EQ(PlayingLength(), 2u * (10 + ids[n])) << "game sound " << n;
        Finish();
    }
    EXPECT_EQ(WaveManager->Sounds.Count(), 0) << "every game sound is freed after playing";
}

TEST_F(AppSoundTest, AmbientRequestsQueueAndRepeatsAreIgnored) {
    ShipElevenSounds();
    manager = StartSound(&window, true);
    PlayGameSound(3);
    PlayGameSound(3); // the one playing: ignored
    PlayGameSound(6);
    PlayGameSound(6); // already queued: stays queued once
    EXPECT_EQ(device->Devices().size(), 1u);
    EXPECT_EQ(WaveManager->Sounds.Count(), 2);
    Finish();
    EXPECT_EQ(PlayingLength(), 2u * (10 + 10)) << "the second waited for the first";
    Finish();
    EXPECT_EQ(device->Playing(), nullptr);
    EXPECT_EQ(WaveManager->Sounds.Count(), 0);
    EXPECT_EQ(device->Devices().size(), 2u);
}

TEST_F(AppSoundTest, ManagerForgetsItselfWhenFreed) {
    WriteCatalogue("one\n");
    manager = StartSound(&window, true);
    manager.reset();
    EXPECT_EQ(WaveManager, nullptr);
    PlayGameSound(1); // no manager: nothing happens
    SetSoundOn(true);
    SoundDone({1, nullptr});
    StopSound();
    EXPECT_EQ(SoundCatalogue, nullptr);
    EXPECT_EQ(SoundName(0), "");
}

TEST_F(AppSoundTest, ConversionErrorPropagates) {
    WriteCatalogue("one\n");
    std::filesystem::create_directory(DataFolder + "sounds.dat"); // cannot be replaced
    int64_t t = 0;
    ASSERT_TRUE(plat::FileModTime(DataFolder + "sounds.txt", t));
    plat::SetFileModTime(DataFolder + "sounds.dat", t - 1'000'000'000);
    EXPECT_THROW(manager = StartSound(&window, true), LumException);
    EXPECT_EQ(WaveManager, nullptr) << "the manager made meanwhile is gone";
}

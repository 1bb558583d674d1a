// Crash safety of the files the game writes, a hundred kills per file (the
// harness is support/KillHarness.h): the words file, the settings file, the
// key store and a saved story's bytes.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "base/LumUtil.h"
#include "data/InitGame.h"
#include "platform/Files.h"
#include "platform/KeyStore.h"
#include "support/KillHarness.h"
#include "support/TestSupport.h"
#include "vocab/PartOfSpeech.h"
#include "vocab/Vocab.h"

namespace {

using fbwtest::FileWriter;
using fbwtest::KillCounts;
using fbwtest::KillWrites;
using fbwtest::MessageCapture;
using fbwtest::TempDir;

constexpr int kRounds = 100;

// A vocabulary of 2,000 words per class, named so that every word is distinct.
std::unique_ptr<TVocab> BigVocab(const std::string& path, int extra) {
    auto vocab = std::make_unique<TVocab>(path, false);
    for (int c = 0; c < kWordClassCount; ++c) {
        for (int i = 0; i < 2000 + extra; ++i) {
            std::string word;
            for (int n = i; word.size() < 4 || n; n /= 26)
                word += static_cast<char>('a' + n % 26);
            auto w = TPartOfSpeech::Create(c);
            w->SetWord((c == wcProperNoun || c == wcPlace ? "Q" : "") + word);
            vocab->AddWord(std::shared_ptr<TPartOfSpeech>(std::move(w)));
        }
    }
    return vocab;
}

} // namespace

TEST(CrashSafety, WordsFileOfTenThousandWords) {
    TempDir dir;
    const std::string path = dir / "words.dat";
    auto before = BigVocab(path, 0); // 10,000 words
    auto after = BigVocab(path, 1);  // 10,005 words
    FileWriter w{path, [&] { before->SaveWords(); }, [&] { after->SaveWords(); },
                 [&] {
                     MessageCapture capture;
                     TVocab read(path, false);
                     return capture.Messages().empty() ? std::string() : capture.Messages()[0].text;
                 }};
    MessageCapture quiet;
    const KillCounts c = KillWrites(w, kRounds, 1);
    fbwtest::ReportKills("words file", c);
    EXPECT_EQ(c.rounds, kRounds);
    EXPECT_GT(c.killedMidWrite, kRounds / 10) << "too few kills fell inside the write";
}

TEST(CrashSafety, SettingsFile) {
    TempDir dir;
    const std::string ini = dir / "yarns.ini";
    fbwtest::WriteBytes(ini, "[Game]\r\nMaximized=0\r\nSound=1\r\n\r\n[Book]\r\nMaximized=1\r\n"
                             "\r\n[Story]\r\nHero=Jack\r\nHeroine=Gretel\r\n");
    FileWriter w{ini, [&] { WriteIniString("Story", "Hero", "Jack", ini); },
                 [&] { WriteIniString("Story", "Hero", "Rumpelstiltskin", ini); },
                 [&] {
                     std::string hero, sound, book;
                     ReadIniString("Story", "Hero", "", hero, ini);
                     ReadIniString("Game", "Sound", "", sound, ini);
                     ReadIniString("Book", "Maximized", "", book, ini);
                     if ((hero != "Jack" && hero != "Rumpelstiltskin") || sound != "1" ||
                         book != "1")
                         return "Hero=" + hero + " Sound=" + sound + " Book/Maximized=" + book;
                     return std::string();
                 }};
    const KillCounts c = KillWrites(w, kRounds, 2);
    fbwtest::ReportKills("settings file", c);
    EXPECT_EQ(c.rounds, kRounds);
    EXPECT_GT(c.killedMidWrite, kRounds / 10) << "too few kills fell inside the write";
}

TEST(CrashSafety, KeyStore) {
    TempDir dir;
    std::filesystem::create_directories(dir / "one");
    std::filesystem::create_directories(dir / "two");
    const std::string store = dir / "registry.ini";
    plat::KeyStore keys(store);
    ASSERT_TRUE(keys.WriteString(kRegCompanyKey, "DevHome", ""));
    FileWriter w{store, [&] { keys.WriteString(kRegYarnsKey, "Directory", dir / "one"); },
                 [&] { keys.WriteString(kRegYarnsKey, "Directory", dir / "two"); },
                 [&] {
                     MessageCapture capture;
                     StartupFailed = false;
                     LocateFolders(dir / "bin/fablewhirl", keys);
                     if (!capture.Messages().empty())
                         return capture.Messages()[0].text;
                     if (StartupFailed ||
                         (InstallFolder != dir / "one/" && InstallFolder != dir / "two/"))
                         return "the installation folder " + InstallFolder;
                     return std::string();
                 }};
    const KillCounts c = KillWrites(w, kRounds, 3);
    fbwtest::ReportKills("key store", c);
    EXPECT_EQ(c.rounds, kRounds);
    EXPECT_GT(c.killedMidWrite, kRounds / 10) << "too few kills fell inside the write";
}

// A story the size of a generated one, saved through the platform's atomic
// write as the storybook saves it.
TEST(CrashSafety, SavedStorySizedText) {
    TempDir dir;
    const std::string path = dir / "Goldilox.txt";
    auto story = [](const std::string& hero) {
        std::string s = "Goldilocks and the Three Bears\r\n\r\n";
        for (int p = 0; p < 30; ++p)
            s += "Once upon a time " + hero +
                 " walked into the forest and found a little house with a red door, and in "
                 "it three bowls of porridge on the table.\r\n\r\n";
        return s;
    };
    const std::string a = story("Goldilocks"), b = story("Rumpelstiltskin");
    FileWriter w{path, [&] { plat::WriteFileAtomic(path, a); },
                 [&] { plat::WriteFileAtomic(path, b); },
                 [&] {
                     std::string text;
                     if (!plat::ReadWholeFile(path, text))
                         return std::string("it cannot be read");
                     return text == a || text == b ? std::string() : std::string("other text");
                 }};
    const KillCounts c = KillWrites(w, kRounds, 4);
    fbwtest::ReportKills("saved story", c);
    EXPECT_EQ(c.rounds, kRounds);
    EXPECT_GT(c.killedMidWrite, kRounds / 10) << "too few kills fell inside the write";
}

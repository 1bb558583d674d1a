// Crash safety of the files the game writes: a writer runs in a child process
// and is killed with SIGKILL at a random moment of its write, a hundred times
// per file. After every kill the file holds the old or the new bytes exactly,
// the game's next start reads it without a warning, and the next good write
// leaves no temporary file behind.
//
// A file under test is one FileWriter: a good write of the old contents, the
// write of the new contents that gets killed, and the read of the next start.
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

#include "data/InitGame.h"
#include "image/LumUtil.h"
#include "platform/Files.h"
#include "platform/KeyStore.h"
#include "support/TestSupport.h"
#include "vocab/PartOfSpeech.h"
#include "vocab/Vocab.h"

namespace {

using fbwtest::MessageCapture;
using fbwtest::TempDir;

struct FileWriter {
    std::string path;
    std::function<void()> writeOld;
    std::function<void()> writeNew;
    // What the next start of the game complains of when it reads the file
    // ("" when it reads it cleanly).
    std::function<std::string()> readAtStart;
};

struct KillCounts {
    int rounds = 0;
    int killedMidWrite = 0; // the child was still running when the signal came
    int old = 0, fresh = 0;
};

std::vector<std::string> Temporaries(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (name.find(".fbwtmp-") != std::string::npos)
            found.push_back(name);
    }
    return found;
}

double SecondsOf(const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Kills the new write Rounds times at moments spread evenly at random over
// once and a half the time the write takes.
KillCounts KillWrites(const FileWriter& w, int rounds, uint32_t seed) {
    KillCounts counts;
    const std::string folder = plat::ExtractFilePath(w.path);
    w.writeOld();
    const std::string oldBytes = fbwtest::ReadBytes(w.path);
    double seconds = 0;
    for (int i = 0; i < 3; ++i)
        seconds += SecondsOf(w.writeNew) / 3;
    const std::string newBytes = fbwtest::ReadBytes(w.path);
    EXPECT_NE(oldBytes, newBytes);

    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> delay(0.0, 1.5 * seconds);
    for (int round = 0; round < rounds; ++round) {
        w.writeOld();
        const auto temporaries = Temporaries(folder);
        if (fbwtest::ReadBytes(w.path) != oldBytes || !temporaries.empty()) {
            ADD_FAILURE() << "round " << round << ": the good write left "
                          << (temporaries.empty() ? "other bytes" : temporaries[0]);
            break;
        }
        int ready[2];
        if (::pipe(ready) != 0) {
            ADD_FAILURE() << "pipe";
            break;
        }
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(ready[0]);
            char go = 1;
            if (::write(ready[1], &go, 1) != 1)
                ::_exit(2);
            w.writeNew();
            ::_exit(0);
        }
        ::close(ready[1]);
        char go = 0;
        const bool started = ::read(ready[0], &go, 1) == 1;
        ::close(ready[0]);
        // The kill moment: a busy wait, so that it falls anywhere in the write.
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(delay(rng));
        while (std::chrono::steady_clock::now() < until) {
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!started) {
            ADD_FAILURE() << "round " << round << ": the writer did not start";
            break;
        }
        ++counts.rounds;
        if (WIFSIGNALED(status))
            ++counts.killedMidWrite;
        const std::string bytes = fbwtest::ReadBytes(w.path);
        if (bytes == oldBytes)
            ++counts.old;
        else if (bytes == newBytes)
            ++counts.fresh;
        else {
            ADD_FAILURE() << "round " << round << ": " << bytes.size()
                          << " bytes that are neither the old nor the new file";
            break;
        }
        const std::string complaint = w.readAtStart();
        if (!complaint.empty()) {
            ADD_FAILURE() << "round " << round << ": the next start says " << complaint;
            break;
        }
    }
    w.writeOld();
    EXPECT_TRUE(Temporaries(folder).empty());
    return counts;
}

void Report(const char* what, const KillCounts& c) {
    std::printf("%s: %d kills, %d of them mid-write; afterwards %d old and %d new files\n", what,
                c.rounds, c.killedMidWrite, c.old, c.fresh);
}

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
    Report("words file", c);
    EXPECT_EQ(c.rounds, kRounds);
    EXPECT_GT(c.killedMidWrite, kRounds / 4);
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
    Report("settings file", c);
    EXPECT_EQ(c.rounds, kRounds);
    EXPECT_GT(c.killedMidWrite, kRounds / 4);
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
    Report("key store", c);
    EXPECT_EQ(c.rounds, kRounds);
    EXPECT_GT(c.killedMidWrite, kRounds / 4);
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
    Report("saved story", c);
    EXPECT_EQ(c.rounds, kRounds);
    EXPECT_GT(c.killedMidWrite, kRounds / 4);
}

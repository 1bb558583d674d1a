// fbwtool tell: its output formats, its options and the files it leaves alone.
#include <gtest/gtest.h>

#include "StoryFixture.h"
#include "platform/Files.h"

using fbwtest::RunTool;
using namespace std::string_literals;
using storytest::kMark;
using storytest::StoryFolder;

namespace {

class TellTool : public ::testing::Test {
protected:
    void SetUp() override {
        folder.WriteTemplate(2, {"$%Three Bears" + kMark + kMark, ">bear=NOUN;girl=FHERO",
                                 "Once {girl} met", "a {bear}." + kMark + kMark, "The end."});
        fbwtest::WriteBytes(folder.settingsFile, "[Story]\nHero=Jack\nHeroine=Jill\n");
    }
    std::vector<std::string> Args(std::vector<std::string> extra) const {
        std::vector<std::string> a = {"tell", "--data", folder.dataFolder, "--words",
                                      folder.wordsFile};
        a.insert(a.end(), extra.begin(), extra.end());
        return a;
    }
    StoryFolder folder;
};

TEST_F(TellTool, SavedStoryFormatAndRawLines) {
    auto r = RunTool(Args({"--twist", "0", "2"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Three Bears\n\nOnce girl met a bear.\n\nThe end.\n");

    r = RunTool(Args({"--twist", "0", "--raw", "2"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Three Bears" + kMark + kMark + "\nOnce girl met\na bear." + kMark + kMark +
                         "\nThe end.\n");
}

TEST_F(TellTool, NamesFromSettingsAndOptions) {
    auto r = RunTool(Args({"--twist", "0", "--settings", folder.settingsFile, "2"}));
    EXPECT_EQ(r.out, "Three Bears\n\nOnce Jill met a bear.\n\nThe end.\n");
    r = RunTool(Args({"--settings", folder.settingsFile, "--heroine", "Goldie", "2"}));
    EXPECT_NE(r.out.find("Once Goldie met a "), std::string::npos) << r.out;
}

TEST_F(TellTool, SeedMakesTheStoryRepeatable) {
    const auto a = RunTool(Args({"--seed", "42", "2"}));
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(RunTool(Args({"--seed", "42", "2"})).out, a.out);
    // At full twist the bear is one of the nouns.
    EXPECT_EQ(a.out.find("a bear."), std::string::npos) << a.out;
    bool differs = false;
    for (int seed = 1; seed <= 10 && !differs; ++seed)
        differs = RunTool(Args({"--seed", std::to_string(seed), "2"})).out != a.out;
    EXPECT_TRUE(differs);
}

TEST_F(TellTool, WritesNeitherWordsNorSettings) {
    const std::string words = fbwtest::ReadBytes(folder.wordsFile);
    const std::string settings = fbwtest::ReadBytes(folder.settingsFile);
    int64_t wordsTime = 0, settingsTime = 0;
    ASSERT_TRUE(plat::FileModTime(folder.wordsFile, wordsTime));
    ASSERT_TRUE(plat::FileModTime(folder.settingsFile, settingsTime));
    ASSERT_EQ(RunTool(Args({"--settings", folder.settingsFile, "--hero", "X", "2"})).status, 0);
    EXPECT_EQ(fbwtest::ReadBytes(folder.wordsFile), words);
    EXPECT_EQ(fbwtest::ReadBytes(folder.settingsFile), settings);
    int64_t t = 0;
    ASSERT_TRUE(plat::FileModTime(folder.wordsFile, t));
    EXPECT_EQ(t, wordsTime);
    ASSERT_TRUE(plat::FileModTime(folder.settingsFile, t));
    EXPECT_EQ(t, settingsTime);
}

TEST_F(TellTool, RandomTaleAndMissingFiles) {
    // Tale 0 picks one of the ten; only tale 2 has a template here.
    bool toldTwo = false, toldOther = false;
    for (int seed = 1; seed <= 80 && !(toldTwo && toldOther); ++seed) {
        auto r = RunTool(Args({"--seed", std::to_string(seed), "0"}));
        ASSERT_EQ(r.status, 0) << r.err;
        (r.out.rfind("Three Bears", 0) == 0 ? toldTwo : toldOther) = true;
    }
    EXPECT_TRUE(toldTwo);
    EXPECT_TRUE(toldOther);
    // Without a words file the story is still told, with a note.
    auto r =
        RunTool({"tell", "--data", folder.dataFolder, "--words", folder.dir / "none.dat", "2"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("none.dat"), std::string::npos);
    EXPECT_FALSE(plat::FileExists(folder.dir / "none.dat"));
}

TEST_F(TellTool, Utf8OutAndNamesInEitherEncoding) {
    folder.WriteTemplate(3, {"$%Ein B\xE4r", ">girl=FHERO", "{girl} sah einen B\xE4r."});
    // A name typed in a UTF-8 terminal and one given as Latin-1 are the same.
    for (const std::string& name : {"Zo\xC3\xAB"s, "Zo\xEB"s}) {
        const auto r = RunTool({"tell", "--data", folder.dataFolder, "--words", folder.wordsFile,
                                "--twist", "0", "--heroine", name, "3"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "Ein B\xC3\xA4r\n\nZo\xC3\xAB sah einen B\xC3\xA4r.\n");
    }
}

TEST_F(TellTool, AFolderWithoutTalesIsAnError) {
    fbwtest::TempDir empty;
    const auto r = RunTool({"tell", "--data", empty.Path(), "--words", folder.wordsFile, "2"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(empty.Path()), std::string::npos) << r.err;
}

TEST_F(TellTool, BadArguments) {
    for (const auto& bad : std::vector<std::vector<std::string>>{{},
                                                                 {"two"},
                                                                 {"1", "2"},
                                                                 {"--twist", "101", "1"},
                                                                 {"--twist", "half", "1"},
                                                                 {"--seed", "-1", "1"},
                                                                 {"--seed", "99999999999", "1"},
                                                                 {"--twist"}}) {
        auto r = RunTool(Args(bad));
        EXPECT_EQ(r.status, 1) << testing::PrintToString(bad);
        EXPECT_NE(r.err.find("fbwtool:"), std::string::npos);
    }
    EXPECT_EQ(RunTool({"tell", "--data", folder.dir / "nowhere", "1"}).status, 1);
    EXPECT_NE(RunTool({"--help"}).out.find("fbwtool tell"), std::string::npos);
}

} // namespace

// Text lines, trimming, settings strings and the random generator.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/AbortException.h"
#include "base/LumUtil.h"
#include "base/Random.h"
#include "platform/MemoryStream.h"
#include "support/TestSupport.h"

namespace {
std::vector<std::string> Lines(const std::string& bytes, bool& aborted) {
    plat::MemoryStream s(bytes);
    std::vector<std::string> out;
    aborted = false;
    try {
        for (;;) {
            std::string line;
            ReadTextLine(s, line);
            out.push_back(line);
        }
    } catch (const EAbort&) {
        aborted = true;
    }
    return out;
}
} // namespace

TEST(ReadTextLine, LineEndsTabsAndControlBytes) {
    bool aborted;
    auto lines = Lines("a\r\nx\ty\n\x01z\x7f\x9f\xa0\xff\nlast", aborted);
    EXPECT_TRUE(aborted);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "x y", "z\xa0\xff"}))
        << "the unfinished last line is dropped";
    EXPECT_TRUE(Lines("", aborted).empty());
    EXPECT_TRUE(aborted);
}

TEST(ReadTextLine, LongLineKeepsFirst255) {
    bool aborted;
    auto lines = Lines(std::string(300, 'q') + "\nnext\n", aborted);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(255, 'q'));
    EXPECT_EQ(lines[1], "next");
}

TEST(LumUtil, Trimming) {
    EXPECT_EQ(TrimLeadingSpaces("  a b "), "a b ");
    EXPECT_EQ(TrimTrailingSpaces("  a b  "), "  a b");
    EXPECT_EQ(TrimLeadingSpaces("\ta"), "\ta") << "only spaces are blanks";
    EXPECT_EQ(TrimTrailingSpaces("   "), "");
    std::string s;
    SetStringFromBuffer("ab\0cd", 5, s);
    EXPECT_EQ(s, std::string("ab\0cd", 5));
}

TEST(LumUtil, IniStrings) {
    fbwtest::TempDir dir;
    std::string ini = dir / "yarns.ini";
    WriteIniString("Game", "Sound", "1", ini);
    std::string v = "junk";
    ReadIniString("Game", "Sound", "0", v, ini);
    EXPECT_EQ(v, "1");
    ReadIniString("Game", "Fade", "0", v, ini);
    EXPECT_EQ(v, "0");
    WriteIniString("Story", "Hero", std::string(300, 'h'), ini);
    ReadIniString("Story", "Hero", "", v, ini);
    EXPECT_EQ(v, std::string(255, 'h'));
    WriteIniString("Game", "Sound", "1", dir / "no/dir.ini"); // swallowed
}

TEST(LumUtil, IniFileNameOver255CharactersIsRefused) {
    // Cut to 255 characters, this name would be the file "y" beside it.
    fbwtest::TempDir dir;
    const std::string folder = dir.Path() + std::string(254 - dir.Path().size() - 1, 'f') + "/";
    ASSERT_EQ(folder.size(), 254u);
    std::filesystem::create_directory(folder);
    const std::string ini = folder + "yarns.ini";
    ASSERT_EQ(ini.size(), 263u);
    fbwtest::WriteBytes(folder + "y", "[Game]\nSound=7\n");
    EXPECT_FALSE(WriteIniString("Game", "Sound", "1", ini));
    EXPECT_EQ(fbwtest::ReadBytes(folder + "y"), "[Game]\nSound=7\n");
    EXPECT_FALSE(std::filesystem::exists(ini));
    std::string v = "junk";
    EXPECT_FALSE(ReadIniString("Game", "Sound", "0", v, ini));
    EXPECT_EQ(v, "");
    const std::string fits = folder.substr(0, 240) + ".ini";
    EXPECT_TRUE(WriteIniString("Game", "Sound", "1", fits));
    EXPECT_TRUE(ReadIniString("Game", "Sound", "0", v, fits));
    EXPECT_EQ(v, "1");
}

TEST(Random, FixedSeedRepeatsAndStaysInRange) {
    SetRandSeed(42);
    std::vector<int> a;
    for (int i = 0; i < 50; ++i)
        a.push_back(Random(10));
    SetRandSeed(42);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(Random(10), a[static_cast<std::size_t>(i)]);
    std::vector<int> seen(7);
    for (int i = 0; i < 7000; ++i) {
        int r = Random(7);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 7);
        ++seen[static_cast<std::size_t>(r)];
    }
    for (int n : seen)
        EXPECT_GT(n, 800);
    EXPECT_EQ(Random(0), 0);
}

// Private profile strings and the per-user key store.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/IniDocument.h"
#include "platform/KeyStore.h"
#include "platform/PrivateProfile.h"
#include "support/TestSupport.h"

using fbwtest::TempDir;
using namespace std::string_literals;

TEST(Profile, ReadsCaseInsensitivelyAndTrims) {
    TempDir dir;
    std::string ini = dir / "yarns.ini";
    fbwtest::WriteBytes(ini, "[Game]\r\nSound = 1 \r\n[Story]\r\nHero=Jack\r\n");
    EXPECT_EQ(plat::GetProfileString("game", "SOUND", "x", ini), "1");
    EXPECT_EQ(plat::GetProfileString("Story", "hero", "", ini), "Jack");
    EXPECT_EQ(plat::GetProfileString("Story", "Heroine", " dflt ", ini), "dflt");
    EXPECT_EQ(plat::GetProfileString("Book", "Hero", "d", ini), "d");
    EXPECT_EQ(plat::GetProfileString("Game", "Sound", "d", dir / "none.ini"), "d");
}

TEST(Profile, WriteKeepsTheRestByteForByte) {
    TempDir dir;
    std::string ini = dir / "yarns.ini";
    std::string original =
        "; comment\r\n[Game]\r\nSound=1\r\nOdd  line\r\n\r\n[Story]\r\nHero=Jack\r\n";
    fbwtest::WriteBytes(ini, original);
    ASSERT_TRUE(plat::WriteProfileString("GAME", "sound", "0", ini));
    EXPECT_EQ(fbwtest::ReadBytes(ini),
              "; comment\r\n[Game]\r\nsound=0\r\nOdd  line\r\n\r\n[Story]\r\nHero=Jack\r\n");
    ASSERT_TRUE(plat::WriteProfileString("Game", "Fade", "1", ini));
    EXPECT_EQ(fbwtest::ReadBytes(ini), "; comment\r\n[Game]\r\nsound=0\r\nOdd  line\r\nFade=1\r\n"
                                       "\r\n[Story]\r\nHero=Jack\r\n");
    ASSERT_TRUE(plat::WriteProfileString("Book", "Font", "Arial", ini));
    EXPECT_EQ(plat::GetProfileString("Book", "Font", "", ini), "Arial");
    EXPECT_EQ(plat::GetProfileString("Story", "Hero", "", ini), "Jack");
}

TEST(Profile, WriteCreatesMissingFile) {
    TempDir dir;
    std::string ini = dir / "new.ini";
    ASSERT_TRUE(plat::WriteProfileString("Story", "Heroine", "Gretel", ini));
    EXPECT_EQ(fbwtest::ReadBytes(ini), "[Story]\nHeroine=Gretel\n");
    EXPECT_FALSE(plat::WriteProfileString("Story", "Hero", "x", dir / "no/such/dir.ini"));
}

TEST(KeyStore, OpenCreateAndRead) {
    TempDir dir;
    plat::KeyStore keys(dir / "cfg/Lumwright Software/registry.ini");
    const std::string yarns = "Software\\Lumwright Software\\Yarns";
    EXPECT_FALSE(keys.OpenKey(yarns, false));
    EXPECT_TRUE(keys.OpenKey(yarns, true));
    EXPECT_EQ(fbwtest::ReadBytes(keys.Path()), "[Software\\Lumwright Software\\Yarns]\n");
    EXPECT_TRUE(keys.OpenKey("software\\lumwright software\\YARNS", false));
    std::string v;
    EXPECT_FALSE(keys.ReadString(yarns, "Directory", v));
    ASSERT_TRUE(keys.WriteString(yarns, "Directory", "/opt/yarns"));
    EXPECT_TRUE(keys.ReadString(yarns, "directory", v));
    EXPECT_EQ(v, "/opt/yarns");

    // A zero byte ends the value: the folder lookup must not check "/" and
    // then use a longer name.
    fbwtest::WriteBytes(keys.Path(), "[Software\\Lumwright Software\\Yarns]\nDirectory=/" +
                                         std::string(1, '\0') + "garbage/\n");
    EXPECT_TRUE(keys.ReadString(yarns, "Directory", v));
    EXPECT_EQ(v, "/");
}

TEST(KeyStore, DefaultPathFollowsXdgConfigHome) {
    std::string old = getenv("XDG_CONFIG_HOME") ? getenv("XDG_CONFIG_HOME") : "";
    setenv("XDG_CONFIG_HOME", "/tmp/cfgx", 1);
    EXPECT_EQ(plat::KeyStore::DefaultPath(), "/tmp/cfgx/Lumwright Software/registry.ini");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(plat::KeyStore::DefaultPath(), "/home/u/.config/Lumwright Software/registry.ini");
    if (!old.empty())
        setenv("XDG_CONFIG_HOME", old.c_str(), 1);
}

TEST(Profile, ByteOrderMarkBeforeTheFirstSection) {
    TempDir dir;
    const std::string ini = dir / "yarns.ini";
    const std::string text = "\xEF\xBB\xBF[Story]\r\nHero=Jack\r\n";
    fbwtest::WriteBytes(ini, text);
    EXPECT_EQ(plat::GetProfileString("Story", "Hero", "", ini), "Jack");
    ASSERT_TRUE(plat::WriteProfileString("Story", "Hero", "Jill", ini));
    EXPECT_EQ(fbwtest::ReadBytes(ini), "\xEF\xBB\xBF[Story]\r\nHero=Jill\r\n")
        << "no second section, the mark kept";

    const std::string keys = dir / "registry.ini";
    fbwtest::WriteBytes(keys, "\xEF\xBB\xBF[Software\\Yarns]\nDirectory=/opt/y\n");
    plat::KeyStore store(keys);
    std::string v;
    EXPECT_TRUE(store.OpenKey("Software\\Yarns", false));
    EXPECT_TRUE(store.ReadString("Software\\Yarns", "Directory", v));
    EXPECT_EQ(v, "/opt/y");
}

TEST(Profile, AHeaderBehindBytesTheReaderSkipsIsFound) {
    // A zero byte (or a control byte, or a byte-order mark) before a header
    // or a key hides neither: the names are read, and written back in their
    // place rather than in a second section.
    TempDir dir;
    const std::string ini = dir / "yarns.ini";
    const std::string text = "[Game]\r\nSound=1\r\n"s + '\0' +
                             "[Story]\r\n\x01Hero=Jack\r\n"
                             "Heroine=Gretel\r\n\xEF\xBB\xBF[Book]\r\nLetters=1\r\n";
    fbwtest::WriteBytes(ini, text);
    EXPECT_EQ(plat::GetProfileString("Story", "Hero", "", ini), "Jack");
    EXPECT_EQ(plat::GetProfileString("Story", "Heroine", "", ini), "Gretel");
    EXPECT_EQ(plat::GetProfileString("Book", "Letters", "", ini), "1");
    EXPECT_EQ(plat::GetProfileString("Game", "Hero", "none", ini), "none")
        << "the hidden section's keys are not the one before's";
    ASSERT_TRUE(plat::WriteProfileString("Story", "Heroine", "Jill", ini));
    EXPECT_EQ(fbwtest::ReadBytes(ini), "[Game]\r\nSound=1\r\n"s + '\0' +
                                           "[Story]\r\n\x01Hero=Jack\r\nHeroine=Jill\r\n"
                                           "\xEF\xBB\xBF[Book]\r\nLetters=1\r\n");
}

TEST(Profile, LineBreaksInAValueAddNoLines) {
    TempDir dir;
    const std::string ini = dir / "yarns.ini";
    fbwtest::WriteBytes(ini, "[Story]\nHero=Jack\n");
    ASSERT_TRUE(plat::WriteProfileString("Story", "Hero", "Ann\n[Game]\r\nSound=0", ini));
    EXPECT_EQ(fbwtest::ReadBytes(ini), "[Story]\nHero=Ann [Game]  Sound=0\n");
    EXPECT_EQ(plat::GetProfileString("Game", "Sound", "none", ini), "none");
    EXPECT_FALSE(plat::WriteProfileString("Story\n[Game]", "Hero", "x", ini));
    EXPECT_FALSE(plat::WriteProfileString("Story", "Sound\r\nHero", "x", ini));
    EXPECT_EQ(fbwtest::ReadBytes(ini), "[Story]\nHero=Ann [Game]  Sound=0\n");
}

TEST(Profile, WritesThroughASymbolicLink) {
    TempDir dir;
    std::filesystem::create_directory(dir / "shared");
    fbwtest::WriteBytes(dir / "shared/yarns.ini", "[Story]\nHero=Jack\n");
    std::filesystem::create_symlink(dir / "shared/yarns.ini", dir / "yarns.ini");
    ASSERT_TRUE(plat::WriteProfileString("Story", "Hero", "Jill", dir / "yarns.ini"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "yarns.ini"));
    EXPECT_EQ(fbwtest::ReadBytes(dir / "shared/yarns.ini"), "[Story]\nHero=Jill\n");
}

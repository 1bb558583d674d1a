// Folder lookup from the key store, the needed-file check and the pairing rule.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/InitGame.h"
#include "platform/Files.h"
#include "platform/KeyStore.h"
#include "support/TestSupport.h"

using fbwtest::TempDir;

namespace {
const std::string kCompany = "Software\\Lumwright Software";
const std::string kYarns = "Software\\Lumwright Software\\Yarns";

struct Lookup {
    TempDir dir;
    plat::KeyStore keys{dir / "registry.ini"};
    fbwtest::MessageCapture capture;
    void Run(const std::string& program = "/opt/fbw/fablewhirl") {
        StartupFailed = false;
        LocateFolders(program, keys);
    }
};
} // namespace

TEST(LocateFolders, NothingRegisteredCreatesKeyAndFails) {
    Lookup l;
    l.Run();
    EXPECT_TRUE(StartupFailed);
    ASSERT_EQ(l.capture.Messages().size(), 1u);
    EXPECT_EQ(l.capture.Messages()[0].text,
              "Unable to locate name of installation folder: no value \"Directory\" under "
              "\"Software\\Lumwright Software\\Yarns\" in \"" +
                  l.keys.Path() + "\". Please re-install and try again.");
    EXPECT_TRUE(l.keys.OpenKey(kYarns, false)) << "the key is created";
}

TEST(LocateFolders, DirectoryWithOrWithoutSeparator) {
    for (bool trailing : {false, true}) {
        Lookup l;
        std::filesystem::create_directory(l.dir / "inst");
        std::string inst = l.dir / "inst";
        l.keys.WriteString(kYarns, "Directory", trailing ? inst + "/" : inst);
        l.Run("/opt/fbw/fablewhirl");
        EXPECT_FALSE(StartupFailed);
        EXPECT_EQ(InstallFolder, inst + "/");
        EXPECT_EQ(ProgramFolder, "/opt/fbw/");
        EXPECT_EQ(DataFolder, "/opt/fbw/dat/");
        EXPECT_EQ(WaveFolder, "/opt/fbw/wav/");
        EXPECT_EQ(SettingsFileName, inst + "/yarns.ini");
        EXPECT_TRUE(l.capture.Messages().empty());
    }
}

TEST(LocateFolders, SettingsFileNameOver255CharactersIsReported) {
    // The settings calls refuse such a name; the player learns why settings
    // are not kept, and the game still starts.
    Lookup l;
    const std::string inst = l.dir.Path() + std::string(250 - l.dir.Path().size(), 'i');
    std::filesystem::create_directory(inst);
    l.keys.WriteString(kYarns, "Directory", inst);
    l.Run();
    EXPECT_FALSE(StartupFailed);
    ASSERT_EQ(l.capture.Messages().size(), 1u);
    EXPECT_EQ(l.capture.Messages()[0].kind, plat::MsgKind::Warning);
    EXPECT_NE(l.capture.Messages()[0].text.find("longer than 255 characters"), std::string::npos);
}

TEST(LocateFolders, DevHomeFallback) {
    Lookup l;
    std::filesystem::create_directory(l.dir / "Yarns");
    l.keys.WriteString(kCompany, "DevHome", l.dir / "");
    l.keys.WriteString(kYarns, "Directory", l.dir / "gone");
    l.Run();
    EXPECT_FALSE(StartupFailed);
    EXPECT_EQ(InstallFolder, l.dir / "Yarns/");
    EXPECT_EQ(ProgramFolder, l.dir / "Yarns/");
    EXPECT_EQ(DataFolder, l.dir / "Yarns/dat/");
}

TEST(LocateFolders, DevHomeFolderMissingNamesIt) {
    Lookup l;
    l.keys.WriteString(kCompany, "DevHome", l.dir / "dev");
    l.Run();
    EXPECT_TRUE(StartupFailed);
    ASSERT_EQ(l.capture.Messages().size(), 1u);
    EXPECT_EQ(l.capture.Messages()[0].text, "Unable to locate installation folder \"" +
                                                (l.dir / "dev/Yarns") +
                                                "\". Please re-install and try again.");
}

namespace {
struct Install {
    TempDir dir;
    fbwtest::MessageCapture capture;
    Install() {
        ProgramFolder = dir.Path();
        InstallFolder = dir.Path();
        DataFolder = dir / "dat/";
        WaveFolder = dir / "wav/";
        std::filesystem::create_directory(DataFolder);
        for (const char* f : {"yarns.rl8", "FBWstart.rl8", "words.dat"})
            fbwtest::WriteBytes(dir / f, "x");
        fbwtest::WriteBytes(DataFolder + "sounds.dat", "x");
        for (int n = 1; n <= 10; ++n)
            fbwtest::WriteBytes(DataFolder + "sb" + std::to_string(n) + ".dat", "x");
    }
};
} // namespace

TEST(CheckNeededFiles, AllPresentAndAlternatives) {
    Install i;
    EXPECT_TRUE(CheckNeededFiles());
    plat::DeleteFile(DataFolder + "sounds.dat");
    fbwtest::WriteBytes(DataFolder + "sounds.txt", "x");
    plat::DeleteFile(DataFolder + "sb7.dat");
    fbwtest::WriteBytes(DataFolder + "ML7.DAT", "x");
    EXPECT_TRUE(CheckNeededFiles());
    EXPECT_TRUE(i.capture.Messages().empty());
}

TEST(CheckNeededFiles, OnlyFirstMissingFileIsReported) {
    Install i;
    plat::DeleteFile(DataFolder + "sb7.dat");
    plat::DeleteFile(DataFolder + "sb9.dat");
    EXPECT_FALSE(CheckNeededFiles());
    ASSERT_EQ(i.capture.Messages().size(), 1u);
    EXPECT_EQ(i.capture.Messages()[0].text,
              "Sorry! We cannot find the needed file \"" + DataFolder + "sb7.dat\".");
    EXPECT_EQ(i.capture.Messages()[0].kind, plat::MsgKind::Error);
}

TEST(CheckNeededFiles, SoundCatalogueNamesScrambledFile) {
    Install i;
    plat::DeleteFile(DataFolder + "sounds.dat");
    plat::DeleteFile(InstallFolder + "words.dat");
    EXPECT_FALSE(CheckNeededFiles());
    ASSERT_EQ(i.capture.Messages().size(), 1u);
    EXPECT_EQ(i.capture.Messages()[0].text,
              "Sorry! We cannot find the needed file \"" + InstallFolder + "words.dat\".");
}

TEST(RefreshScrambledFile, RebuildsOnlyWhenPlainIsNewer) {
    TempDir dir;
    std::string plain = dir / "ml1.dat", scrambled = dir / "sb1.dat";
    RefreshScrambledFile(plain, scrambled, nullptr); // neither exists
    EXPECT_FALSE(plat::FileExists(scrambled));

    fbwtest::WriteBytes(plain, "ab\n");
    RefreshScrambledFile(plain, scrambled, nullptr); // scrambled missing
    EXPECT_EQ(fbwtest::ReadBytes(scrambled), "\x63\x03\x62\x63");

    int64_t t = 0;
    plat::FileModTime(plain, t);
    fbwtest::WriteBytes(scrambled, "keep");
    plat::SetFileModTime(scrambled, t); // equal times: no rebuild
    RefreshScrambledFile(plain, scrambled, nullptr);
    EXPECT_EQ(fbwtest::ReadBytes(scrambled), "keep");

    plat::SetFileModTime(scrambled, t - 1000); // strictly older: rebuild
    RefreshScrambledFile(plain, scrambled, nullptr);
    EXPECT_EQ(fbwtest::ReadBytes(scrambled), "\x63\x03\x62\x63");
}

// cmake --install: the installed tree, the desktop entry, the metainfo and
// the icons.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sys/stat.h>

#include "InstallSupport.h"
#include "support/TestSupport.h"

using fbwtest::ReadBytes;
using fbwtest::TempDir;

namespace {

const std::string kAppId = "org.lumwright.Fablewhirl";

class Installed : public ::testing::Test {
protected:
    void SetUp() override {
        // Installing must not touch the user's folders: point them at an
        // empty folder and look at it afterwards.
        std::filesystem::create_directories(home / "config");
        std::filesystem::create_directories(home / "data");
        const std::string error = fbwinstall::InstallInto(
            prefix.Path(), {"HOME=" + home.Path(), "XDG_CONFIG_HOME=" + home / "config",
                            "XDG_DATA_HOME=" + home / "data"});
        ASSERT_EQ(error, "");
    }
    std::string P(const std::string& relative) const { return prefix / relative; }

    TempDir prefix, home;
};

std::vector<std::string> ExpectedFiles() {
    std::vector<std::string> files;
    std::istringstream lines(
        ReadBytes(fbwtest::SourceDir() + "/tests/install/installed-files.txt"));
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line[0] != '#')
            files.push_back(line);
    return files;
}

bool Executable(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & S_IXOTH);
}

// The value of Key in a desktop entry's text ("" when absent).
std::string DesktopValue(const std::string& entry, const std::string& key) {
    std::smatch m;
    return std::regex_search(entry, m, std::regex("(^|\n)" + key + "=([^\n]*)")) ? m[2].str() : "";
}

} // namespace

TEST_F(Installed, TreeHoldsExactlyTheListedFilesAndNothingOutsideThePrefix) {
    const auto expected = ExpectedFiles();
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(fbwinstall::ListFiles(prefix.Path()), expected);
    EXPECT_EQ(fbwinstall::ListFiles(home.Path()), std::vector<std::string>());

    for (const char* program :
         {"bin/fablewhirl", "lib/fablewhirl/fablewhirl", "lib/fablewhirl/fbwtool"})
        EXPECT_TRUE(Executable(P(program))) << program;
    // The data files are the build's own, byte for byte.
    for (const char* file :
         {"yarns.rl8", "FBWstart.rl8", "words.dat", "dat/sb1.dat", "dat/sounds.dat", "wav/owl.wav"})
        EXPECT_EQ(ReadBytes(P(std::string("lib/fablewhirl/") + file)),
                  ReadBytes(fbwtest::YarnsDir() + "/" + file))
            << file;
}

TEST_F(Installed, DesktopEntryAndMetainfoValidateAndAgree) {
    const std::string desktop = P("share/applications/" + kAppId + ".desktop");
    const std::string metainfo = P("share/metainfo/" + kAppId + ".metainfo.xml");
    const std::string entry = ReadBytes(desktop);
    const std::string meta = ReadBytes(metainfo);

    EXPECT_EQ(DesktopValue(entry, "Name"), "Fablewhirl");
    EXPECT_EQ(DesktopValue(entry, "Categories"), "Game;KidsGame;");
    // The command is the installed launcher; the icon is installed at every size.
    EXPECT_TRUE(Executable(P("bin/" + DesktopValue(entry, "Exec"))));
    const std::string icon = DesktopValue(entry, "Icon");
    for (const char* size : {"48x48", "64x64", "128x128", "256x256"})
        EXPECT_TRUE(std::filesystem::exists(
            P(std::string("share/icons/hicolor/") + size + "/apps/" + icon + ".png")))
            << size;
    EXPECT_TRUE(std::filesystem::exists(P("share/icons/hicolor/scalable/apps/" + icon + ".svg")));

    EXPECT_NE(meta.find("<id>" + kAppId + "</id>"), std::string::npos);
    EXPECT_NE(meta.find("<launchable type=\"desktop-id\">" + kAppId + ".desktop</launchable>"),
              std::string::npos);
    // The newest release (listed first) is the version being built.
    std::smatch m;
    ASSERT_TRUE(std::regex_search(meta, m, std::regex("<release version=\"([^\"]+)\"")));
    EXPECT_EQ(m[1].str(), FBW_VERSION);
    // What a software centre tells a family: mouse or keyboard, never online.
    ASSERT_TRUE(std::regex_search(meta, m, std::regex("<supports>([\\s\\S]*?)</supports>")));
    const std::string supports = m[1].str();
    EXPECT_NE(supports.find("<control>pointing</control>"), std::string::npos);
    EXPECT_NE(supports.find("<control>keyboard</control>"), std::string::npos);
    EXPECT_NE(supports.find("<internet>offline-only</internet>"), std::string::npos);
    EXPECT_EQ(meta.find("<requires>"), std::string::npos) << "nothing is required to play";

    if (!fbwinstall::HaveProgram("desktop-file-validate") ||
        !fbwinstall::HaveProgram("appstreamcli"))
        GTEST_SKIP() << "desktop-file-validate or appstreamcli missing (scripts/setup installs "
                        "desktop-file-utils and appstream)";
    const std::string log = prefix / "validate.log";
    EXPECT_EQ(fbwinstall::Run({"desktop-file-validate", desktop}, {}, log), 0) << ReadBytes(log);
    EXPECT_EQ(fbwinstall::Run({"appstreamcli", "validate", "--no-net", metainfo}, {}, log), 0)
        << ReadBytes(log);
}

TEST_F(Installed, IconsAreTransparentPngsOfTheirSize) {
    for (int size : {48, 64, 128, 256}) {
        const std::string s = std::to_string(size);
        const std::string png =
            ReadBytes(P("share/icons/hicolor/" + s + "x" + s + "/apps/" + kAppId + ".png"));
        ASSERT_GE(png.size(), 26u) << size;
        EXPECT_EQ(png.substr(1, 3), "PNG");
        auto be32 = [&](std::size_t at) {
            return (unsigned(std::uint8_t(png[at])) << 24) |
                   (unsigned(std::uint8_t(png[at + 1])) << 16) |
                   (unsigned(std::uint8_t(png[at + 2])) << 8) | unsigned(std::uint8_t(png[at + 3]));
        };
        EXPECT_EQ(be32(16), unsigned(size));
        EXPECT_EQ(be32(20), unsigned(size));
        EXPECT_EQ(png[25], 6) << "colour type: RGB with alpha";
    }
}

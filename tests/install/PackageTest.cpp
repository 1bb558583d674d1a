// The Debian package that cpack -G DEB makes from the build: its name and
// version, as the build's CPackConfig.cmake hands them to cpack, and the
// package itself, as Debian's lintian judges it.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "InstallSupport.h"
#include "support/TestSupport.h"
#include "support/XSession.h"

using fbwtest::ReadBytes;

namespace {

// The CPack variables Names after cpack's Debian generator has read the
// build's configuration (and the project's own CPack file, if any).
std::map<std::string, std::string> DebianSettings(const std::vector<std::string>& names) {
    fbwtest::TempDir dir;
    std::string script = "include(\"" FBW_BUILD_DIR "/CPackConfig.cmake\")\n"
                         "set(CPACK_GENERATOR DEB)\n"
                         "if(CPACK_PROJECT_CONFIG_FILE)\n"
                         "  include(\"${CPACK_PROJECT_CONFIG_FILE}\")\n"
                         "endif()\n";
    for (const std::string& name : names)
        script += "message(\"" + name + "=${" + name + "}\")\n";
    fbwtest::WriteBytes(dir / "print.cmake", script);
    const std::string log = dir / "print.log";
    std::map<std::string, std::string> values;
    if (fbwinstall::Run({FBW_CMAKE_COMMAND, "-P", dir / "print.cmake"}, {}, log) != 0) {
        ADD_FAILURE() << ReadBytes(log);
        return values;
    }
    std::istringstream lines(ReadBytes(log));
    for (std::string line; std::getline(lines, line);)
        if (const auto eq = line.find('='); eq != std::string::npos)
            values[line.substr(0, eq)] = line.substr(eq + 1);
    return values;
}

} // namespace

TEST(DebianPackage, IsNamedAndVersionedAfterTheProject) {
    auto v = DebianSettings({"CPACK_PACKAGE_NAME", "CPACK_PACKAGE_VERSION",
                             "CPACK_DEBIAN_PACKAGE_VERSION", "CPACK_DEBIAN_PACKAGE_EPOCH",
                             "CPACK_DEBIAN_PACKAGE_RELEASE", "CPACK_DEBIAN_FILE_NAME"});
    EXPECT_EQ(v["CPACK_PACKAGE_NAME"], "fablewhirl");
    // cpack's Debian version is CPACK_DEBIAN_PACKAGE_VERSION when set, else
    // the package version; an epoch or a release would be added to it.
    const std::string& debian = v["CPACK_DEBIAN_PACKAGE_VERSION"].empty()
                                    ? v["CPACK_PACKAGE_VERSION"]
                                    : v["CPACK_DEBIAN_PACKAGE_VERSION"];
    EXPECT_EQ(debian, FBW_VERSION);
    EXPECT_EQ(v["CPACK_DEBIAN_PACKAGE_EPOCH"], "");
    EXPECT_EQ(v["CPACK_DEBIAN_PACKAGE_RELEASE"], "");
    // The file is then fablewhirl_<version>_<architecture>.deb.
    EXPECT_EQ(v["CPACK_DEBIAN_FILE_NAME"], "DEB-DEFAULT");
}

TEST(DebianPackage, LintianFindsNoErrorAndNoWarning) {
    for (const char* tool : {"dpkg-deb", "dpkg-shlibdeps", "lintian"})
        if (!fbwinstall::HaveProgram(tool))
            GTEST_SKIP() << tool << " is missing (scripts/setup installs dpkg-dev and lintian)";
    fbwtest::TempDir dir;
    const std::string cmake = FBW_CMAKE_COMMAND;
    const std::string cpack = cmake.substr(0, cmake.rfind('/') + 1) + "cpack";
    const std::string log = dir / "cpack.log";
    ASSERT_EQ(fbwinstall::Run({cpack, "-G", "DEB", "--config", FBW_BUILD_DIR "/CPackConfig.cmake",
                               "-B", dir.Path()},
                              {}, log, 600000),
              0)
        << ReadBytes(log);
    const std::string deb = dir / ("fablewhirl_" FBW_VERSION "_" +
                                   fbwtest::ShellOutput("dpkg --print-architecture") + ".deb");
    ASSERT_TRUE(std::filesystem::exists(deb)) << ReadBytes(log);

    // Debian's places: the game in /usr/games, its manual page, the
    // copyright and the changelog.
    const std::string contents = fbwtest::ShellOutput("dpkg-deb -c '" + deb + "'");
    for (const char* file :
         {"./usr/games/fablewhirl", "./usr/share/man/man6/fablewhirl.6.gz",
          "./usr/share/doc/fablewhirl/copyright", "./usr/share/doc/fablewhirl/changelog.gz"})
        EXPECT_NE(contents.find(file), std::string::npos) << file << " missing in\n" << contents;
    EXPECT_EQ(contents.find("./usr/bin/"), std::string::npos) << contents;

    const std::string report = dir / "lintian.log";
    fbwinstall::Run({"lintian", "--no-tag-display-limit", deb}, {}, report);
    std::istringstream lines(ReadBytes(report));
    std::vector<std::string> found;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("E: ", 0) == 0 || line.rfind("W: ", 0) == 0)
            found.push_back(line);
    EXPECT_EQ(found, std::vector<std::string>{}) << ReadBytes(report);
}

// The Debian package that cpack -G DEB makes from the build: its name and
// version, as the build's CPackConfig.cmake hands them to cpack.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "InstallSupport.h"
#include "support/TestSupport.h"

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

// The version the program shows is the one the top CMakeLists.txt gives to
// project(): the generated header and the first credit line follow it.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "scene/Credits.h"
#include "scene/ProjectVersion.h"
#include "support/TestSupport.h"

namespace {

struct Version {
    std::string full, majorMinor;
};

// The version written in project(Fablewhirl VERSION ...).
Version ProjectVersion() {
    const std::string cmake = fbwtest::ReadBytes(fbwtest::SourceDir() + "/CMakeLists.txt");
    std::smatch m;
    if (!std::regex_search(
            cmake, m, std::regex(R"(project\(\s*Fablewhirl\s+VERSION\s+((\d+)\.(\d+)(\.\d+)*))")))
        return {};
    return {m[1].str(), m[2].str() + "." + m[3].str()};
}

} // namespace

TEST(ProjectVersion, HeaderAndFirstCreditLineFollowProject) {
    const Version v = ProjectVersion();
    ASSERT_FALSE(v.full.empty()) << "no project(Fablewhirl VERSION ...) in CMakeLists.txt";
    EXPECT_EQ(TProjectVersion::kFull, v.full);
    EXPECT_EQ(TProjectVersion::kMajorMinor, v.majorMinor);
    EXPECT_EQ(std::string(TCredits::Text(0)), "Fablewhirl " + v.majorMinor);
}

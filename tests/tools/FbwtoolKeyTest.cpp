// fbwtool key get/set: the launcher's view of the user's key store.
#include <gtest/gtest.h>

#include "support/TestSupport.h"

using fbwtest::RunTool;
using fbwtest::TempDir;

TEST(FbwtoolKey, SetThenGetIgnoresCaseAndMissingValuesFail) {
    TempDir dir;
    const std::string store = dir / "sub/registry.ini";
    const std::string key = "Software\\Lumwright Software\\Yarns";

    auto missing = RunTool({"key", "get", "--store", store, key, "Directory"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");

    ASSERT_EQ(RunTool({"key", "set", "--store", store, key, "Directory", "/home/a b/Yarns"}).status,
              0);
    auto got = RunTool(
        {"key", "get", "--store", store, "software\\lumwright software\\YARNS", "directory"});
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.out, "/home/a b/Yarns\n");
    EXPECT_EQ(RunTool({"key", "get", "--store", store, key, "DevHome"}).status, 1);

    EXPECT_EQ(RunTool({"key", "get", "--store", store, key}).status, 1);
    EXPECT_EQ(RunTool({"key", "frob", "--store", store, key, "Directory"}).status, 1);
}

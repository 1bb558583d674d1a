// fbwtool key get/set: the launcher's view of the user's key store.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "support/TestSupport.h"

using fbwtest::RunTool;
using fbwtest::TempDir;
namespace fs = std::filesystem;

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

TEST(FbwtoolKey, ASetThatCannotWriteSaysWhy) {
    TempDir dir;
    const std::string key = "Software\\Lumwright Software\\Yarns";
    // A folder the player may read but not write (as root every write works).
    const std::string folder = dir / "locked";
    fs::create_directory(folder);
    fs::permissions(dir.Path(), fs::perms::all);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    const std::string store = folder + "/registry.ini";
    EXPECT_EQ(fbwtest::RunUnprivileged([&] {
                  const auto r = RunTool({"key", "set", "--store", store, key, "Directory", "/x"});
                  const std::string expected =
                      "fbwtool: key set: cannot write " + store + ": permission denied\n";
                  if (r.status == 1 && r.err == expected)
                      return 0;
                  std::fprintf(stderr, "status %d, said: %s", r.status, r.err.c_str());
                  return 1;
              }),
              0);

    // The store's folder cannot be made: a file stands in its place.
    fbwtest::WriteBytes(dir / "file", "x");
    const auto r = RunTool({"key", "set", "--store", dir / "file/registry.ini", key, "Name", "v"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "fbwtool: key set: cannot write " + dir / "file/registry.ini" +
                         ": not a directory\n");
}

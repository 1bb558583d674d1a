// tools/includegraph on a small tree of its own: a cycle between two folders
// of one floor, an include that points up a floor, a subfolder standing on
// its parent's floor, and includes that are not between folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/TestSupport.h"

using fbwtest::ReadBytes;
using fbwtest::TempDir;
using fbwtest::WriteBytes;
namespace fs = std::filesystem;

namespace {

void Write(const TempDir& dir, const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(dir / path).parent_path());
    WriteBytes(dir / path, text);
}

} // namespace

TEST(IncludeGraph, SummaryCountsFoldersEdgesUpwardIncludesAndCycles) {
    if (std::system("python3 -c '' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 is not installed";
    TempDir tree;
    // Floors, bottom first: a and b, then c, then d.
    Write(tree, "floors.txt", "# bottom\na b\nc\nd  # top\n");
    Write(tree, "src/a/A.h", "#include \"b/B.h\"\n#include \"A2.h\"\n#include <vector>\n");
    Write(tree, "src/a/A2.h", "");
    Write(tree, "src/b/B.h", "// #include \"c/C.h\" is not here\n");
    Write(tree, "src/b/B.cpp", "#include \"a/A.h\"\n#include \"b/B.h\"\n#include \"a/A.h\"\n");
    Write(tree, "src/c/C.h", "#include \"d/D.h\"\n#include \"none/There.h\"\n");
    Write(tree, "src/d/D.h", "");
    Write(tree, "src/d/D.cpp", "#include \"a/A.h\"\n");
    Write(tree, "src/a/sub/S.cpp", "#include \"a/A.h\"\n");

    const std::string out = tree / "out";
    const std::string cmd = "python3 '" + std::string(FBW_SOURCE_DIR) +
                            "/tools/includegraph' --summary --root '" + tree.Path() +
                            "' --floors '" + (tree / "floors.txt") + "' >'" + out + "' 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << ReadBytes(out);
    EXPECT_EQ(ReadBytes(out), "folders: 5\n"
                              "edges: 5 (6 include lines)\n"
                              "upward edges: 1\n"
                              "  c -> d (1)\n"
                              "cycles: 1\n"
                              "  a b\n");
}

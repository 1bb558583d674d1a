// fbwtool scramble, linefile, lines and --help.
#include <gtest/gtest.h>

#include "support/TestSupport.h"

using fbwtest::RunTool;
using fbwtest::TempDir;

namespace {
// The lines of Out with the empty lines that the fill bytes give stripped.
std::string WithoutFill(std::string out) {
    while (out.size() >= 2 && out.substr(out.size() - 2) == "\n\n")
        out.pop_back();
    return out;
}
} // namespace

TEST(Fbwtool, HelpListsEverySubcommand) {
    auto r = RunTool({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* c : {"scramble", "linefile", "lines"})
        EXPECT_NE(r.out.find(std::string("fbwtool ") + c), std::string::npos) << c;
    EXPECT_EQ(RunTool({"frobnicate"}).status, 1);
}

TEST(Fbwtool, ScrambleFiltersAndLines) {
    TempDir dir;
    fbwtest::WriteBytes(dir / "plain.txt", "  hello  \n\n# note\n[x]\nbird.wav  chirp\n");
    ASSERT_EQ(RunTool({"scramble", dir / "plain.txt", dir / "none.dat"}).status, 0);
    ASSERT_EQ(RunTool({"scramble", "--filter", "all", dir / "plain.txt", dir / "all.dat"}).status,
              0);
    ASSERT_EQ(RunTool({"scramble", "--filter", "sounds", dir / "plain.txt", dir / "s.dat"}).status,
              0);
    EXPECT_EQ(WithoutFill(RunTool({"lines", dir / "none.dat"}).out),
              "hello\n# note\n[x]\nbird.wav  chirp\n");
    EXPECT_EQ(WithoutFill(RunTool({"lines", dir / "all.dat"}).out),
              "  hello  \n\n# note\n[x]\nbird.wav  chirp\n");
    EXPECT_EQ(WithoutFill(RunTool({"lines", dir / "s.dat"}).out), "hello\nbird.wav\n");

    ASSERT_EQ(RunTool({"linefile", dir / "plain.txt", dir / "l.dat"}).status, 0);
    EXPECT_EQ(fbwtest::ReadBytes(dir / "l.dat").substr(0, 6), "\x05hello");

    EXPECT_EQ(RunTool({"lines", dir / "missing.dat"}).out, "\n");
    auto bad = RunTool({"scramble", dir / "missing.txt", dir / "o.dat"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("missing.txt"), std::string::npos);
    EXPECT_EQ(RunTool({"scramble", "--filter", "odd", dir / "plain.txt", dir / "o"}).status, 1);
}

// fbwtool scramble, linefile, lines, and every subcommand's --help.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

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

TEST(Fbwtool, EveryHelpGoesToStandardOutputAndSucceeds) {
    const auto all = RunTool({"--help"});
    EXPECT_EQ(RunTool({"-h"}).out, all.out);
    EXPECT_EQ(RunTool({"help"}).out, all.out);
    // The subcommands, as the help lists them.
    std::vector<std::string> names;
    for (std::size_t at = all.out.find("\n  fbwtool "); at != std::string::npos;
         at = all.out.find("\n  fbwtool ", at + 1)) {
        const std::size_t from = at + 11;
        const std::string name = all.out.substr(from, all.out.find_first_of(" \n", from) - from);
        if (name[0] != '-' && name != "help" &&
            std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    ASSERT_GE(names.size(), 10u) << all.out;
    for (const std::string& name : names) {
        for (const std::vector<std::string>& asked :
             {std::vector<std::string>{name, "--help"}, {name, "-h"}, {"help", name}}) {
            const auto r = RunTool(asked);
            EXPECT_EQ(r.status, 0) << asked[0] << " " << asked[1];
            EXPECT_EQ(r.err, "") << asked[0] << " " << asked[1];
            EXPECT_NE(r.out.find("fbwtool " + name), std::string::npos) << r.out;
        }
    }
    // Help among a subcommand's arguments does nothing else.
    TempDir dir;
    const auto r = RunTool({"setup-user", "--folder", dir / "made", "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "made"));
    // A misuse is still an error.
    EXPECT_EQ(RunTool({"book"}).status, 1);
    EXPECT_EQ(RunTool({"help", "frobnicate"}).status, 1);
    EXPECT_EQ(RunTool({}).status, 1);
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

// fbwtool forms and fbwtool words dump / build.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>

#include "platform/Files.h"
#include "support/TestSupport.h"
#include "vocab/Noun.h"
#include "vocab/Vocab.h"

using fbwtest::ReadBytes;
using fbwtest::RunTool;
using fbwtest::TempDir;
using fbwtest::WriteBytes;

TEST(FbwtoolForms, EachClass) {
    EXPECT_EQ(RunTool({"forms", "verb", "cry"}).out,
              "past: cried\npresent: crys\ncontinuous: criing\nparticiple: cried\n");
    EXPECT_EQ(RunTool({"forms", "verb", "jump over"}).out,
              "past: jumped over\npresent: jumps over\ncontinuous: jumping over\n"
              "participle: jumped over\n");
    EXPECT_EQ(RunTool({"forms", "noun", "box"}).out, "plural: boxs\n");
    EXPECT_EQ(RunTool({"forms", "adjective", "magic"}).out,
              "bigger: more magic\nbiggest: most magic\nadverb: magicly\n");
    EXPECT_EQ(RunTool({"forms", "name", "Smith, John"}).out, "short: Smith\n");
    auto place = RunTool({"forms", "place", "Rome"});
    EXPECT_EQ(place.status, 0);
    EXPECT_EQ(place.out, "");
    EXPECT_EQ(RunTool({"forms", "pronoun", "it"}).status, 1);
    EXPECT_EQ(RunTool({"forms", "noun"}).status, 1);
    EXPECT_NE(RunTool({"--help"}).out.find("fbwtool words build"), std::string::npos);
}

TEST(FbwtoolWords, BuildDumpBuildGivesTheSameBytes) {
    TempDir dir;
    WriteBytes(dir / "src.txt",
               "# a comment\r\n"
               "\n"
               "noun\tmouse\tplural=mice\r\n"
               "noun\tbox\tplural=BOXS\n" // equal to the rule: not stored
               "name\tSmith, John\tmale\tshort=Johnny\n"
               "name\tAnn\n"
               "verb\tgo\tpast=went\tparticiple=gone\tpresent=goes\tcontinuous=going\n"
               "adjective\tgood\tbigger=better\tbiggest=best\tadverb=well\n"
               "adjective\tgreen\tnoadverb\n"
               "place\tLa Paz\n"
               "noun\tMOUSE\n"                  // displaces the mouse above
               "noun\ttab\\there\\\\and\\x\n"); // escapes
    auto built = RunTool({"words", "build", dir / "src.txt", dir / "a.dat"});
    ASSERT_EQ(built.status, 0) << built.err;

    auto dump = RunTool({"words", "dump", dir / "a.dat"});
    ASSERT_EQ(dump.status, 0) << dump.err;
    EXPECT_EQ(dump.out, "name\tAnn\tfemale\n"
                        "name\tSmith, John\tmale\tshort=Johnny\n"
                        "noun\tbox\n"
                        "noun\tMOUSE\n"
                        "noun\ttab\\there\\\\and\\\\x\n"
                        "verb\tgo\tpast=went\tpresent=goes\tparticiple=gone\n"
                        "adjective\tgood\tbigger=better\tbiggest=best\tadverb=well\n"
                        "adjective\tgreen\tnoadverb\n"
                        "place\tLa Paz\n");

    TVocab vocab(dir / "a.dat", false);
    ASSERT_EQ(vocab.WordList(wcNoun).Count(), 3);
    EXPECT_EQ(vocab.WordList(wcNoun).Word(2).Word(), "tab\there\\and\\x");

    WriteBytes(dir / "dump.txt", dump.out);
    ASSERT_EQ(RunTool({"words", "build", dir / "dump.txt", dir / "b.dat"}).status, 0);
    EXPECT_EQ(ReadBytes(dir / "b.dat"), ReadBytes(dir / "a.dat"));
}

TEST(FbwtoolWords, DefaultVocabularyRoundTrips) {
    const std::string source = fbwtest::SourceDir() + "/assets/words/default.txt";
    if (!plat::FileExists(source))
        GTEST_SKIP() << "no default vocabulary in this tree";
    TempDir dir;
    auto built = RunTool({"words", "build", source, dir / "a.dat"});
    ASSERT_EQ(built.status, 0) << built.err;
    auto dump = RunTool({"words", "dump", dir / "a.dat"});
    ASSERT_EQ(dump.status, 0);
    WriteBytes(dir / "dump.txt", dump.out);
    ASSERT_EQ(RunTool({"words", "build", dir / "dump.txt", dir / "b.dat"}).status, 0);
    EXPECT_EQ(ReadBytes(dir / "b.dat"), ReadBytes(dir / "a.dat"));
    TVocab vocab(dir / "a.dat", false);
    for (int c = 0; c < kWordClassCount; ++c)
        EXPECT_GT(vocab.WordList(c).Count(), 0) << c;
}

TEST(FbwtoolWords, BadSourceLinesNameTheLine) {
    TempDir dir;
    struct Case {
        const char* line;
        const char* says;
    };
    for (Case c : {Case{"nuon\tcat", "unknown word class"}, Case{"noun", "CLASS<TAB>WORD"},
                   Case{"noun\tcat\tplurals=cats", "unknown field"},
                   Case{"noun\tcat\tmale", "belongs to the class name"},
                   Case{"verb\tgo\tplural=goes", "belongs to the class noun"},
                   Case{"adjective\tred\tnoadverb=1", "unknown field"}}) {
        WriteBytes(dir / "src.txt", std::string("# words\nnoun\tcup\n\n") + c.line + "\n");
        auto r = RunTool({"words", "build", dir / "src.txt", dir / "out.dat"});
        EXPECT_EQ(r.status, 1) << c.line;
        EXPECT_NE(r.err.find("line 4: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_FALSE(plat::FileExists(dir / "out.dat")) << "nothing written";
    }
    EXPECT_EQ(RunTool({"words", "build", dir / "missing.txt", dir / "out.dat"}).status, 1);
    EXPECT_EQ(RunTool({"words", "frob"}).status, 1);
}

TEST(FbwtoolWords, DumpOfADamagedFile) {
    TempDir dir;
    WriteBytes(dir / "src.txt", "noun\tant\nnoun\tbee\nverb\tgo\n");
    ASSERT_EQ(RunTool({"words", "build", dir / "src.txt", dir / "a.dat"}).status, 0);
    std::string bytes = ReadBytes(dir / "a.dat");
    WriteBytes(dir / "cut.dat", bytes.substr(0, 2 + 2 + 5 + 2 + 3));
    auto r = RunTool({"words", "dump", dir / "cut.dat"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "noun\tant\n") << "what was read is printed";
    EXPECT_NE(r.err.find("Error reading vocabulary file"), std::string::npos);
    EXPECT_EQ(ReadBytes(dir / "cut.dat").size(), 14u) << "dump never writes";
    EXPECT_EQ(RunTool({"words", "dump", dir / "none.dat"}).status, 1);
}

TEST(FbwtoolWords, FailedOutputWriteExits1) {
    // Output to a full disk: a dump cut short must not pass for a whole one.
    TempDir dir;
    WriteBytes(dir / "src.txt", "noun\tcup\nplace\tLa Paz\n");
    ASSERT_EQ(RunTool({"words", "build", dir / "src.txt", dir / "a.dat"}).status, 0);
    WriteBytes(dir / "plain.txt", "one\ntwo\n");
    ASSERT_EQ(RunTool({"scramble", dir / "plain.txt", dir / "sb.dat"}).status, 0);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"words", "dump", dir / "a.dat"},
          std::vector<std::string>{"lines", dir / "sb.dat"}}) {
        ASSERT_EQ(RunTool(args).status, 0) << args[0];
        std::string cmd = "'" FBW_TOOL "'";
        for (const auto& a : args)
            cmd += " '" + a + "'";
        cmd += " >/dev/full 2>'" + (dir / "err") + "'";
        const int rc = std::system(cmd.c_str());
        EXPECT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 1) << args[0] << " " << rc;
        EXPECT_NE(ReadBytes(dir / "err").find("fbwtool: "), std::string::npos) << args[0];
    }
}

TEST(FbwtoolWords, AWordsFilePastTheFileSizeLimitFailsAndLeavesNothing) {
    // The tool and what it runs under a limit of 4 KB on the size of a file
    // (ulimit -f): the words file outgrows it.
    TempDir dir;
    std::string source;
    for (int i = 0; i < 1000; ++i)
        source += "noun\tword" + std::to_string(i) + "\n";
    WriteBytes(dir / "words.txt", source);
    std::filesystem::create_directory(dir / "out");
    rlimit was{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &was), 0);
    rlimit limited = was;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const auto r = RunTool({"words", "build", dir / "words.txt", dir / "out/words.dat"});
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &was), 0);
    EXPECT_EQ(r.status, 1) << "the tool ends itself, with its reason";
    EXPECT_EQ(r.err, "fbwtool: cannot write " + dir / "out/words.dat" + ": file too large\n");
    EXPECT_TRUE(std::filesystem::is_empty(dir / "out")) << "no temporary file is left";
}

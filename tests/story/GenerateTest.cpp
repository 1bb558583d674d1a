// The story generator: definition grammar, references, titles, the swap
// decision, hero names, templates on disk and the self-reference cut-off.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "StoryFixture.h"
#include "base/Random.h"
#include "platform/Files.h"
#include "story/CoverLine.h"
#include "story/TaleTable.h"

using storytest::kMark;
using storytest::StoryFolder;
using storytest::WordsFile;

namespace {

const std::set<std::string> kNouns = {"egg", "wolf", "box", "teddy bear"};
const std::set<std::string> kMaleNames = {"Bob", "Tim"};

// What a reference to Name gives after the story told last: its value, or
// the name itself when it has none.
std::string Def(TStoryGenerator& g, const std::string& name) {
    return g.ExpandLine("{" + name + "}");
}

class StoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        gen = folder.Make();
        gen->HeroName.clear();
        gen->HeroineName.clear();
    }
    // Expands the template lines as tale 1 with a fixed seed.
    const std::vector<std::string>& Tell(const std::vector<std::string>& lines, int twist,
                                         uint32_t seed = 1) {
        gen->SetTemplate(1, lines);
        gen->SetTwistLevel(twist);
        gen->FixSeed(seed);
        return gen->GenerateStory(1);
    }
    StoryFolder folder;
    std::unique_ptr<TStoryGenerator> gen;
};

TEST_F(StoryTest, BearAndHeroAtEveryTwist) {
    const std::vector<std::string> tale = {"$The Bear", ">bear=NOUN;hero=MHERO",
                                           "Once upon a time {hero} met a {bear}." + kMark + kMark};
    auto lines = Tell(tale, 0);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "The Bear" + kMark + kMark);
    EXPECT_EQ(lines[1], "Once upon a time hero met a bear." + kMark + kMark);

    gen->HeroName = " Tom ";
    gen->HeroineName = "Ann"; // typed, but the tale has no heroine
    for (int twist : {0, 50, 100}) {
        for (uint32_t seed = 1; seed <= 10; ++seed) {
            Tell(tale, twist, seed);
            EXPECT_EQ(Def(*gen, "hero"), "Tom") << twist;
            // The names the story told, which its keepsakes are by.
            EXPECT_EQ(gen->StoryHero(), "Tom");
            EXPECT_EQ(gen->StoryHeroine(), "");
        }
    }

    gen->HeroName.clear();
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        Tell(tale, 100, seed);
        EXPECT_EQ(gen->StoryHero(), "");
        EXPECT_TRUE(kNouns.count(Def(*gen, "bear"))) << Def(*gen, "bear");
        EXPECT_TRUE(kMaleNames.count(Def(*gen, "hero"))) << Def(*gen, "hero");
    }
}

TEST_F(StoryTest, SameAsLastFollowsTheWordAndTheDecision) {
    const std::map<std::string, std::string> plurals = {
        {"egg", "eggs"}, {"wolf", "wolves"}, {"box", "boxs"}, {"teddy bear", "teddy bears"}};
    const std::vector<std::string> tale = {"", ">bowl=NOUN;bowls=NOUNS&"};
    Tell(tale, 0);
    EXPECT_EQ(Def(*gen, "bowl"), "bowl");
    EXPECT_EQ(Def(*gen, "bowls"), "bowls");
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        Tell(tale, 100, seed);
        ASSERT_TRUE(plurals.count(Def(*gen, "bowl")));
        EXPECT_EQ(Def(*gen, "bowls"), plurals.at(Def(*gen, "bowl")));
    }
    int swapped = 0;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        Tell(tale, 50, seed);
        const bool first = Def(*gen, "bowl") != "bowl";
        EXPECT_EQ(first, Def(*gen, "bowls") != "bowls") << seed;
        swapped += first;
    }
    EXPECT_GT(swapped, 10);
    EXPECT_LT(swapped, 50);
}

TEST_F(StoryTest, SameAsLastCarriesAcrossLinesAndStories) {
    gen->SetTwistLevel(50);
    gen->FixSeed(7);
    gen->SetTemplate(1, {"", ">a=NOUN"});
    // The literal value draws a number of its own but leaves the decision.
    gen->SetTemplate(2, {"", ">pad=\"x\"", ">b=NOUN&"});
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        gen->FixSeed(seed);
        gen->GenerateStory(1);
        const bool aSwapped = Def(*gen, "a") != "a";
        gen->GenerateStory(2);
        EXPECT_EQ(Def(*gen, "b") != "b", aSwapped) << seed;
    }
}

TEST_F(StoryTest, EachGeneratorKeepsItsOwnTwistDecision) {
    Tell({"", ">a=NOUN"}, 100);
    ASSERT_NE(Def(*gen, "a"), "a") << "swapped";
    // Another generator starts from false, whatever this one decided.
    auto other = folder.Make();
    other->SetTemplate(1, {"", ">b=NOUN&"});
    other->FixSeed(1);
    other->GenerateStory(1);
    EXPECT_EQ(Def(*other, "b"), "b");
    // Its own swap reaches its next story's first & token.
    other->SetTemplate(2, {"", ">a=NOUN"});
    other->GenerateStory(2);
    ASSERT_NE(Def(*other, "a"), "a");
    other->GenerateStory(1);
    EXPECT_NE(Def(*other, "b"), "b");
}

TEST_F(StoryTest, ModifiersReachTheChoice) {
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        Tell({"", ">porridge=~NOUN+", ">x=NOUN;y=NOUN&+", ">n=ANOUN+"}, 100, seed);
        const std::string p = Def(*gen, "porridge");
        EXPECT_TRUE(p == "Egg" || p == "Wolf" || p == "Box") << p;
        std::string x = Def(*gen, "x");
        x[0] = static_cast<char>(x[0] - 'a' + 'A');
        if (x == "Teddy bear")
            x = "Teddy Bear";
        EXPECT_EQ(Def(*gen, "y"), x);
        const std::string n = Def(*gen, "n");
        EXPECT_TRUE(n == "An Egg" || n == "A Wolf" || n == "A Box" || n == "A Teddy Bear") << n;
    }
}

TEST_F(StoryTest, AllowRepeatLetsAWordComeTwice) {
    StoryFolder two(WordsFile().Noun("egg").Noun("wolf"));
    auto g = two.Make();
    g->SetTwistLevel(100);
    int sameWithout = 0, sameWith = 0;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        g->FixSeed(seed);
        g->SetTemplate(1, {"", ">a=NOUN;b=NOUN", ">c=NOUN;d=NOUN!"});
        g->GenerateStory(1);
        sameWithout += Def(*g, "a") == Def(*g, "b");
        // c and d come after a and b have used both nouns, so c clears the
        // marks; d without the repeat flag would always differ from c.
        sameWith += Def(*g, "c") == Def(*g, "d");
        EXPECT_EQ(Def(*g, "d").find('!'), std::string::npos);
    }
    EXPECT_EQ(sameWithout, 0);
    EXPECT_GT(sameWith, 0);
}

TEST_F(StoryTest, NameSuffixesShareThePlainWord) {
    Tell({"", ">bear:1=NOUN;bear:2=NOUN", "{bear:1} and {bear:2}"}, 0);
    EXPECT_EQ(Def(*gen, "bear:1"), "bear");
    EXPECT_EQ(Def(*gen, "bear:2"), "bear");
    EXPECT_EQ(gen->StoryLines().back(), "bear and bear");
}

TEST_F(StoryTest, LiteralValues) {
    for (int twist : {0, 50, 100}) {
        Tell({"", ">food=\"hot porridge\"", ">soup=\"  thick \"  ", ">raw=\"a \"b\"\" ;x=NOUN",
              ">long=\"" + std::string(300, 'q')},
             twist);
        EXPECT_EQ(Def(*gen, "food"), "hot porridge");
        EXPECT_EQ(Def(*gen, "soup"), "  thick ");
        EXPECT_EQ(Def(*gen, "raw"), "a \"b\"\" ;x=@N");
        EXPECT_EQ(Def(*gen, "x"), "x") << "not defined";
        EXPECT_EQ(Def(*gen, "long"), std::string(255, 'q'));
    }
}

TEST_F(StoryTest, DefinitionsOnOneLine) {
    const std::vector<std::string> tale = {"", ">a=NOUN;   b=VERB;c=ADJ d;e=NOUN",
                                           ">f=NOUN; then {f} went", ">g=NOUN x"};
    Tell(tale, 0);
    EXPECT_EQ(Def(*gen, "a"), "a");
    EXPECT_EQ(Def(*gen, "b"), "b");
    EXPECT_EQ(Def(*gen, "c"), "c");
    // Text without "=" after a ";" is a text line.
    ASSERT_EQ(gen->StoryLines().size(), 2u);
    EXPECT_EQ(gen->StoryLines()[1], "then f went");
    EXPECT_EQ(Def(*gen, "g"), "g");
    // Text after a value's last token ends the line's definitions: at full
    // twist every name defined is a word of the vocabulary.
    Tell(tale, 100);
    EXPECT_EQ(Def(*gen, "e"), "e");
    EXPECT_TRUE(kNouns.count(Def(*gen, "a"))) << Def(*gen, "a");
    EXPECT_TRUE(kNouns.count(Def(*gen, "g"))) << Def(*gen, "g");
}

TEST_F(StoryTest, ValuesOfSeveralTokens) {
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        Tell({"", ">pair=ADJ and NOUNS&+ go;next=@A@A!! out"}, 100, seed);
        const std::string pair = Def(*gen, "pair");
        const auto sep = pair.find(" and ");
        ASSERT_NE(sep, std::string::npos) << pair;
        const std::string adj = pair.substr(0, sep);
        EXPECT_TRUE(adj == "big" || adj == "happy") << adj;
        const std::string nouns = pair.substr(sep + 5);
        EXPECT_TRUE(nouns == "Eggs" || nouns == "Wolves" || nouns == "Boxs" ||
                    nouns == "Teddy Bears")
            << nouns;
        EXPECT_EQ(Def(*gen, "next"), "next") << "not defined";
    }
    // Not swapped: the plain word, and the value's other tokens passed over.
    Tell({"", ">pair=ADJ and NOUNS&+;next=VERB"}, 0);
    EXPECT_EQ(Def(*gen, "pair"), "pair");
    EXPECT_EQ(Def(*gen, "next"), "next");
    // Text between tokens is taken only up to the next ";".
    Tell({"", ">a=NOUN;b=VERB x @V"}, 100);
    EXPECT_TRUE(kNouns.count(Def(*gen, "a")));
    const std::string b = Def(*gen, "b");
    EXPECT_TRUE(b == "jump x jump" || b == "jump x bake" || b == "bake x jump" ||
                b == "bake x bake")
        << b;
}

TEST_F(StoryTest, CodeLetters) {
    Tell({"", ">z=##;w=LIQUID;q=@Q;n=@n;a=@A;e=", ">s=@", ">t=\"x\""}, 100);
    EXPECT_EQ(Def(*gen, "z"), "0");
    EXPECT_EQ(Def(*gen, "w"), "water");
    EXPECT_EQ(Def(*gen, "q"), "[???]");
    EXPECT_TRUE(kNouns.count(Def(*gen, "n")));
    EXPECT_EQ(Def(*gen, "e"), "[???]");
    EXPECT_EQ(Def(*gen, "s"), "[???]");
    Tell({"", ">q=@Q;e=", ">s=@"}, 0);
    EXPECT_EQ(Def(*gen, "q"), "q");
    EXPECT_EQ(Def(*gen, "e"), "e");
    EXPECT_EQ(Def(*gen, "s"), "s");
}

TEST_F(StoryTest, EmptyClassGivesAnEmptyWord) {
    Tell({"", ">p=PLACE", "at {p}."}, 100);
    EXPECT_EQ(gen->StoryLines().back(), "at .");
}

TEST(TokenWords, ReplacedInTableOrderAnywhere) {
    auto r = [](std::string s) {
        TStoryGenerator::ReplaceTokenWords(s);
        return s;
    };
    EXPECT_EQ(r("a NOUNS and ANOUN and NOUN"), "a @2 and @1 and @N");
    EXPECT_EQ(r("ADVERB AADJ ADJ"), "@D @3 @A");
    EXPECT_EQ(r("MHERO FHERO MHER FHER MCELEB FCELEB CELEB MCEL FCEL CEL"),
              "@H @I @J @K @M @F @C @4 @5 @6");
    EXPECT_EQ(r("VERB PRESENT PAST ING ER EST PLACE PART LIQUID ##"),
              "@V @W @X @Y @R @Z @P @T @L @#");
    // Case-sensitive, also inside longer upper-case words.
    EXPECT_EQ(r("noun RUNNING HERO"), "noun RUNN@Y H@RO");
    // A replacement can make a new occurrence, which is replaced too.
    EXPECT_EQ(r("NOUNOUN"), "@@N");
    EXPECT_EQ(r("###"), "@@#");
}

TEST_F(StoryTest, References) {
    Tell({"", ">bowl=NOUN", "The {bowl} was empty.", "{nobody} came.", "a } {bowl}", "{ {bowl}",
          "{bo{bowl}", ">r=\"{bowl}s\"", "{r}!", "ADJ"},
         0);
    const auto& s = gen->StoryLines();
    ASSERT_EQ(s.size(), 8u);
    EXPECT_EQ(s[1], "The bowl was empty.");
    EXPECT_EQ(s[2], "nobody came.");
    EXPECT_EQ(s[3], "a } {bowl}");
    EXPECT_EQ(s[4], " {bowl");
    EXPECT_EQ(s[5], "bo{bowl");
    EXPECT_EQ(s[6], "bowls!");
    EXPECT_EQ(s[7], "@A");
}

TEST_F(StoryTest, ReferenceValueIsCutAt255) {
    Tell({"", ">w=##" + std::string(300, 'x') + "##", "[{w}]"}, 100);
    // A reference takes 255 characters of the value (which is kept whole:
    // DefinitionTableTest).
    EXPECT_EQ(gen->StoryLines().back(), "[0" + std::string(254, 'x') + "]");
}

TEST_F(StoryTest, ReferenceNameWithEquals) {
    Tell({"", ">x=\"a=b\"", "{x=a}|{x=c}|{x}"}, 0);
    EXPECT_EQ(gen->StoryLines().back(), "a=b|x=c|a=b");
}

TEST_F(StoryTest, RedefinitionMovesToTheEnd) {
    // (The order of making: DefinitionTableTest.)
    Tell({"", ">a=NOUN;b=NOUN", ">a=\"again\"", "{a}"}, 0);
    EXPECT_EQ(Def(*gen, "a"), "again");
    EXPECT_EQ(Def(*gen, "b"), "b");
    EXPECT_EQ(gen->StoryLines().back(), "again");
}

TEST_F(StoryTest, EachStoryStartsWithoutDefinitions) {
    Tell({"", ">kept=\"yes\"", "{kept}"}, 0);
    Tell({"", "{kept}"}, 0);
    EXPECT_EQ(gen->StoryLines().back(), "kept");
    // Many names met outside stories do not disturb the next story.
    for (int i = 0; i < 5000; ++i)
        gen->ExpandLine(">n" + std::to_string(i) + "=\"v\"");
    EXPECT_EQ(Def(*gen, "n0"), "v");
    EXPECT_EQ(Def(*gen, "n4999"), "v");
    Tell({"", "{n1}", ">n1=\"one\"", "{n1}"}, 0);
    EXPECT_EQ(gen->StoryLines(), (std::vector<std::string>{kMark + kMark, "n1", "one"}));
    EXPECT_EQ(Def(*gen, "n2"), "n2");
}

TEST_F(StoryTest, RetoldTemplatesFollowTheirOwnDefinitions) {
    const std::set<std::string> verbs = {"jump", "bake"};
    gen->SetTemplate(1, {"", ">a=NOUN", "{a}", ">a=VERB;b=\"{a}\"", "{a} {b}"});
    gen->SetTwistLevel(100);
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        if (seed == 6) // every entry dropped between two tellings
            for (int i = 0; i < 5000; ++i)
                gen->ExpandLine(">n" + std::to_string(i) + "=\"v\"");
        gen->FixSeed(seed);
        const auto& s = gen->GenerateStory(1);
        ASSERT_EQ(s.size(), 3u);
        EXPECT_TRUE(kNouns.count(s[1])) << s[1];
        const std::string verb = s[2].substr(0, s[2].find(' '));
        EXPECT_TRUE(verbs.count(verb)) << s[2];
        EXPECT_EQ(s[2], verb + " " + verb);
        EXPECT_EQ(Def(*gen, "a"), verb);
        EXPECT_EQ(Def(*gen, "b"), verb) << "b's value {a} is searched again";
    }
}

TEST_F(StoryTest, SelfReferenceIsCutOff) {
    // Without growth: the line would stay "{x}" for ever.
    Tell({"", ">x=\"{x}\"", "[{x}]"}, 0);
    EXPECT_EQ(gen->StoryLines().back(), "[{x}]");
    // Mutual, with growth.
    Tell({"", ">a=\"<{b}>\"", ">b=\"({a}{a})\"", "{a}"}, 0);
    const std::string grown = gen->StoryLines().back();
    EXPECT_GT(grown.size(), 1000u);
    EXPECT_LE(grown.size(), TStoryExpander::kMaxExpandedLine + 255);
    // The lines after it expand as usual.
    Tell({"", ">x=\"{x}{x}\"", "{x}", ">y=\"ok\"", "{y}"}, 0);
    EXPECT_EQ(gen->StoryLines().back(), "ok");
}

TEST_F(StoryTest, TitleLine) {
    Tell({"$%Goldilocks" + kMark + kMark, ">who=FHERO", "[TITLE]  The tale of {who} \t ", "Text."},
         0);
    EXPECT_EQ(gen->GetTitle(1), "The tale of who");
    const auto& s = gen->StoryLines();
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0], "The tale of who" + kMark + kMark);
    EXPECT_EQ(s[1], "Text.");
    // The next story starts without a title.
    Tell({"$%Goldilocks" + kMark + kMark, "Text."}, 0);
    EXPECT_EQ(gen->StoryLines()[0], "Goldilocks" + kMark + kMark);
    // "[TITLE]" must begin the line, exactly.
    Tell({"x", " [TITLE] no", "[title] no"}, 0);
    EXPECT_EQ(gen->StoryLines().size(), 3u);
}

TEST_F(StoryTest, CoverLineAndTitle) {
    gen->SetTemplate(1, {"$%The Bears" + kMark + kMark});
    gen->SetTemplate(2, {"%$Odd" + kMark + "x"});
    gen->SetTemplate(3, {});
    EXPECT_EQ(gen->GetCoverLine(1), "$%The Bears");
    EXPECT_EQ(gen->GetTitle(1), "The Bears");
    EXPECT_EQ(gen->GetCoverLine(2), "%$Odd" + kMark + "x");
    EXPECT_EQ(gen->GetTitle(2), "$Odd" + kMark + "x");
    EXPECT_EQ(gen->GetCoverLine(3), "");
    EXPECT_EQ(gen->GetCoverLine(0), "");
    EXPECT_EQ(gen->GetCoverLine(11), "");
    // The cover line's token words are not replaced and it is no story text.
    Tell({"NOUN cover", "text"}, 100);
    EXPECT_EQ(gen->StoryLines(), (std::vector<std::string>{"NOUN cover" + kMark + kMark, "text"}));
}

TEST_F(StoryTest, EmptyTemplateTellsOnlyTheHeading) {
    Tell({}, 100);
    EXPECT_EQ(gen->StoryLines(), std::vector<std::string>{kMark + kMark});
}

TEST_F(StoryTest, OutOfRangeTaleIsRandom) {
    for (int n = 1; n <= 10; ++n)
        gen->SetTemplate(n, {"Tale " + std::to_string(n)});
    std::set<std::string> seen;
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        gen->FixSeed(seed);
        const int tale = seed % 2 ? 0 : 11;
        seen.insert(gen->GenerateStory(tale)[0]);
    }
    EXPECT_EQ(seen.size(), 10u);
    gen->FixSeed(3);
    EXPECT_EQ(gen->GenerateStory(-5).size(), 1u);
}

TEST_F(StoryTest, HeroNameWithComma) {
    gen->HeroName = "Bob, the Brave";
    gen->HeroineName = "Ann Lee";
    const std::vector<std::string> tale = {"", ">h=MHERO;s=MHER;f=FHERO;k=FHER"};
    Tell(tale, 100);
    EXPECT_EQ(Def(*gen, "h"), "Bob, the Brave");
    EXPECT_EQ(Def(*gen, "s"), "Bob");
    EXPECT_EQ(Def(*gen, "f"), "Ann Lee");
    EXPECT_EQ(Def(*gen, "k"), "Ann");
    Tell(tale, 0);
    EXPECT_EQ(Def(*gen, "h"), "Bob, the Brave");
    EXPECT_EQ(Def(*gen, "s"), "Bob,");
    EXPECT_EQ(Def(*gen, "k"), "Ann");
}

TEST_F(StoryTest, NamesAreUsedWithoutTheBlanksAroundThem) {
    const std::vector<std::string> tale = {"$%MHERO and FHERO", ">h=MHERO;s=MHER;f=FHERO;k=FHER",
                                           "[TITLE] {h} and the Three Bears"};
    gen->HeroName = "  Bob, the Brave ";
    gen->HeroineName = "Zo\xEB     ";
    for (int twist : {0, 100}) {
        SCOPED_TRACE(twist);
        const auto& lines = Tell(tale, twist);
        EXPECT_EQ(lines[0], "Bob, the Brave and the Three Bears" + kMark + kMark);
        EXPECT_EQ(Def(*gen, "h"), "Bob, the Brave");
        EXPECT_EQ(Def(*gen, "s"), twist ? "Bob" : "Bob,");
        EXPECT_EQ(Def(*gen, "f"), "Zo\xEB");
        EXPECT_EQ(Def(*gen, "k"), "Zo\xEB");
    }
    EXPECT_EQ(gen->HeroineName, "Zo\xEB     ") << "kept as typed";
    // Only blanks: a name from the vocabulary.
    gen->HeroName = "   ";
    Tell(tale, 100);
    EXPECT_TRUE(kMaleNames.count(Def(*gen, "h"))) << Def(*gen, "h");
}

TEST_F(StoryTest, SwapDecisionByTwist) {
    std::vector<std::string> tale = {""};
    std::string text;
    for (int i = 0; i < 200; ++i) {
        tale.push_back(">d" + std::to_string(i) + "=NOUN!");
        text += "{d" + std::to_string(i) + "} ";
    }
    tale.push_back(text);
    auto count = [&](int twist, uint32_t seed) {
        Tell(tale, twist, seed);
        int swapped = 0;
        for (int i = 0; i < 200; ++i)
            swapped += Def(*gen, "d" + std::to_string(i)) != "d" + std::to_string(i);
        return swapped;
    };
    EXPECT_EQ(count(0, 5), 0);
    EXPECT_EQ(count(100, 5), 200);
    const int half = count(50, 5);
    EXPECT_GT(half, 70);
    EXPECT_LT(half, 130);
    // A fixed seed tells the same story again; another seed another one.
    const auto first = Tell(tale, 50, 5);
    EXPECT_EQ(Tell(tale, 50, 5), first);
    EXPECT_NE(Tell(tale, 50, 6), first);
    // Twist levels are clamped.
    gen->SetTwistLevel(-20);
    EXPECT_EQ(gen->TwistPercent(), 0);
    gen->SetTwistLevel(250);
    EXPECT_EQ(gen->TwistPercent(), 100);
}

TEST_F(StoryTest, ExpandLineOnItsOwn) {
    gen->SetTwistLevel(0);
    EXPECT_EQ(gen->ExpandLine(">cat=NOUN"), "");
    EXPECT_EQ(gen->ExpandLine("A {cat} and NOUN."), "A cat and @N.");
    EXPECT_EQ(gen->ExpandLine("[TITLE] Cats"), "");
    EXPECT_EQ(gen->GetTitle(1), "Cats");
    EXPECT_EQ(gen->ExpandLine(""), "");
    EXPECT_EQ(gen->ExpandLine(">"), "");
    EXPECT_EQ(gen->ExpandLine("> no definitions"), " no definitions");
}

// Templates and names on disk.

TEST(StoryFiles, TemplatesAreRebuiltFromNewerPlainFiles) {
    StoryFolder f;
    f.WriteTemplate(3, {"Old", "old text"});
    {
        auto g = f.Make();
        EXPECT_EQ(g->Template(3)[0], "Old");
    }
    const std::string plain = f.dataFolder + "ml3.dat", scrambled = f.dataFolder + "sb3.dat";
    ASSERT_TRUE(plat::FileExists(scrambled));
    int64_t t = 0;
    ASSERT_TRUE(plat::FileModTime(scrambled, t));

    // A plain file that is not newer is not read.
    f.WriteTemplate(3, {"Ignored", "x"});
    ASSERT_TRUE(plat::SetFileModTime(plain, t - 1000000000));
    EXPECT_EQ(f.Make()->Template(3)[0], "Old");
    // A newer one replaces the scrambled file, every line carried over.
    f.WriteTemplate(3, {"  New ", "", "\tline"});
    ASSERT_TRUE(plat::SetFileModTime(plain, t + 1000000000));
    auto g = f.Make();
    const auto& lines = g->Template(3);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "  New ");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], " line");
    // Only the scrambled file of a tale is enough; a tale with neither is empty.
    std::filesystem::remove(plain);
    EXPECT_EQ(f.Make()->GetCoverLine(3), "  New ");
    EXPECT_EQ(g->GetCoverLine(4), "");
    g->FixSeed(1);
    EXPECT_EQ(g->GenerateStory(4), std::vector<std::string>{kMark + kMark});
}

TEST(StoryFiles, FailedRebuildEndsTheCreation) {
    StoryFolder f;
    f.WriteTemplate(2, {"x"});
    // The scrambled file's place is taken by a folder that cannot be replaced.
    std::filesystem::create_directory(f.dataFolder + "sb2.dat");
    std::filesystem::create_directory(f.dataFolder + "sb2.dat/inner");
    int64_t t = 0;
    ASSERT_TRUE(plat::FileModTime(f.dataFolder + "ml2.dat", t));
    ASSERT_TRUE(plat::SetFileModTime(f.dataFolder + "ml2.dat", t + 100000000000));
    EXPECT_ANY_THROW(f.Make());
}

TEST(StoryFiles, NamesLiveInTheSettingsFile) {
    StoryFolder f;
    fbwtest::WriteBytes(f.settingsFile, "[Game]\nSound=1\n[Story]\nHero=Jack\nHeroine=Jill\n");
    {
        auto g = f.Make(true);
        EXPECT_EQ(g->HeroName, "Jack");
        EXPECT_EQ(g->HeroineName, "Jill");
        g->HeroName = "Tom";
        g->HeroineName = "";
    }
    {
        auto g = f.Make(false);
        EXPECT_EQ(g->HeroName, "Tom");
        EXPECT_EQ(g->HeroineName, "");
        g->HeroName = "Not saved";
    }
    const std::string ini = fbwtest::ReadBytes(f.settingsFile);
    EXPECT_NE(ini.find("Sound=1"), std::string::npos);
    EXPECT_NE(ini.find("Hero=Tom"), std::string::npos);
    EXPECT_EQ(ini.find("Not saved"), std::string::npos);
}

TEST(StoryFiles, WordsFileIsWrittenOnlyWhenAsked) {
    StoryFolder f;
    std::filesystem::remove(f.wordsFile);
    f.Make(false);
    EXPECT_FALSE(plat::FileExists(f.wordsFile));
    f.Make(true);
    EXPECT_TRUE(plat::FileExists(f.wordsFile));
}

} // namespace

TEST(CoverLine, MarksAreReadInTheirOrderOnly) {
    const TCoverLine both = TCoverLine::Parse("$%The Bears");
    EXPECT_TRUE(both.hasHero && both.hasHeroine);
    EXPECT_EQ(both.text, "The Bears");
    // A heroine's mark first: the hero's mark after it is cover text.
    const TCoverLine odd = TCoverLine::Parse("%$Odd");
    EXPECT_FALSE(odd.hasHero);
    EXPECT_TRUE(odd.hasHeroine);
    EXPECT_EQ(odd.text, "$Odd");
    const TCoverLine none = TCoverLine::Parse("");
    EXPECT_FALSE(none.hasHero || none.hasHeroine);
    EXPECT_EQ(TCoverLine::Parse("$").text, "");
}

TEST(TaleTable, ShortNamesNameThePictureAndTheSavedStory) {
    EXPECT_EQ(TTaleTable::ShortName(1), "Cinders");
    EXPECT_EQ(TTaleTable::ShortName(5), "RR-Hood");
    EXPECT_EQ(TTaleTable::SavedStoryFileName(2), "Goldilox.txt");
    EXPECT_EQ(TStoryGenerator::kTaleCount, TTaleTable::kCount);
    for (int bad : {0, 11, -1}) {
        EXPECT_FALSE(TTaleTable::IsTale(bad));
        EXPECT_THROW(TTaleTable::SavedStoryFileName(bad), std::runtime_error);
    }
}

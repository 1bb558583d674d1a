// The automatic forms of the word classes, the shared text rules and the
// store-only-when-different setters.
#include <gtest/gtest.h>

#include "vocab/Adjective.h"
#include "vocab/Noun.h"
#include "vocab/ProperNoun.h"
#include "vocab/Verb.h"
#include "vocab/WordStrings.h"

namespace {

struct FormRow {
    const char* cls;
    const char* base;
    std::vector<std::string> forms; // in the order the class lists them
};

// Every row must hold exactly, the odd ones included: the player corrects
// forms such as "criing" and "boxs" in the word-list editor.
const FormRow kRows[] = {
    {"verb", "jump", {"jumped", "jumps", "jumping", "jumped"}},
    {"verb", "stop", {"stopped", "stops", "stopping", "stopped"}},
    {"verb", "cry", {"cried", "crys", "criing", "cried"}},
    {"verb", "bake", {"baked", "bakes", "bakeing", "baked"}},
    {"verb", "play", {"played", "plays", "playing", "played"}},
    {"verb", "jump over", {"jumped over", "jumps over", "jumping over", "jumped over"}},
    {"verb", "open", {"opened", "opens", "opening", "opened"}},
    {"verb", "fix", {"fixxed", "fixs", "fixxing", "fixxed"}},
    {"verb", "ski", {"sked", "skis", "sking", "sked"}},
    {"verb", "sew", {"sewed", "sews", "sewing", "sewed"}},
    {"verb", "go", {"goed", "gos", "going", "goed"}},
    {"noun", "glass", {"glasses"}},
    {"noun", "fish", {"fishes"}},
    {"noun", "wolf", {"wolves"}},
    {"noun", "scarf", {"scarves"}},
    {"noun", "box", {"boxs"}},
    {"adjective", "big", {"bigger", "biggest", "biggly"}},
    {"adjective", "happy", {"happier", "happiest", "happily"}},
    {"adjective", "nice", {"nicer", "nicest", "nicely"}},
    {"adjective", "magic", {"more magic", "most magic", "magicly"}},
    {"adjective", "boring", {"more boring", "most boring", "boringly"}},
    {"adjective", "full", {"fuller", "fullest", "fully"}},
    {"adjective", "careful", {"carefuler", "carefulest", "carefuly"}},
    {"name", "Little Red Riding Hood", {"Little"}},
    {"name", "Smith, John", {"Smith"}},
};

std::vector<std::string> FormsOf(const std::string& cls, const std::string& base) {
    if (cls == "verb") {
        TVerb v;
        v.SetWord(base);
        return {v.GetPastTense(), v.GetPresentTense(), v.GetContinuous(), v.GetParticiple()};
    }
    if (cls == "noun") {
        TNoun n;
        n.SetWord(base);
        return {n.GetPlural()};
    }
    if (cls == "adjective") {
        TAdjective a;
        a.SetWord(base);
        return {a.GetBigger(), a.GetBiggest(), a.GetAdverb()};
    }
    TProperNoun p;
    p.SetWord(base);
    return {p.GetShortForm()};
}

} // namespace

TEST(WordForms, TableOfForms) {
    for (const auto& row : kRows)
        EXPECT_EQ(FormsOf(row.cls, row.base), row.forms) << row.cls << " " << row.base;
}

TEST(WordForms, FormsFollowTheBaseForm) {
    TNoun n;
    n.SetWord("wolf");
    n.SetPlural("wolfies");
    n.SetWord("fish");
    EXPECT_EQ(n.AutoPlural(), "fishes");
    EXPECT_EQ(n.GetPlural(), "wolfies") << "a stored form stays until it is set again";
}

TEST(WordForms, SetterStoresOnlyWhenDifferent) {
    TVerb v;
    v.SetWord("jump");
    v.SetPastTense("JUMPED");
    EXPECT_EQ(v.PastTense(), "") << "equal to the rule ignoring case: nothing stored";
    EXPECT_EQ(v.GetPastTense(), "jumped");
    v.SetPastTense("leapt");
    EXPECT_EQ(v.PastTense(), "leapt");
    EXPECT_EQ(v.GetPastTense(), "leapt");
    v.SetPastTense("");
    EXPECT_EQ(v.GetPastTense(), "jumped") << "an empty text restores the rule";

    // The participle's rule is the past tense rule, not the stored past tense.
    v.SetPastTense("leapt");
    v.SetParticiple("Jumped");
    EXPECT_EQ(v.Participle(), "");
    EXPECT_EQ(v.GetParticiple(), "jumped");

    TProperNoun p;
    p.SetWord("Smith, John");
    p.SetShortForm("SMITH");
    EXPECT_EQ(p.ShortForm(), "");
    p.SetShortForm("Smith,");
    EXPECT_EQ(p.ShortForm(), "Smith,") << "kept exactly as typed";

    TAdjective a;
    a.SetWord("good");
    a.SetBigger("better");
    a.SetBiggest("best");
    a.SetAdverb("well");
    EXPECT_EQ(a.GetBigger(), "better");
    EXPECT_EQ(a.GetBiggest(), "best");
    EXPECT_EQ(a.GetAdverb(), "well");
    EXPECT_EQ(a.AutoBigger(), "gooder");
}

TEST(WordText, FirstWordAndRest) {
    EXPECT_EQ(RestAfterFirstWord("jump over it"), " over it");
    EXPECT_EQ(RestAfterFirstWord("jump"), "");
    EXPECT_EQ(FirstWord(" lead"), "");
    EXPECT_EQ(RestAfterFirstWord(" lead"), " lead");
}

TEST(WordText, EndsWithIgnoresCaseAndShortText) {
    EXPECT_TRUE(EndsWith("FISH", "sh"));
    EXPECT_TRUE(EndsWith("sh", "SH"));
    EXPECT_FALSE(EndsWith("s", "sh")) << "a shorter text is compared whole";
    EXPECT_FALSE(EndsWith("", "s"));
    EXPECT_TRUE(EndsWith("anything", ""));
}

TEST(WordText, VowelsAndStems) {
    for (char ch : std::string("AEIOUYaeiouy"))
        EXPECT_TRUE(IsVowel(ch)) << ch;
    for (char ch : std::string("bBzZ -'\xE9"))
        EXPECT_FALSE(IsVowel(ch)) << ch;

    EXPECT_EQ(Stem("ab"), "ab");
    EXPECT_EQ(Stem("SPY"), "SPi") << "y after a consonant becomes i";
    EXPECT_EQ(Stem("STOP"), "STOPP") << "the doubled letter keeps its case";
    EXPECT_EQ(Stem("tic"), "tic") << "no doubled c";
    EXPECT_EQ(Stem("sow"), "sow") << "no doubled w";
    EXPECT_EQ(Stem("beat"), "beat") << "c3 is a vowel";
    EXPECT_EQ(Stem("visit"), "visit") << "two vowel groups";
    EXPECT_EQ(Stem("mi-x"), "mi-x") << "a hyphen is a consonant: c2 is no vowel";
    EXPECT_EQ(Stem("taxi"), "tax") << "a final vowel other than e or y goes";
    EXPECT_EQ(Stem("obey"), "obey") << "y after a vowel stays";
}

TEST(WordText, CaseInsensitiveOrder) {
    EXPECT_LT(CompareTextIgnoringCase("apple", "Banana"), 0);
    EXPECT_GT(CompareTextIgnoringCase("apple", "APP"), 0);
    EXPECT_EQ(CompareTextIgnoringCase("Bob", "bOB"), 0);
    EXPECT_LT(CompareTextIgnoringCase("_x", "ax"), 0) << "letters fold to lower case";
    EXPECT_LT(CompareTextIgnoringCase("zebra", "\xC9"
                                               "clair"),
              0)
        << "bytes compare unsigned";
    EXPECT_TRUE(SameTextIgnoringCase("JUMPED", "jumped"));
    EXPECT_FALSE(SameTextIgnoringCase("jump", "jumped"));
    EXPECT_FALSE(SameTextIgnoringCase("\xE9", "\xC9")) << "only ASCII letters fold";
}

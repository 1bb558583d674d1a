// Where the vocabulary's words stand in a story, and swapping a definition's
// words again: the story text is told exactly as before, the spans cover
// exactly the vocabulary's characters, and a swap changes nothing else.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "StoryFixture.h"
#include "base/Random.h"
#include "vocab/PartOfSpeech.h"
#include "vocab/Vocab.h"
#include "vocab/WordFlags.h"

using storytest::kMark;
using storytest::StoryFolder;
using storytest::WordsFile;

namespace {

std::string SpanText(const TStoryGenerator& g, const TWordSpan& s) {
    return g.StoryLines()[s.line].substr(s.start, s.length);
}

// The story's lines with every span's characters replaced by "#".
std::vector<std::string> Skeleton(const TStoryGenerator& g) {
    std::vector<std::string> lines = g.StoryLines();
    const auto& spans = g.StorySpans();
    for (auto s = spans.rbegin(); s != spans.rend(); ++s)
        lines[s->line].replace(s->start, s->length, "#");
    return lines;
}

// The spans lie in their lines, in order, without overlapping.
void ExpectOrderedSpans(const TStoryGenerator& g) {
    const auto& spans = g.StorySpans();
    for (std::size_t i = 0; i < spans.size(); ++i) {
        ASSERT_LT(spans[i].line, g.StoryLines().size());
        ASSERT_GT(spans[i].length, 0u);
        ASSERT_LE(spans[i].start + spans[i].length, g.StoryLines()[spans[i].line].size());
        ASSERT_LT(spans[i].choice, g.StoryChoices().size());
        if (i > 0 && spans[i].line == spans[i - 1].line)
            ASSERT_GE(spans[i].start, spans[i - 1].start + spans[i - 1].length);
        if (i > 0)
            ASSERT_GE(spans[i].line, spans[i - 1].line);
    }
}

// A random template: definition lines of tokens, modifiers, literals and
// values holding references, text lines of references (nested, undefined,
// with "=", stray braces), title lines.
std::vector<std::string> RandomTemplate(std::mt19937& rng) {
    const std::vector<std::string> names = {"bear", "bowl", "bowls", "hero", "food", "x:1", "x:2"};
    const std::vector<std::string> tokens = {
        "NOUN",  "NOUNS", "ANOUN", "ADJ",  "AADJ",   "ER", "EST",   "VERB",   "PAST", "ING",
        "MHERO", "FHER",  "CELEB", "MCEL", "LIQUID", "##", "PLACE", "ADVERB", "@Q"};
    const auto pick = [&](const std::vector<std::string>& v) { return v[rng() % v.size()]; };
    const auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
    const auto reference = [&] {
        switch (rng() % 6) {
        case 0:
            return std::string("{nobody}");
        case 1:
            return "{{" + pick(names) + "}}";
        case 2:
            return std::string("}{") + pick(names) + "}";
        default:
            return "{" + pick(names) + "}";
        }
    };
    std::vector<std::string> lines = {chance(50) ? "$%Cover Line" + kMark : "The Tale"};
    const int count = 2 + static_cast<int>(rng() % 12);
    for (int i = 0; i < count; ++i) {
        std::string line;
        if (chance(45)) {
            line = ">";
            const int defs = 1 + static_cast<int>(rng() % 3);
            for (int d = 0; d < defs; ++d) {
                if (d > 0)
                    line += chance(80) ? "; " : " tail ";
                line += pick(names) + "=";
                if (chance(15)) {
                    line += "\"hot " + reference() + " porridge\"";
                    break;
                }
                if (chance(20))
                    line += "~";
                const int toks = 1 + static_cast<int>(rng() % 3);
                for (int t = 0; t < toks; ++t) {
                    if (t > 0)
                        line += chance(30) ? " and {" + pick(names) + "} " : " ";
                    line += pick(tokens);
                    if (t == 0 && chance(15))
                        line += "!";
                    if (chance(30))
                        line += "&";
                    if (chance(25))
                        line += "+";
                }
            }
        } else if (chance(10)) {
            line = "[TITLE] $The " + reference() + " tale ";
        } else {
            const int parts = 1 + static_cast<int>(rng() % 4);
            for (int p = 0; p < parts; ++p)
                line += "Once " + reference() + " went " + (chance(20) ? "ADJ " : "");
            if (chance(40))
                line += kMark + kMark;
        }
        lines.push_back(line);
    }
    return lines;
}

class StorySpans : public ::testing::Test {
protected:
    void SetUp() override { Remake(storytest::StandardWords()); }
    void Remake(const WordsFile& words) {
        gen.reset();
        folder = std::make_unique<StoryFolder>(words);
        gen = folder->Make();
        gen->HeroName.clear();
        gen->HeroineName.clear();
    }
    const std::vector<std::string>& Tell(const std::vector<std::string>& lines, int twist,
                                         uint32_t seed = 1) {
        gen->SetTemplate(1, lines);
        gen->SetTwistLevel(twist);
        gen->FixSeed(seed);
        return gen->GenerateStory(1);
    }
    // The index of the first choice whose span reads Text; -1 when none.
    int ChoiceOf(const std::string& text) const {
        for (const TWordSpan& s : gen->StorySpans())
            if (SpanText(*gen, s) == text)
                return static_cast<int>(s.choice);
        return -1;
    }
    std::unique_ptr<StoryFolder> folder;
    std::unique_ptr<TStoryGenerator> gen;
};

TEST_F(StorySpans, RandomTemplatesTellTheSameTextWithAndWithoutSpans) {
    // Beside the standard words, words that hold braces: their characters may
    // become references when a value is searched again.
    WordsFile words = storytest::StandardWords();
    words.Noun("{bear}").Noun("pa}n").Adjective("{x:1");
    Remake(words);
    gen->SetTemplate(2, {""});
    std::mt19937 rng(2024);
    for (int round = 0; round < 400; ++round) {
        const std::vector<std::string> tale = RandomTemplate(rng);
        const int twist = std::array{0, 50, 100}[round % 3];
        const uint32_t seed = static_cast<uint32_t>(rng());
        gen->HeroName = round % 4 == 0 ? "Bob, the Brave" : "";
        // The reference: the same lines expanded one by one, which follows no
        // spans, from the same state.
        gen->SetTwistLevel(twist);
        gen->FixSeed(seed);
        gen->GenerateStory(2); // clears the definitions
        storytest::ForgetTwistDecision(*gen);
        std::array<int32_t, kWordClassCount> lastChosen{};
        for (int c = 0; c < kWordClassCount; ++c)
            lastChosen[static_cast<std::size_t>(c)] = gen->Vocab().LastChosen(c);
        SetRandSeed(seed);
        gen->Vocab().ClearAllUsed();
        gen->SetTemplate(1, tale);
        std::vector<std::string> expected = {""};
        for (std::size_t i = 1; i < tale.size(); ++i)
            if (std::string s = gen->ExpandLine(tale[i]); !s.empty())
                expected.push_back(s);
        expected[0] = gen->GetTitle(1) + kMark + kMark;

        storytest::ForgetTwistDecision(*gen);
        for (int c = 0; c < kWordClassCount; ++c)
            gen->Vocab().SetLastChosen(c, lastChosen[static_cast<std::size_t>(c)]);
        const std::vector<std::string> told = gen->GenerateStory(1);
        ASSERT_EQ(told, expected) << "round " << round;
        ExpectOrderedSpans(*gen);
        // A span holds characters of its own choice's word.
        for (const TWordSpan& s : gen->StorySpans()) {
            const TWordChoice& c = gen->StoryChoices()[s.choice];
            const std::string word = gen->Vocab().WordAt(c.wordClass, c.position, c.flags);
            EXPECT_NE(word.find(SpanText(*gen, s)), std::string::npos) << "round " << round;
        }
        // Told again with its own words, the story is the same.
        const auto spans = gen->StorySpans();
        std::vector<int32_t> same;
        for (const TWordChoice& c : gen->StoryChoices())
            same.push_back(c.position);
        ASSERT_TRUE(gen->Retell(same));
        EXPECT_EQ(gen->StoryLines(), expected) << "round " << round;
        EXPECT_EQ(gen->StorySpans(), spans) << "round " << round;
    }
}

TEST_F(StorySpans, SpansCoverTheChosenWordsAndNothingElse) {
    gen->HeroName = "Tom";
    const std::vector<std::string> tale = {
        "$[TITLE] line below",
        ">bear=NOUN+;hero=MHERO;girl=FHERO;thing=AADJ NOUN;food=\"hot porridge\"",
        "[TITLE] The {bear} and {hero}" + kMark,
        "{hero} met {girl} and a {bear}, ate {food} and saw {thing}.",
        "Not a {bear:2}; all {water=x}."};
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        Tell(tale, 100, seed);
        ExpectOrderedSpans(*gen);
        std::multiset<std::string> seen;
        for (const TWordSpan& s : gen->StorySpans()) {
            const TWordChoice& c = gen->StoryChoices()[s.choice];
            // The vocabulary's own form of the word, with article and capitals.
            const TPartOfSpeech& w = gen->Vocab().WordList(c.wordClass).Word(c.position);
            std::string form = TVocab::FormOf(w, c.flags);
            std::string text = SpanText(*gen, s);
            if (c.flags & wfArticle) {
                ASSERT_TRUE(text.rfind("a ", 0) == 0 || text.rfind("an ", 0) == 0) << text;
                text.erase(0, text.find(' ') + 1);
            }
            const auto lower = [](std::string t) {
                std::transform(t.begin(), t.end(), t.begin(), ::tolower);
                return t;
            };
            EXPECT_EQ(lower(text), lower(form));
            seen.insert(c.plain);
        }
        // The title's bear, the text's bear, girl, the two words of thing;
        // the typed hero and the literal food are no vocabulary words.
        EXPECT_EQ(seen.count("bear"), 2u);
        EXPECT_EQ(seen.count("girl"), 1u);
        EXPECT_EQ(seen.count("thing"), 2u);
        EXPECT_EQ(seen.count("hero"), 0u);
        EXPECT_EQ(seen.count("food"), 0u);
        EXPECT_EQ(gen->StorySpans().front().line, 0u); // in the title

        // Other words in every choice leave every character outside the
        // spans as it was.
        const auto before = Skeleton(*gen);
        std::vector<int32_t> other;
        for (const TWordChoice& c : gen->StoryChoices())
            other.push_back((c.position + 1) % gen->Vocab().WordList(c.wordClass).Count());
        for (std::size_t i = 0; i < other.size(); ++i)
            if (gen->StoryChoices()[i].source >= 0)
                other[i] = other[static_cast<std::size_t>(gen->StoryChoices()[i].source)];
        ASSERT_TRUE(gen->Retell(other));
        EXPECT_EQ(Skeleton(*gen), before);
    }
    Tell(tale, 0);
    EXPECT_TRUE(gen->StorySpans().empty());
    EXPECT_TRUE(gen->StoryChoices().empty());
}

TEST_F(StorySpans, SwapAgainChangesOnlyTheDefinitionsPlaces) {
    const std::vector<std::string> tale = {
        "", ">bear=NOUN;cat=NOUN;walk=VERB;bowls=NOUNS&;Bowl=NOUN&+",
        "The {bear} and the {cat} {walk}; {bowls}, {Bowl}. {bear}!"};
    Tell(tale, 100, 7);
    const std::string before = gen->StoryLines()[1];
    const std::vector<TWordChoice> was = gen->StoryChoices();
    ASSERT_EQ(was.size(), 5u);
    // cat's choice carries bowls and Bowl along (the same word as last).
    const auto& c = was;
    EXPECT_EQ(c[3].source, 1);
    EXPECT_EQ(c[4].source, 1);
    const std::string cat = gen->Vocab().WordList(1).Word(c[1].position).Word();
    ASSERT_TRUE(gen->SwapAgain(4)); // a click on Bowl swaps cat's word
    const auto& now = gen->StoryChoices();
    EXPECT_EQ(now[0].position, c[0].position);
    EXPECT_EQ(now[2].position, c[2].position);
    EXPECT_NE(now[1].position, c[1].position);
    EXPECT_EQ(now[3].position, now[1].position);
    EXPECT_EQ(now[4].position, now[1].position);
    // The new noun is not one the story used (egg, wolf, box, teddy bear:
    // bear and cat used two, so one of the other two).
    EXPECT_NE(now[1].position, c[0].position);
    // Each place in its own form: the plural, the capitals.
    const TPartOfSpeech& w = gen->Vocab().WordList(1).Word(now[1].position);
    std::string expected = before;
    const auto replace = [&](const std::string& from, const std::string& to) {
        const std::size_t at = expected.find(from);
        ASSERT_NE(at, std::string::npos) << from << " in " << expected;
        expected.replace(at, from.size(), to);
    };
    replace("the " + cat + " ", "the " + w.Word() + " ");
    std::string capital = w.Word();
    capital[0] = static_cast<char>(toupper(capital[0]));
    for (std::size_t i = 1; i < capital.size(); ++i)
        if (capital[i - 1] == ' ')
            capital[i] = static_cast<char>(toupper(capital[i]));
    replace("; " + TVocab::FormOf(gen->Vocab().WordList(1).Word(c[1].position), wfPlural) + ",",
            "; " + TVocab::FormOf(w, wfPlural) + ",");
    std::string oldCapital = cat;
    oldCapital[0] = static_cast<char>(toupper(oldCapital[0]));
    for (std::size_t i = 1; i < oldCapital.size(); ++i)
        if (oldCapital[i - 1] == ' ')
            oldCapital[i] = static_cast<char>(toupper(oldCapital[i]));
    replace(", " + oldCapital + ".", ", " + capital + ".");
    EXPECT_EQ(gen->StoryLines()[1], expected);
}

TEST_F(StorySpans, SwapAgainChangesEveryTokenOfTheDefinitionAndKeepsItsLinks) {
    const std::vector<std::string> tale = {"", ">thing=AADJ NOUN;pair=NOUN and NOUNS&",
                                           "I saw {thing} and {pair}; {thing}."};
    Tell(tale, 100, 3);
    const std::vector<TWordChoice> was = gen->StoryChoices();
    ASSERT_EQ(was.size(), 4u);
    EXPECT_EQ(was[3].source, 2); // NOUNS& takes the word of pair's NOUN
    ASSERT_TRUE(gen->SwapAgain(0));
    const std::vector<TWordChoice> now = gen->StoryChoices();
    EXPECT_NE(now[0].position, was[0].position); // big <-> happy
    EXPECT_NE(now[1].position, was[1].position);
    EXPECT_EQ(now[2].position, was[2].position);
    // Both places of thing read the same new words.
    const std::string thing = gen->Vocab().WordAt(3, now[0].position, now[0].flags) + " " +
                              gen->Vocab().WordAt(1, now[1].position, now[1].flags);
    const std::string& line = gen->StoryLines()[1];
    EXPECT_EQ(line.find("I saw " + thing + " and "), 0u) << line;
    EXPECT_NE(line.find("; " + thing + "."), std::string::npos) << line;

    ASSERT_TRUE(gen->SwapAgain(3)); // a click on the plural swaps pair's noun
    const auto& then = gen->StoryChoices();
    EXPECT_NE(then[2].position, now[2].position);
    EXPECT_EQ(then[3].position, then[2].position);
    EXPECT_EQ(then[1].position, now[1].position);
    const std::string noun = gen->Vocab().WordList(1).Word(then[2].position).Word();
    EXPECT_NE(gen->StoryLines()[1].find(
                  noun + " and " +
                  TVocab::FormOf(gen->Vocab().WordList(1).Word(then[2].position), wfPlural)),
              std::string::npos);
}

TEST_F(StorySpans, SwapAgainWithOneWordInTheClassKeepsIt) {
    WordsFile words;
    words.Noun("egg").Verb("jump").Verb("bake");
    Remake(words);
    Tell({"", ">bear=NOUN;run=VERB", "A {bear} will {run}."}, 100);
    const std::string before = gen->StoryLines()[1];
    ASSERT_TRUE(gen->SwapAgain(0));
    EXPECT_EQ(gen->StoryLines()[1], before);
    ASSERT_TRUE(gen->SwapAgain(1));
    EXPECT_NE(gen->StoryLines()[1], before); // jump <-> bake
    EXPECT_FALSE(gen->SwapAgain(2));         // no such choice
}

TEST_F(StorySpans, ManySwapsEqualTheStoryToldWithThoseWords) {
    const std::vector<std::string> tale = {
        "", ">bear=NOUN;cat=ANOUN+;walk=PAST;big=ER;who=MCELEB;bowls=NOUNS&", "[TITLE] The {bear}",
        "The {bear} and {cat} {walk}, {big} than {who}." + kMark, "{who} had {bowls} of {bear}."};
    Tell(tale, 100, 11);
    std::mt19937 rng(5);
    for (int i = 0; i < 25; ++i) {
        // Each swap replaces the span texts of the changed choices in place.
        const std::vector<std::string> lines = gen->StoryLines();
        const std::vector<TWordSpan> spans = gen->StorySpans();
        const std::size_t choice = spans[rng() % spans.size()].choice;
        ASSERT_TRUE(gen->SwapAgain(choice));
        std::vector<std::string> expected = lines;
        ASSERT_EQ(gen->StorySpans().size(), spans.size());
        for (std::size_t k = spans.size(); k-- > 0;) {
            const TWordChoice& c = gen->StoryChoices()[spans[k].choice];
            expected[spans[k].line].replace(spans[k].start, spans[k].length,
                                            gen->Vocab().WordAt(c.wordClass, c.position, c.flags));
        }
        ASSERT_EQ(gen->StoryLines(), expected) << "swap " << i;
    }
    // A generator told the same story with the words the swaps left.
    std::vector<int32_t> positions;
    for (const TWordChoice& c : gen->StoryChoices())
        positions.push_back(c.position);
    const std::vector<std::string> swapped = gen->StoryLines();
    auto other = folder->Make();
    other->HeroName.clear();
    other->SetTemplate(1, tale);
    other->SetTwistLevel(100);
    other->FixSeed(11);
    other->GenerateStory(1);
    ASSERT_TRUE(other->Retell(positions));
    EXPECT_EQ(other->StoryLines(), swapped);
    // A hero name typed after the story was told does not reach it.
    gen->HeroName = "Tom";
    ASSERT_TRUE(gen->SwapAgain(0));
    for (const std::string& line : gen->StoryLines())
        EXPECT_EQ(line.find("Tom"), std::string::npos);
}

} // namespace

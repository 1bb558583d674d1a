// The vocabulary's random choice: candidates, fresh words, the one draw per
// choice, forms, articles and capitals.
#include <gtest/gtest.h>

#include <set>

#include "base/Random.h"
#include "platform/MemoryStream.h"
#include "vocab/Adjective.h"
#include "vocab/Noun.h"
#include "vocab/ProperNoun.h"
#include "vocab/Verb.h"
#include "vocab/Vocab.h"

namespace {
struct Vocab {
    TVocab vocab{"", false};

    TPartOfSpeech& Add(int cls, const std::string& text) {
        std::shared_ptr<TPartOfSpeech> w = TPartOfSpeech::Create(cls);
        w->SetWord(text);
        TPartOfSpeech& ref = *w;
        vocab.AddWord(std::move(w));
        return ref;
    }
    TProperNoun& Name(const std::string& text, bool male) {
        auto& n = static_cast<TProperNoun&>(Add(wcProperNoun, text));
        n.Male = male;
        return n;
    }
};

// The seed after N draws from Seed.
uint32_t SeedAfter(uint32_t seed, int draws) {
    SetRandSeed(seed);
    for (int i = 0; i < draws; ++i)
        Random(2);
    return RandSeed();
}
} // namespace

TEST(ChooseWord, SexFilter) {
    Vocab v;
    v.Name("Anna", false);
    v.Name("Bob", true);
    std::set<std::string> any;
    SetRandSeed(7);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(v.vocab.ChooseWord(wcProperNoun, wfMale | wfAllowRepeat), "Bob");
        EXPECT_EQ(v.vocab.ChooseWord(wcProperNoun, wfFemale | wfAllowRepeat), "Anna");
        any.insert(v.vocab.ChooseWord(wcProperNoun, wfAllowRepeat));
        any.insert(v.vocab.ChooseWord(wcProperNoun, wfMale | wfFemale | wfAllowRepeat));
    }
    EXPECT_EQ(any, (std::set<std::string>{"Anna", "Bob"}));
}

TEST(ChooseWord, SingleWordLooksAtTheForm) {
    Vocab v;
    v.Name("Little Red Riding Hood", false);
    v.Name("Snow White", false).SetShortForm("Snow White");
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(v.vocab.ChooseWord(wcProperNoun, wfSingleWord), "");
        EXPECT_EQ(v.vocab.ChooseWord(wcProperNoun, wfSingleWord | wfShortForm), "Little");
    }
}

TEST(ChooseWord, CandidatesFollowFormsChangedAfterAdding) {
    // Forms read from a file, set by the editor after the word was listed, or
    // changed with the base form all decide the next choice.
    Vocab v;
    plat::MemoryStream file(std::string("\x01\x00\x02\x00"
                                        "Al\x01\x06\x00"
                                        "Big Al",
                                        15) +
                            std::string(8, '\0'));
    ASSERT_TRUE(v.vocab.ReadWords(file));
    EXPECT_EQ(v.vocab.ChooseWord(wcProperNoun, wfShortForm | wfSingleWord), "");
    EXPECT_EQ(v.vocab.ChooseWord(wcProperNoun, wfShortForm), "Big Al");
    auto& al = static_cast<TProperNoun&>(v.vocab.WordList(wcProperNoun).Word(0));
    al.SetShortForm("");
    EXPECT_EQ(v.vocab.ChooseWord(wcProperNoun, wfShortForm | wfSingleWord), "Al");

    auto& verb = static_cast<TVerb&>(v.Add(wcVerb, "run"));
    EXPECT_EQ(v.vocab.ChooseWord(wcVerb, wfContinuous | wfSingleWord), "running");
    verb.SetWord("run away");
    EXPECT_EQ(v.vocab.ChooseWord(wcVerb, wfContinuous | wfSingleWord), "");
    verb.SetContinuous("fleeing");
    EXPECT_EQ(v.vocab.ChooseWord(wcVerb, wfContinuous | wfSingleWord), "fleeing");
    EXPECT_EQ(v.vocab.ChooseWord(wcVerb, wfPast | wfSingleWord), "");
    verb.SetWord("");
    EXPECT_EQ(v.vocab.ChooseWord(wcVerb, 0), "") << "an empty base form is no candidate";
    EXPECT_EQ(v.vocab.ChooseWord(wcVerb, wfPast), "ed");
}

TEST(ChooseWord, AdverbOnlyFromAdjectivesThatAllowIt) {
    Vocab v;
    static_cast<TAdjective&>(v.Add(wcAdjective, "green")).AdverbAllowed = false;
    v.Add(wcAdjective, "quick");
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(v.vocab.ChooseWord(wcAdjective, wfAdverb), "quickly");
    static_cast<TAdjective&>(v.vocab.WordList(wcAdjective).Word(1)).AdverbAllowed = false;
    EXPECT_EQ(v.vocab.ChooseWord(wcAdjective, wfAdverb), "") << "no candidate left";
    EXPECT_EQ(TVocab::FormOf(v.vocab.WordList(wcAdjective).Word(0), wfAdverb), "");
}

TEST(ChooseWord, NoRepeatUntilTheClassIsUsedUp) {
    Vocab v;
    for (const char* n : {"cup", "hat", "owl"})
        v.Add(wcNoun, n);
    for (uint32_t seed : {1u, 2u, 3u, 99u, 12345u}) {
        SetRandSeed(seed);
        v.vocab.ClearAllUsed();
        std::set<std::string> first;
        for (int i = 0; i < 3; ++i)
            first.insert(v.vocab.ChooseWord(wcNoun, 0));
        EXPECT_EQ(first.size(), 3u) << seed;
        // The fourth clears the marks of the class; only the chosen one is used.
        std::string fourth = v.vocab.ChooseWord(wcNoun, 0);
        EXPECT_TRUE(first.count(fourth));
        int used = 0;
        for (const auto& e : v.vocab.WordList(wcNoun))
            used += e.Word->Used;
        EXPECT_EQ(used, 1);
    }
}

TEST(ChooseWord, UsedUpCandidatesClearTheWholeClass) {
    Vocab v;
    auto& solo = v.Name("Al", true);
    auto& other = v.Name("Bea", false);
    other.Used = true;
    solo.Used = true;
    EXPECT_EQ(v.vocab.ChooseWord(wcProperNoun, wfMale), "Al");
    EXPECT_FALSE(other.Used) << "every word of the class is cleared, not only the candidates";
    EXPECT_TRUE(solo.Used);
    EXPECT_TRUE(solo.Candidate);
    EXPECT_FALSE(other.Candidate);
}

TEST(ChooseWord, OneDrawPicksTheRthFreshCandidate) {
    Vocab v;
    const char* names[] = {"ant", "bee", "cat", "dog", "eel", "fox", "gnu"};
    for (const char* n : names)
        v.Add(wcNoun, n);
    // Used words and non-candidates are skipped when counting to r.
    v.vocab.WordList(wcNoun).Word(1).Used = true; // bee
    v.vocab.WordList(wcNoun).Word(4).Used = true; // eel
    const std::vector<int> fresh = {0, 2, 3, 5, 6};
    for (uint32_t seed = 0; seed < 50; ++seed) {
        SetRandSeed(seed);
        int r = Random(static_cast<int>(fresh.size()));
        SetRandSeed(seed);
        std::string got = v.vocab.ChooseWord(wcNoun, 0);
        EXPECT_EQ(got, names[fresh[static_cast<std::size_t>(r)]]) << seed;
        EXPECT_EQ(v.vocab.LastChosen(wcNoun), fresh[static_cast<std::size_t>(r)]);
        EXPECT_EQ(RandSeed(), SeedAfter(seed, 1)) << "exactly one draw";
        v.vocab.WordList(wcNoun).Word(fresh[static_cast<std::size_t>(r)]).Used = false;
    }
    // With wfAllowRepeat the used ones count as fresh too.
    for (uint32_t seed = 0; seed < 20; ++seed) {
        v.vocab.WordList(wcNoun).Word(1).Used = true;
        SetRandSeed(seed);
        int r = Random(7);
        SetRandSeed(seed);
        EXPECT_EQ(v.vocab.ChooseWord(wcNoun, wfAllowRepeat), names[r]);
    }
}

TEST(ChooseWord, SameAsLastGivesTheWordAgainInItsOwnForm) {
    Vocab v;
    for (const char* n : {"cup", "goose", "hat", "owl"})
        v.Add(wcNoun, n);
    static_cast<TNoun&>(v.vocab.WordList(wcNoun).Word(1)).SetPlural("geese");
    EXPECT_EQ(v.vocab.LastChosen(wcNoun), 0);
    for (uint32_t seed = 0; seed < 10; ++seed) {
        SetRandSeed(seed);
        std::string first = v.vocab.ChooseWord(wcNoun, wfAllowRepeat);
        uint32_t afterFirst = RandSeed();
        std::string again = v.vocab.ChooseWord(wcNoun, wfSameAsLast | wfPlural);
        EXPECT_EQ(again, first == "goose" ? "geese" : first + "s");
        EXPECT_EQ(RandSeed(), afterFirst) << "no draw";
    }
    // LastChosen carries over; a shorter list makes it a fresh choice.
    int last = v.vocab.LastChosen(wcNoun);
    v.vocab.ClearAllUsed();
    EXPECT_EQ(v.vocab.LastChosen(wcNoun), last);
    v.vocab.ReplaceWordList(wcNoun, {v.vocab.WordList(wcNoun).Entries()[0]});
    SetRandSeed(5);
    EXPECT_EQ(v.vocab.ChooseWord(wcNoun, wfSameAsLast), "cup");
    EXPECT_EQ(RandSeed(), last >= 1 ? SeedAfter(5, 1) : 5u);
}

TEST(ChooseWord, SameAsLastMarksUsedEvenForAnEmptyForm) {
    Vocab v;
    auto& a = static_cast<TAdjective&>(v.Add(wcAdjective, "blue"));
    a.AdverbAllowed = false;
    EXPECT_EQ(v.vocab.ChooseWord(wcAdjective, wfSameAsLast | wfAdverb | wfArticle), "");
    EXPECT_TRUE(a.Used);
}

TEST(ChooseWord, ArticleAndCapitals) {
    struct Case {
        const char* word;
        uint16_t flags;
        const char* result;
    };
    const Case cases[] = {
        {"egg", wfArticle, "an egg"},
        {"unicorn", wfArticle, "an unicorn"},
        {"yak", wfArticle, "a yak"},
        {"Owl", wfArticle, "an Owl"},
        {"egg", wfArticle | wfCapitalize, "An Egg"},
        {"big bad wolf", wfCapitalize, "Big Bad Wolf"},
        {"o'neil  mc-gee", wfCapitalize, "O'neil  Mc-gee"},
        {"3rd place", wfCapitalize, "3Rd Place"},
        {"'ello", wfCapitalize | wfArticle, "A 'Ello"},
    };
    for (const auto& c : cases) {
        Vocab v;
        v.Add(wcNoun, c.word);
        EXPECT_EQ(v.vocab.ChooseWord(wcNoun, c.flags), c.result) << c.word;
    }
}

TEST(ChooseWord, EmptyClassAndNoCandidateDrawNothing) {
    Vocab v;
    SetRandSeed(42);
    for (uint16_t flags : {0, int(wfArticle | wfCapitalize), int(wfSameAsLast), int(wfMale)})
        EXPECT_EQ(v.vocab.ChooseWord(wcVerb, flags), "");
    v.Name("Ann", false);
    EXPECT_EQ(v.vocab.ChooseWord(wcProperNoun, wfMale), "");
    EXPECT_EQ(RandSeed(), 42u);
    EXPECT_FALSE(v.vocab.WordList(wcProperNoun).Word(0).Used);
}

TEST(ChooseWord, FormsByFlagPrecedence) {
    Vocab v;
    auto& verb = static_cast<TVerb&>(v.Add(wcVerb, "sing"));
    verb.SetPastTense("sang");
    EXPECT_EQ(TVocab::FormOf(verb, wfPast | wfPresent), "sang");
    EXPECT_EQ(TVocab::FormOf(verb, wfPresent | wfContinuous), "sings");
    EXPECT_EQ(TVocab::FormOf(verb, wfContinuous | wfParticiple), "singing");
    EXPECT_EQ(TVocab::FormOf(verb, wfParticiple), "singed");
    EXPECT_EQ(TVocab::FormOf(verb, wfPlural | wfBigger), "sing") << "flags of other classes";
    auto& adj = static_cast<TAdjective&>(v.Add(wcAdjective, "tall"));
    EXPECT_EQ(TVocab::FormOf(adj, wfBigger | wfBiggest | wfAdverb), "taller");
    EXPECT_EQ(TVocab::FormOf(adj, wfBiggest | wfAdverb), "tallest");
    auto& name = v.Name("Smith, Jo", true);
    EXPECT_EQ(TVocab::FormOf(name, wfShortForm | wfPlural), "Smith");
    EXPECT_EQ(TVocab::FormOf(v.Add(wcPlace, "Mars"), 0xFFFF & ~wfSameAsLast), "Mars");
    EXPECT_EQ(v.vocab.ChooseWord(wcVerb, wfContinuous | wfCapitalize), "Singing");
}

TEST(ChooseWord, WordAtAndFitsAgreeWithTheChoice) {
    Vocab v;
    v.Name("Anna", false);
    v.Name("Bob", true).SetShortForm("Bobby");
    v.Name("Little Red Riding Hood", false);
    auto& adj = static_cast<TAdjective&>(v.Add(wcAdjective, "odd"));
    adj.AdverbAllowed = false;
    v.Add(wcAdjective, "eager");
    v.Add(wcNoun, "egg");
    v.Add(wcNoun, "teddy bear");
    const std::pair<int, uint16_t> asks[] = {{wcProperNoun, wfMale},
                                             {wcProperNoun, wfFemale | wfSingleWord},
                                             {wcProperNoun, wfShortForm | wfCapitalize},
                                             {wcAdjective, wfAdverb | wfArticle},
                                             {wcAdjective, wfArticle | wfCapitalize},
                                             {wcNoun, wfPlural | wfSingleWord},
                                             {wcNoun, wfArticle}};
    SetRandSeed(3);
    for (int round = 0; round < 20; ++round)
        for (const auto& [cls, flags] : asks) {
            const std::string word = v.vocab.ChooseWord(cls, flags | wfAllowRepeat);
            const int32_t at = v.vocab.LastChosen(cls);
            EXPECT_EQ(v.vocab.WordAt(cls, at, flags), word);
            EXPECT_TRUE(v.vocab.Fits(cls, at, flags)) << word;
        }
    // The words a choice never takes do not fit.
    EXPECT_FALSE(v.vocab.Fits(wcProperNoun, 0, wfMale));                  // Anna
    EXPECT_FALSE(v.vocab.Fits(wcProperNoun, 2, wfFemale | wfSingleWord)); // Little Red...
    EXPECT_FALSE(v.vocab.Fits(wcAdjective, 1, wfAdverb));                 // odd
    EXPECT_FALSE(v.vocab.Fits(wcNoun, 1, wfSingleWord));                  // teddy bear
    EXPECT_FALSE(v.vocab.Fits(wcNoun, 2, 0));
    EXPECT_FALSE(v.vocab.Fits(9, 0, 0));
    EXPECT_EQ(v.vocab.WordAt(wcNoun, -1, 0), "");
    EXPECT_EQ(v.vocab.WordAt(wcNoun, 2, 0), "");
    EXPECT_EQ(v.vocab.WordAt(wcNoun, 1, wfArticle | wfCapitalize | wfPlural),
              "A " + v.vocab.WordAt(wcNoun, 1, wfCapitalize | wfPlural));
}

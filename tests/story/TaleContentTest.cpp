// The content check: the ten tales and the default vocabulary that the build
// lays out in the program folder, told at every twist level, must give clean
// stories, and every choice a tale asks of the vocabulary must find a word.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "StoryFixture.h"
#include "platform/Files.h"
#include "story/CoverLine.h"
#include "story/Generate.h"
#include "story/TaleTable.h"
#include "story/TokenTable.h"
#include "support/TestSupport.h"
#include "vocab/PartOfSpeech.h"
#include "vocab/ProperNoun.h"
#include "vocab/Vocab.h"
#include "vocab/WordFlags.h"

namespace {

constexpr int kTwists[] = {0, 50, 100};
// Enough stories per tale and twist that most words of a class get their turn.
constexpr uint32_t kStoriesPerTwist = 40;
const std::string kMark = "\\n"; // the paragraph marker as stories write it

// The program folder of the build, ending with the separator.
std::string ProgramFolder() {
    std::string dir = fbwtest::YarnsDir();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}
std::string DataFolder() {
    return ProgramFolder() + "dat/";
}
std::string WordsFile() {
    return ProgramFolder() + "words.dat";
}

// A generator over the program folder that never writes the words file and
// has no settings file (so no typed names).
std::unique_ptr<TStoryGenerator> MakeGenerator() {
    TStoryGenerator::Files files;
    files.dataFolder = DataFolder();
    files.wordsFile = WordsFile();
    files.saveWords = false;
    files.saveSettings = false;
    return std::make_unique<TStoryGenerator>(files);
}

std::string Tell(TStoryGenerator& gen, int tale, int twist, uint32_t seed) {
    gen.SetTwistLevel(twist);
    gen.FixSeed(seed);
    std::string text;
    for (const std::string& line : gen.GenerateStory(tale))
        text += line + "\r\n";
    return text;
}

int CountWords(const std::string& text) {
    std::string spaced = text;
    for (std::size_t at = 0; (at = spaced.find(kMark, at)) != std::string::npos;)
        spaced.replace(at, kMark.size(), " ");
    std::istringstream in(spaced);
    int count = 0;
    for (std::string word; in >> word;)
        ++count;
    return count;
}

// The first "a" before a word that starts with a, e, i or o, or "an" before
// one that starts with a consonant other than h, as "a word"; empty when the
// articles agree. (Words starting with u can take either.)
std::string MismatchedArticle(const std::string& line) {
    auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    auto lower = [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); };
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (i > 0 && isLetter(line[i - 1]))
            continue;
        std::size_t next;
        bool an;
        if (line.compare(i, 2, "a ") == 0 || line.compare(i, 2, "A ") == 0) {
            next = i + 2;
            an = false;
        } else if (line.compare(i, 3, "an ") == 0 || line.compare(i, 3, "An ") == 0) {
            next = i + 3;
            an = true;
        } else {
            continue;
        }
        if (next >= line.size() || !isLetter(line[next]))
            continue;
        const char c = lower(line[next]);
        const bool vowel = c == 'a' || c == 'e' || c == 'i' || c == 'o';
        const bool either = c == 'u' || c == 'h';
        if (!either && vowel != an) {
            std::size_t end = next;
            while (end < line.size() && isLetter(line[end]))
                ++end;
            return line.substr(i, end - i);
        }
    }
    return "";
}

class TaleContent : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(plat::FileExists(WordsFile()))
            << WordsFile() << " is missing: build the fbw_assets target";
        for (int tale = 1; tale <= TStoryGenerator::kTaleCount; ++tale) {
            ASSERT_TRUE(plat::FileExists(DataFolder() + "sb" + std::to_string(tale) + ".dat"))
                << "tale " << tale << " is missing from " << DataFolder();
        }
    }
    void SetUp() override { gen_ = MakeGenerator(); }

    std::unique_ptr<TStoryGenerator> gen_;
};

TEST_F(TaleContent, StoriesAreCleanAtEveryTwist) {
    for (int tale = 1; tale <= TStoryGenerator::kTaleCount; ++tale) {
        for (int twist : kTwists) {
            for (uint32_t seed = 1; seed <= kStoriesPerTwist; ++seed) {
                SCOPED_TRACE("tale " + std::to_string(tale) + ", twist " + std::to_string(twist) +
                             ", seed " + std::to_string(seed));
                gen_->SetTwistLevel(twist);
                gen_->FixSeed(seed);
                const std::vector<std::string>& lines = gen_->GenerateStory(tale);
                ASSERT_GE(lines.size(), 2u);

                const std::string& heading = lines[0];
                ASSERT_GT(heading.size(), 2 * kMark.size());
                EXPECT_EQ(heading.substr(heading.size() - 2 * kMark.size()), kMark + kMark);
                EXPECT_NE(heading[0], ' ') << heading;
                EXPECT_NE(heading[0], '$');
                EXPECT_NE(heading[0], '%');
                EXPECT_EQ(lines.back().substr(lines.back().size() - 2 * kMark.size()),
                          kMark + kMark)
                    << "the last paragraph is not closed";

                for (std::size_t i = 0; i < lines.size(); ++i) {
                    const std::string& line = lines[i];
                    SCOPED_TRACE(line);
                    EXPECT_EQ(line.find("[???]"), std::string::npos);
                    EXPECT_EQ(line.find('@'), std::string::npos);
                    EXPECT_EQ(line.find('{'), std::string::npos);
                    EXPECT_EQ(line.find('}'), std::string::npos);
                    EXPECT_EQ(line.find("  "), std::string::npos);
                    EXPECT_EQ(line.find(" ."), std::string::npos);
                    EXPECT_EQ(line.find(" ,"), std::string::npos);
                    EXPECT_EQ(line.find(" !"), std::string::npos);
                    EXPECT_EQ(line.find(" ?"), std::string::npos);
                    EXPECT_NE(line.front(), ' ');
                    EXPECT_NE(line.back(), ' ') << "a line end already becomes a space";
                    // A token word in story text would have been turned into @ and a
                    // code; a stray definition character means a broken grammar line.
                    EXPECT_EQ(line.find('='), std::string::npos);
                    EXPECT_EQ(line.find(';'), std::string::npos);
                }
                // The book joins the lines with spaces, so an article may end one
                // line and its word begin the next.
                std::string text;
                for (const std::string& line : lines)
                    text += line + " ";
                const std::string article = MismatchedArticle(text);
                EXPECT_TRUE(article.empty())
                    << "'" << article << "': a swapped word needs ANOUN or AADJ";
            }
        }
    }
}

// At twist 0 nothing is swapped, whatever the seed and whatever the story
// before it decided: a tale whose first token follows the previous decision
// (&) would leak a swap from the last story into a plain one.
TEST_F(TaleContent, TwistZeroTellsThePlainTaleAlways) {
    for (int tale = 1; tale <= TStoryGenerator::kTaleCount; ++tale) {
        SCOPED_TRACE("tale " + std::to_string(tale));
        const std::string plain = Tell(*gen_, tale, 0, 1);
        EXPECT_EQ(Tell(*gen_, tale, 0, 424242), plain);
        Tell(*gen_, tale, 100, 5);
        EXPECT_EQ(Tell(*gen_, tale, 0, 3), plain);

        const int words = CountWords(plain);
        EXPECT_GE(words, 900) << "too short a tale";
        EXPECT_LE(words, 1600) << "too long a tale";
    }
}

TEST_F(TaleContent, FullTwistChangesTheTale) {
    for (int tale = 1; tale <= TStoryGenerator::kTaleCount; ++tale) {
        SCOPED_TRACE("tale " + std::to_string(tale));
        const std::string plain = Tell(*gen_, tale, 0, 1);
        const std::string twisted = Tell(*gen_, tale, 100, 1);
        EXPECT_NE(twisted, plain);
        EXPECT_NE(Tell(*gen_, tale, 100, 2), twisted) << "the seed changes nothing";
    }
}

// The names typed in the book go wherever the cover offers them, and only
// there: a tale without $ (or %) must not carry the player's hero (heroine).
// The cover's words are the title the tale table gives the tale.
TEST_F(TaleContent, TypedNamesReachExactlyTheTalesThatOfferThem) {
    const std::string hero = "Zebedee Quill";
    const std::string heroine = "Ottoline Frump";
    gen_->HeroName = hero;
    gen_->HeroineName = heroine;
    for (int tale = 1; tale <= TStoryGenerator::kTaleCount; ++tale) {
        const std::string cover = gen_->GetCoverLine(tale);
        const bool hasHero = !cover.empty() && cover[0] == '$';
        const bool hasHeroine =
            cover.find('%') != std::string::npos && cover.find('%') == (hasHero ? 1u : 0u);
        EXPECT_TRUE(hasHero || hasHeroine) << "tale " << tale << " names nobody: " << cover;
        // The title the scene and the shelf give a tale is its cover's.
        EXPECT_EQ(TTaleTable::Title(tale), TCoverLine::Parse(cover).text);
        for (int twist : {0, 100}) {
            SCOPED_TRACE("tale " + std::to_string(tale) + ", twist " + std::to_string(twist));
            const std::string story = Tell(*gen_, tale, twist, 11);
            EXPECT_EQ(story.find("Zebedee") != std::string::npos, hasHero);
            EXPECT_EQ(story.find("Ottoline") != std::string::npos, hasHeroine);
        }
    }
}

// One vocabulary choice a template makes: word class and word flags, and
// whether it takes the word chosen last (&).
struct Choice {
    int wordClass;
    uint16_t flags;
    bool operator<(const Choice& o) const {
        return std::pair(wordClass, flags) < std::pair(o.wordClass, o.flags);
    }
};

// The class and flags of a code letter when nobody has typed a name; false
// for codes that choose no word ('#', 'L') or that are unknown (ok = false).
bool ChoiceOfCode(char code, Choice& choice, bool& ok) {
    ok = true;
    if (code == '#' || code == 'L')
        return false;
    TTokenChoice token;
    if (!TokenChoiceOf(code, token)) {
        ok = false;
        return false;
    }
    choice = {token.wordClass, token.flags};
    return true;
}

struct TaleChoices {
    std::set<Choice> fresh;       // random choices
    std::set<Choice> sameAsLast;  // choices that take the word chosen last
    std::vector<std::string> bad; // definitions the scan could not read
};

// Reads the definition lines of a template the way the generator does:
// name=, an optional ~, a literal ("...") or tokens @c with ! (first token
// only), & and +, text up to the next @ before the next ;, and a ; that
// starts the next definition.
void ScanDefinitions(std::string line, TaleChoices& out) {
    TStoryGenerator::ReplaceTokenWords(line);
    if (line.empty() || line[0] != '>')
        return;
    line.erase(0, 1);
    std::size_t pos = 0;
    while (true) {
        const std::size_t eq = line.find('=', pos);
        if (eq == std::string::npos)
            return;
        pos = eq + 1;
        uint16_t flags = 0;
        if (pos < line.size() && line[pos] == '~') {
            flags |= wfSingleWord;
            ++pos;
        }
        if (pos < line.size() && line[pos] == '"')
            return; // a literal takes the rest of the line
        if (pos + 1 >= line.size() || line[pos] != '@') {
            out.bad.push_back(line.substr(eq));
            return;
        }
        char code = line[pos + 1];
        pos += 2;
        if (pos < line.size() && line[pos] == '!')
            ++pos;
        while (true) {
            bool same = false;
            if (pos < line.size() && line[pos] == '&') {
                same = true;
                ++pos;
            }
            if (pos < line.size() && line[pos] == '+')
                ++pos;
            Choice choice{};
            bool ok = true;
            const char upper =
                static_cast<char>((code >= 'a' && code <= 'z') ? code - 'a' + 'A' : code);
            if (ChoiceOfCode(upper, choice, ok)) {
                choice.flags |= flags;
                (same ? out.sameAsLast : out.fresh).insert(choice);
            } else if (!ok) {
                out.bad.push_back(std::string("code ") + code + " in " + line);
            }
            const std::size_t at = line.find('@', pos);
            const std::size_t semi = line.find(';', pos);
            if (at != std::string::npos && (semi == std::string::npos || at < semi) &&
                at + 1 < line.size()) {
                code = line[at + 1];
                pos = at + 2;
                continue;
            }
            break;
        }
        if (pos < line.size() && line[pos] == ';') {
            ++pos;
            while (pos < line.size() && line[pos] == ' ')
                ++pos;
            continue;
        }
        return;
    }
}

std::string Describe(const Choice& c) {
    static const char* const kClasses[] = {"name", "noun", "verb", "adjective", "place"};
    std::ostringstream s;
    s << kClasses[c.wordClass] << " with flags 0x" << std::hex << c.flags;
    return s.str();
}

TEST(TaleVocabulary, OffersAWordForEveryChoiceOfTheTales) {
    auto gen = MakeGenerator();
    TVocab vocab(WordsFile(), false);
    for (int cls = 0; cls < kWordClassCount; ++cls)
        ASSERT_GT(vocab.WordList(cls).Count(), 0) << "word class " << cls << " is empty";

    int choices = 0;
    for (int tale = 1; tale <= TStoryGenerator::kTaleCount; ++tale) {
        SCOPED_TRACE("tale " + std::to_string(tale));
        TaleChoices found;
        const std::vector<std::string>& lines = gen->Template(tale);
        ASSERT_GT(lines.size(), 1u);
        for (std::size_t i = 1; i < lines.size(); ++i)
            ScanDefinitions(lines[i], found);
        EXPECT_TRUE(found.bad.empty()) << found.bad.front();
        EXPECT_GE(found.fresh.size(), 10u) << "too narrow a mix of tokens";

        for (const Choice& c : found.fresh) {
            ++choices;
            EXPECT_FALSE(vocab.ChooseWord(c.wordClass, c.flags).empty())
                << "no word for " << Describe(c);
        }
        // A choice with & takes whatever word its class gave last, so every
        // word of the class must have the form it asks for.
        for (const Choice& c : found.sameAsLast) {
            ++choices;
            const TWordList& list = vocab.WordList(c.wordClass);
            for (int i = 0; i < list.Count(); ++i) {
                EXPECT_FALSE(TVocab::FormOf(list.Word(i), c.flags).empty())
                    << list[i].Text << " has no form for " << Describe(c);
            }
        }
    }
    EXPECT_GT(choices, 0);
}

// The default vocabulary's own promises: enough words of every kind, and the
// common irregular forms stored, so that twisted tales stay grammatical.
TEST(TaleVocabulary, DefaultWordsKeepTheirIrregularForms) {
    TVocab vocab(WordsFile(), false);
    EXPECT_GE(vocab.WordList(wcProperNoun).Count(), 60);
    EXPECT_GE(vocab.WordList(wcNoun).Count(), 150);
    EXPECT_GE(vocab.WordList(wcVerb).Count(), 80);
    EXPECT_GE(vocab.WordList(wcAdjective).Count(), 80);
    EXPECT_GE(vocab.WordList(wcPlace).Count(), 20);

    int males = 0;
    int females = 0;
    for (const TWordEntry& e : vocab.WordList(wcProperNoun)) {
        const std::string shortForm = TVocab::FormOf(*e.Word, wfShortForm);
        EXPECT_EQ(shortForm.find(' '), std::string::npos) << e.Text;
        (static_cast<const TProperNoun&>(*e.Word).Male ? males : females)++;
    }
    // Both sexes, and enough of each that a tale's named parts rarely meet twice.
    EXPECT_GE(males, 25);
    EXPECT_GE(females, 25);

    struct Form {
        int wordClass;
        const char* word;
        uint16_t flags;
        const char* expected;
    };
    const Form forms[] = {
        {wcProperNoun, "Sir Gus Gravy", wfShortForm, "Gus"},
        {wcNoun, "mouse", wfPlural, "mice"},
        {wcNoun, "child", wfPlural, "children"},
        {wcNoun, "box", wfPlural, "boxes"},
        {wcNoun, "puppy", wfPlural, "puppies"},
        {wcNoun, "sheep", wfPlural, "sheep"},
        {wcVerb, "go", wfPast, "went"},
        {wcVerb, "go", wfPresent, "goes"},
        {wcVerb, "go", wfParticiple, "gone"},
        {wcVerb, "dance", wfContinuous, "dancing"},
        {wcVerb, "fly", wfContinuous, "flying"},
        {wcVerb, "fly", wfPresent, "flies"},
        {wcVerb, "splash", wfPresent, "splashes"},
        {wcVerb, "run away", wfPast, "ran away"},
        {wcVerb, "sing", wfParticiple, "sung"},
        {wcAdjective, "good", wfBigger, "better"},
        {wcAdjective, "good", wfBiggest, "best"},
        {wcAdjective, "good", wfAdverb, "well"},
        {wcAdjective, "careful", wfAdverb, "carefully"},
        {wcAdjective, "beautiful", wfBigger, "more beautiful"},
        {wcAdjective, "green", wfAdverb, ""},
    };
    for (const Form& f : forms) {
        const TWordList& list = vocab.WordList(f.wordClass);
        const int at = list.IndexOf(f.word);
        ASSERT_GE(at, 0) << f.word << " is not in the default vocabulary";
        EXPECT_EQ(TVocab::FormOf(list.Word(at), f.flags), f.expected) << f.word;
    }
}

} // namespace

namespace {

// The story's lines with every vocabulary span's characters replaced by "#".
std::vector<std::string> Skeleton(const TStoryGenerator& g) {
    std::vector<std::string> lines = g.StoryLines();
    const auto& spans = g.StorySpans();
    for (auto s = spans.rbegin(); s != spans.rend(); ++s)
        lines[s->line].replace(s->start, s->length, "#");
    return lines;
}

std::string Lower(std::string t) {
    for (char& c : t)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t;
}

} // namespace

TEST_F(TaleContent, EveryVocabularyWordIsMarkedInItsForm) {
    for (int tale = 1; tale <= TStoryGenerator::kTaleCount; ++tale) {
        for (int twist : kTwists) {
            for (uint32_t seed = 1; seed <= 8; ++seed) {
                storytest::ForgetTwistDecision(*gen_);
                Tell(*gen_, tale, twist, seed);
                const auto& spans = gen_->StorySpans();
                if (twist == 0) {
                    EXPECT_TRUE(spans.empty()) << "tale " << tale;
                    continue;
                }
                EXPECT_FALSE(spans.empty()) << "tale " << tale << " twist " << twist;
                for (const TWordSpan& s : spans) {
                    const TWordChoice& c = gen_->StoryChoices()[s.choice];
                    std::string text = gen_->StoryLines()[s.line].substr(s.start, s.length);
                    if (c.flags & wfArticle)
                        text.erase(0, text.find(' ') + 1);
                    const TPartOfSpeech& w = gen_->Vocab().WordList(c.wordClass).Word(c.position);
                    EXPECT_EQ(Lower(text), Lower(TVocab::FormOf(w, c.flags)))
                        << "tale " << tale << " line " << s.line;
                }
                // Every choice with other words: only the spans change.
                const auto before = Skeleton(*gen_);
                std::vector<int32_t> other;
                for (const TWordChoice& c : gen_->StoryChoices()) {
                    const int count = gen_->Vocab().WordList(c.wordClass).Count();
                    int32_t p = (c.position + 1) % count;
                    while (p != c.position && !gen_->Vocab().Fits(c.wordClass, p, c.flags))
                        p = (p + 1) % count;
                    other.push_back(p);
                }
                for (std::size_t i = 0; i < other.size(); ++i)
                    if (const int src = gen_->StoryChoices()[i].source; src >= 0)
                        other[i] = other[static_cast<std::size_t>(src)];
                ASSERT_TRUE(gen_->Retell(other));
                EXPECT_EQ(Skeleton(*gen_), before) << "tale " << tale << " twist " << twist;
            }
        }
    }
}

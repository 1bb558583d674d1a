// The words the voice says mapped onto the words on the page: where each word
// of a sentence stands across line and page breaks, which tokens are words,
// the fallback when the voice's words cannot be matched, and which word is lit
// at each played position.
#include <gtest/gtest.h>

#include "book/Book.h"
#include "reading/StorySentences.h"
#include "platform/FixedCanvas.h"
#include "reading/WordTimes.h"

namespace {

std::vector<std::string> Words(const char* text, const TSentence& s) {
    std::vector<std::string> out;
    for (const TSentenceWord& w : s.Words)
        out.emplace_back(text + w.Begin, text + w.End);
    return out;
}

// Said words, one per token, Ms apart from Start.
std::vector<plat::SpeechWord> Said(int count, int startMs = 200, int lengthMs = 100) {
    std::vector<plat::SpeechWord> out;
    for (int i = 0; i < count; ++i)
        out.push_back(
            {(startMs + i * lengthMs) / 1000.0f, (startMs + (i + 1) * lengthMs) / 1000.0f, i});
    return out;
}

} // namespace

TEST(SentenceWords, EachWordStandsWhereTheLayoutPutItAcrossLinesAndPages) {
    // Pages of 20 characters by 3 lines (5 x 10 pixel characters).
    const char* text = "The Tale\\n\\n\"Come in,\" said the wolf - softly... And she came.";
    plat::FixedCanvas canvas{5, 10};
    TBook book;
    book.Paginate(&canvas, TRect{0, 0, 100, 30}, text);
    TStorySentences s;
    s.Build(text, book.Pages);
    ASSERT_EQ(s.Items.size(), 3u);
    const TSentence& wolf = s.Items[1];
    // Quotes and punctuation are not lit; a dash alone is no word.
    EXPECT_EQ(Words(text, wolf),
              (std::vector<std::string>{"Come", "in", "said", "the", "wolf", "softly"}));
    // "Come in," said the" fills page 1's last line; "wolf - softly..." is
    // on page 2.
    ASSERT_EQ(book.PageCount(), 2);
    const std::vector<TLinePart> come{{1, 3, 1, 5}};
    EXPECT_EQ(wolf.Words[0].Parts, come);
    EXPECT_EQ(wolf.Words[3].Parts, (std::vector<TLinePart>{{1, 3, 16, 19}}));
    EXPECT_EQ(wolf.Words[4].Parts, (std::vector<TLinePart>{{2, 1, 0, 4}})) << "over the page";
    EXPECT_EQ(wolf.Words[5].Parts, (std::vector<TLinePart>{{2, 1, 7, 13}}));
    // Every word lies inside its sentence's parts.
    for (const TSentence& sentence : s.Items)
        for (const TSentenceWord& w : sentence.Words)
            for (const TLinePart& p : w.Parts) {
                const bool inside = std::any_of(sentence.Parts.begin(), sentence.Parts.end(),
                                                [&](const TLinePart& q) {
                                                    return q.Page == p.Page && q.Line == p.Line &&
                                                           q.Start <= p.Start && p.End <= q.End;
                                                });
                EXPECT_TRUE(inside);
            }

    // A word the layout had to break (wider than a line) has a part on each line.
    const char* longWord = "T\\n\\nAbcdefghijklmnopqrstuvwxyz is long.";
    book.Paginate(&canvas, TRect{0, 0, 100, 40}, longWord);
    s.Build(longWord, book.Pages);
    ASSERT_EQ(s.Items.size(), 2u);
    EXPECT_EQ(s.Items[1].Words[0].Parts.size(), 2u);

    // Letters with accents and digits are words; a paragraph marker parts them.
    EXPECT_EQ(TStorySentences::CountWords("Ren\xE9\x65 had 42 cats, \xD7 3."), 5);
    const char* marked = "One\\ntwo";
    EXPECT_EQ(TStorySentences::FindWords(marked, 0, 8).size(), 2u);
}

TEST(WordTimes, TheVoicesWordsLightThePagesWordsInStep) {
    // Four words on the page; the voice says them from 200 ms, 100 ms each.
    TWordTimes t;
    t.Map(Said(4), 0, 4);
    ASSERT_TRUE(t.Matched());
    EXPECT_EQ(t.LitAt(0), -1) << "before the first word";
    EXPECT_EQ(t.NextChange(0), 200);
    EXPECT_EQ(t.LitAt(199), -1);
    EXPECT_EQ(t.LitAt(200), 0) << "each word from the moment it begins";
    EXPECT_EQ(t.LitAt(299), 0);
    EXPECT_EQ(t.NextChange(250), 50);
    EXPECT_EQ(t.LitAt(300), 1);
    EXPECT_EQ(t.LitAt(500), 3);
    EXPECT_EQ(t.NextChange(500), 100) << "the last word ends";
    EXPECT_EQ(t.LitAt(600), -1) << "after the last word";
    EXPECT_EQ(t.NextChange(600), -1);
    EXPECT_EQ(t.LitAt(1'000'000), -1);

    // A pause between words keeps the word before it lit.
    std::vector<plat::SpeechWord> paused = Said(2);
    paused[1].Start += 0.3f;
    paused[1].End += 0.3f;
    t.Map(paused, 0, 2);
    EXPECT_EQ(t.LitAt(450), 0);
    EXPECT_EQ(t.LitAt(600), 1);

    // The second part of a sentence lights the sentence's words from its own on.
    t.Map(Said(3), 5, 3);
    EXPECT_EQ(t.LitAt(200), 5);
    EXPECT_EQ(t.LitAt(450), 7);
}

TEST(WordTimes, ATokenSaidAsSeveralWordsLightsItsOneWordAndAMismatchLightsNone) {
    // "He had 42 cats." said as "he had forty two cats": 42 is one token.
    std::vector<plat::SpeechWord> said = Said(5);
    said[3].Token = 2;
    said[4].Token = 3;
    TWordTimes t;
    t.Map(said, 0, 4);
    ASSERT_TRUE(t.Matched());
    EXPECT_EQ(t.LitAt(450), 2) << "\"two\" still lights 42";
    EXPECT_EQ(t.LitAt(650), 3);

    // An engine that does not tell the tokens: "forty two" is two words for
    // one on the page, so nothing is lit in this sentence.
    for (plat::SpeechWord& w : said)
        w.Token = -1;
    t.Map(said, 0, 4);
    EXPECT_FALSE(t.Matched());
    for (int ms : {0, 250, 450, 650})
        EXPECT_EQ(t.LitAt(ms), -1) << ms;
    EXPECT_EQ(t.NextChange(250), -1);

    // Too few words said ("Dr." said as nothing), words out of order, tokens
    // out of order, or nothing said: no mapping.
    t.Map(Said(3), 0, 4);
    EXPECT_FALSE(t.Matched());
    std::vector<plat::SpeechWord> backwards = Said(3);
    std::swap(backwards[0].Start, backwards[2].Start);
    std::swap(backwards[0].End, backwards[2].End);
    t.Map(backwards, 0, 3);
    EXPECT_FALSE(t.Matched());
    std::vector<plat::SpeechWord> skipped = Said(3);
    skipped[2].Token = 5;
    t.Map(skipped, 0, 3);
    EXPECT_FALSE(t.Matched());
    t.Map({}, 0, 0);
    EXPECT_FALSE(t.Matched());
    EXPECT_EQ(t.LitAt(0), -1);
}

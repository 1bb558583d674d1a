// The twists of the storybook's text: the line-end rule's map of places, the
// generator's spans carried into the window's text, finding a span, and the
// parts of the spans on laid-out pages.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "book/Book.h"
#include "book/BookPage.h"
#include "book/StoryTwists.h"
#include "platform/FixedCanvas.h"
#include "story/Generate.h"
#include "story/StoryText.h"
#include "support/TestSupport.h"

namespace {

const std::string kMark = "\\n";

std::unique_ptr<TStoryGenerator> MakeGenerator() {
    std::string dir = fbwtest::YarnsDir();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    TStoryGenerator::Files files;
    files.dataFolder = dir + "dat/";
    files.wordsFile = dir + "words.dat";
    files.saveWords = false;
    files.saveSettings = false;
    auto g = std::make_unique<TStoryGenerator>(files);
    g->HeroName.clear();
    g->HeroineName.clear();
    return g;
}

} // namespace

TEST(StoryTwists, LineEndRuleMapsEveryPlace) {
    const std::string text = "T" + kMark + kMark + "\r\nab\r\ncd\r\n";
    std::vector<std::size_t> where;
    const std::string out = ResolveStoryLineEnds(text, where);
    EXPECT_EQ(out, ResolveStoryLineEnds(text));
    EXPECT_EQ(out, "T" + kMark + kMark + "ab cd ");
    ASSERT_EQ(where.size(), text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] != '\r' && text[i] != '\n')
            EXPECT_EQ(out[where[i]], text[i]) << i;
    EXPECT_EQ(where[5], 5u); // the CR LF after the marker: dropped where "a" stands
    EXPECT_EQ(where[6], 5u);
    EXPECT_EQ(where[9], 7u); // the CR LF that became the space
    EXPECT_EQ(where.back(), out.size());
    // A zero ends the text: what follows maps to its end.
    const std::string zero = std::string("ab\0cd", 5);
    EXPECT_EQ(ResolveStoryLineEnds(zero, where), "ab");
    EXPECT_EQ(where[4], 2u);
    EXPECT_EQ(JoinedLineStarts({"ab", "", "cde"}), (std::vector<std::size_t>{0, 4, 6}));
}

TEST(StoryTwists, SpansStandOnTheirWordsInTheWindowsText) {
    auto g = MakeGenerator();
    g->SetTemplate(1, {"Cover", ">bear=NOUN;cat=ANOUN+;run=PAST", "[TITLE] The {bear}'s day",
                       "A {cat} met the {bear}." + kMark + kMark, "It {run}", "and {run}.",
                       "{cat} again" + kMark});
    g->SetTwistLevel(100);
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        g->FixSeed(seed);
        const std::string joined = JoinStoryLines(g->GenerateStory(1));
        const std::string story = ResolveStoryLineEnds(joined);
        TStoryTwists twists;
        twists.Take(*g, joined);
        ASSERT_EQ(twists.Spans().size(), g->StorySpans().size());
        for (std::size_t i = 0; i < twists.Spans().size(); ++i) {
            const TStoryTwists::Span& s = twists.Spans()[i];
            const TWordSpan& w = g->StorySpans()[i];
            EXPECT_EQ(story.substr(static_cast<std::size_t>(s.Begin),
                                   static_cast<std::size_t>(s.End - s.Begin)),
                      g->StoryLines()[w.line].substr(w.start, w.length));
            EXPECT_EQ(s.Choice, w.choice);
            // Every character of a span finds it, the ones around it do not.
            for (int32_t o = s.Begin; o < s.End; ++o)
                EXPECT_EQ(twists.SpanAt(o), static_cast<int>(i));
            EXPECT_NE(twists.SpanAt(s.End), static_cast<int>(i));
            EXPECT_NE(twists.SpanAt(s.Begin - 1), static_cast<int>(i));
        }
        EXPECT_EQ(twists.Was(*g, 0), "bear"); // in the title
        EXPECT_EQ(twists.SpanAt(0), -1);
        // Any other text (a saved story read back) has none.
        twists.Take(*g, joined + " ");
        EXPECT_TRUE(twists.Empty());
    }
}

TEST(StoryTwists, PartsCoverTheSpansOnTheirPages) {
    auto g = MakeGenerator();
    g->SetTwistLevel(100);
    for (int tale = 1; tale <= TStoryGenerator::kTaleCount; ++tale) {
        g->FixSeed(static_cast<uint32_t>(tale));
        const std::string joined = JoinStoryLines(g->GenerateStory(tale));
        const std::string story = ResolveStoryLineEnds(joined);
        TStoryTwists twists;
        twists.Take(*g, joined);
        ASSERT_FALSE(twists.Empty()) << tale;
        // Narrow pages: words break across lines and pages.
        plat::FixedCanvas canvas{5, 10};
        TBook book;
        book.Paginate(&canvas, TRect{0, 0, 120, 60}, story.c_str());
        std::vector<std::set<int32_t>> covered(twists.Spans().size());
        for (int page = 1; page <= book.PageCount(); ++page)
            for (const TStoryTwists::PagePart& p : twists.PageParts(book, page)) {
                ASSERT_EQ(p.part.Page, page);
                const TLine* line = book.Page(page)->Line(p.part.Line);
                ASSERT_NE(line, nullptr);
                for (int c = p.part.Start; c < p.part.End; ++c)
                    covered[static_cast<std::size_t>(p.span)].insert(line->Offset + c);
                EXPECT_EQ(TStoryTwists::PageOf(book, line->Offset + p.part.Start), page);
            }
        // Exactly the span's characters that stand on a line.
        std::vector<int> onLine(story.size(), 0);
        for (int page = 1; page <= book.PageCount(); ++page)
            for (int n = 1; n <= book.Page(page)->LineCount(); ++n) {
                const TLine* line = book.Page(page)->Line(n);
                for (int32_t c = line->Offset; c < line->Offset + line->Length; ++c)
                    onLine[static_cast<std::size_t>(c)] = 1;
            }
        for (std::size_t i = 0; i < twists.Spans().size(); ++i) {
            std::set<int32_t> expected;
            for (int32_t c = twists.Spans()[i].Begin; c < twists.Spans()[i].End; ++c)
                if (onLine[static_cast<std::size_t>(c)])
                    expected.insert(c);
            EXPECT_EQ(covered[i], expected) << "tale " << tale << " span " << i;
        }
    }
}

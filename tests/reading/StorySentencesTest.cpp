// Finding the sentences of a story and the line parts each one lights up,
// on a book laid out with the fixed-metric canvas.
#include <gtest/gtest.h>

#include "book/Book.h"
#include "reading/StorySentences.h"
#include "platform/FixedCanvas.h"

namespace {

// The sentences of Text as strings.
std::vector<std::string> Sentences(const char* text) {
    std::vector<std::string> out;
    for (const TSentence& s : TStorySentences::Find(text))
        out.push_back(std::string(text + s.Begin, text + s.End));
    return out;
}

// "page.line[start,end)" for each part of a sentence.
std::string Parts(const TSentence& s) {
    std::string out;
    for (const TLinePart& p : s.Parts)
        out += (out.empty() ? "" : " ") + std::to_string(p.Page) + "." + std::to_string(p.Line) +
               "[" + std::to_string(p.Start) + "," + std::to_string(p.End) + ")";
    return out;
}

// A book of 20 characters by 3 lines a page (5-pixel characters, 10-pixel lines).
struct SmallBook {
    plat::FixedCanvas canvas{5, 10};
    TBook book;
    std::string text;
    TStorySentences sentences;
    explicit SmallBook(std::string story) : text(std::move(story)) {
        book.Paginate(&canvas, TRect{0, 0, 100, 30}, text.c_str());
        sentences.Build(text.c_str(), book.Pages);
    }
    std::string Line(int page, int line) const {
        return book.Page(page)->LineText(text.c_str(), line);
    }
};

} // namespace

TEST(StorySentences, EndsAtStopsWithClosingQuotesMarkersAndTheEnd) {
    EXPECT_EQ(Sentences("Title\\n\\nOne. Two! Three? Four"),
              (std::vector<std::string>{"Title", "One.", "Two!", "Three?", "Four"}));
    // Closing quotes stay with their sentence; a stop must be followed by a
    // space, a marker or the end.
    EXPECT_EQ(Sentences("'Run!' she cried. \"Why?\"\\nSo 3.5 went.'\"\\nOk...yes."),
              (std::vector<std::string>{"'Run!'", "she cried.", "\"Why?\"", "So 3.5 went.'\"",
                                        "Ok...yes."}));
    // A paragraph without a stop ends at its marker; spaces and markers
    // between sentences belong to none; trailing spaces are dropped.
    EXPECT_EQ(Sentences("  No stop here  \\n\\n\\n  Next one.   "),
              (std::vector<std::string>{"No stop here", "Next one."}));
    EXPECT_TRUE(Sentences("").empty());
    EXPECT_TRUE(Sentences(" \\n\\n  ").empty());
    EXPECT_TRUE(Sentences(nullptr).empty());
}

TEST(StorySentences, SpeechReadsMarkersAsSpacesAndKeepsTheWordsAsTheyStand) {
    const char* text = "Once upon\\na time. Zo\xEB!";
    const std::vector<TSentence> s = TStorySentences::Find(text);
    // A single marker inside a paragraph ends a sentence too.
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(TStorySentences::SpeechText(text, s[0].Begin, s[0].End), "Once upon");
    EXPECT_EQ(TStorySentences::SpeechText(text, s[2].Begin, s[2].End), "Zo\xEB!");
    EXPECT_EQ(TStorySentences::SpeechText(text, 0, 18), "Once upon a time.");
}

TEST(StorySentences, PartsFollowTheLinesAcrossLineAndPageBreaks) {
    SmallBook b("The Tale\\n\\nAa bb cc dd ee ff gg hh ii jj kk. 'Ll mm!' nn oo pp qq rr ss tt "
                "uu.\\n\\nNo stop");
    // Page 1: the title, an empty line, the first line of the paragraph.
    ASSERT_EQ(b.book.PageCount(), 3);
    EXPECT_EQ(b.Line(1, 1), "The Tale");
    EXPECT_EQ(b.Line(1, 2), "");
    EXPECT_EQ(b.Line(1, 3), "Aa bb cc dd ee ff gg");
    EXPECT_EQ(b.Line(2, 1), "hh ii jj kk. 'Ll");
    EXPECT_EQ(b.Line(2, 2), "mm!' nn oo pp qq rr");
    const auto& items = b.sentences.Items;
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(Parts(items[0]), "1.1[0,8)") << "the title is a sentence of its own";
    // Across the page break: the rest of line 1.3 and the start of 2.1.
    EXPECT_EQ(items[1].Speech, "Aa bb cc dd ee ff gg hh ii jj kk.");
    EXPECT_EQ(Parts(items[1]), "1.3[0,20) 2.1[0,12)");
    EXPECT_EQ(items[2].Speech, "'Ll mm!'");
    // A quotation across a line break, and a sentence across lines on one page.
    EXPECT_EQ(Parts(items[2]), "2.1[13,16) 2.2[0,4)");
    EXPECT_EQ(Parts(items[3]), "2.2[5,19) 2.3[0,9)");
    EXPECT_EQ(items[4].Speech, "No stop");
    EXPECT_EQ(Parts(items[4]), "3.1[0,7)");

    EXPECT_EQ(b.sentences.FirstFrom(1), 0);
    EXPECT_EQ(b.sentences.FirstFrom(2), 1) << "the sentence that runs onto page 2";
    EXPECT_EQ(b.sentences.FirstFrom(3), 4);
    EXPECT_EQ(b.sentences.FirstFrom(4), -1);
    EXPECT_EQ(b.sentences.FirstPage(1), 1);
    EXPECT_EQ(b.sentences.FirstPage(9), 0);
}

// The layout of TBook with the fixed-metric canvas: where lines break, which
// lines pages hold, when there are no pages, and the invariants over the ten
// tales at many page sizes.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "BookInvariants.h"
#include "book/Book.h"
#include "platform/FixedCanvas.h"

namespace {

const std::string M = "\\n";

// Every character 10 pixels wide, lines 20 high: a 216 x 320 page with
// margins of 8 holds 20 characters (200 pixels) across and 15 lines down.
struct Layout {
    plat::FixedCanvas canvas{10, 20};
    TBook book;
    std::string text;

    explicit Layout(std::string t, int w = 216, int h = 320) : text(std::move(t)) {
        book.MarginX = book.MarginY = 8;
        book.Paginate(&canvas, TRect{0, 0, w, h}, text.c_str());
    }
    // The lines of page P as text.
    std::vector<std::string> Lines(int p) const {
        std::vector<std::string> out;
        for (int l = 1; l <= book.PageLineCount(p); ++l)
            out.push_back(book.Page(p)->LineText(text.c_str(), l));
        return out;
    }
};

using Lines = std::vector<std::string>;

// The lines of page 1 that Text gives under a one-line title.
Lines Body(const std::string& text) {
    Lines lines = Layout("T" + M + text).Lines(1);
    lines.erase(lines.begin());
    return lines;
}

} // namespace

TEST(BookLayout, TitleBlankLineAndSentence) {
    Layout b("Title" + M + M + "One short sentence.");
    ASSERT_EQ(b.book.PageCount(), 1);
    EXPECT_EQ(b.Lines(1), (Lines{"Title", "", "One short sentence."}));
    const TPage* page = b.book.Page(1);
    EXPECT_EQ(page->Line(2)->Offset, 7);
    EXPECT_EQ(page->Line(3)->Offset, 9);
    EXPECT_EQ(page->LineText(b.text.c_str(), 4), "");
    EXPECT_EQ(page->Line(1)->GetText(nullptr), "");
}

TEST(BookLayout, AWrappingTitleIsBrokenAtItsOwnSizeAndTakesTheRowsItNeeds) {
    // 5 pixels a character at 12 points: 40 fit the line, 24 at the title's
    // 20 points, whose lines are 33 high against 20.
    plat::FixedCanvas canvas(5, 20);
    TBook book;
    book.MarginX = book.MarginY = 8;
    std::string text = "Queen Marigold and the Three Garden Gnomes" + M + M;
    for (int i = 0; i < 30; ++i)
        text += "Words of the story. ";
    book.Paginate(&canvas, TRect{0, 0, 216, 320}, text.c_str());
    const TPage* page = book.Page(1);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->LineText(text.c_str(), 1), "Queen Marigold and the");
    EXPECT_EQ(page->LineText(text.c_str(), 2), "Three Garden Gnomes");
    EXPECT_EQ(page->LineText(text.c_str(), 3), "");
    EXPECT_EQ(page->LineText(text.c_str(), 4), "Words of the story. Words of the story.");
    EXPECT_EQ(page->TitleLines, 2);
    EXPECT_EQ(page->TitleSize, 20);
    // Two lines 33 high: 66 pixels, four lines of 20; eleven of the page's
    // fifteen are left for the text.
    EXPECT_EQ(page->TitleRows, 4);
    EXPECT_EQ(page->LineCount(), 2 + 11);
    EXPECT_EQ(book.Page(2)->TitleLines, 0);
    EXPECT_EQ(canvas.FontSize(), 12);
    EXPECT_FALSE(canvas.Bold());
    booktest::CheckLayout(book, canvas, text, 200, "a wrapping title");

    // A title that fits on one line at its size takes one line.
    Layout one("Title" + M + M + "Text");
    EXPECT_EQ(one.book.Page(1)->TitleLines, 1);
    EXPECT_EQ(one.book.Page(1)->TitleRows, 1);
    EXPECT_EQ(one.book.Page(1)->TitleSize, 20);
}

TEST(BookLayout, ATitleShrinksOnlyForAWordWiderThanTheLine) {
    plat::FixedCanvas canvas(5, 20);
    TBook book;
    book.MarginX = book.MarginY = 8;
    auto title = [&](const std::string& text) {
        book.Paginate(&canvas, TRect{0, 0, 216, 320}, text.c_str());
        const TPage* page = book.Page(1);
        Lines lines;
        for (int l = 1; l <= page->TitleLines; ++l)
            lines.push_back(page->LineText(text.c_str(), l));
        return std::pair{lines, page->TitleSize};
    };
    // 30 letters are 250 pixels at 20 points, 200 at 16.
    const std::string long30(30, 'w');
    EXPECT_EQ(title("The " + long30 + " of the Hills" + M + "Text"),
              std::pair(Lines{"The", long30, "of the Hills"}, 16));
    // One word alone that fits at a smaller size stands on one line.
    EXPECT_EQ(title(long30 + M + "Text"), std::pair(Lines{long30}, 20));
    // Not smaller than the text: a word wider than the line at 12 points is
    // cut as the text's words are.
    const std::string long41(41, 'w');
    EXPECT_EQ(title("A " + long41 + M + "Text"),
              std::pair(Lines{"A", std::string(40, 'w'), "w"}, 12));
}

TEST(BookLayout, ATitleLongerThanThePageStandsOnOneLine) {
    // Three lines a page: a title of two lines needs four.
    plat::FixedCanvas canvas(5, 20);
    TBook book;
    book.MarginX = book.MarginY = 8;
    const std::string text = "Queen Marigold and the Three Garden Gnomes" + M + M + "Text";
    book.Paginate(&canvas, TRect{0, 0, 216, 8 + 8 + 3 * 20}, text.c_str());
    const TPage* page = book.Page(1);
    EXPECT_EQ(page->TitleLines, 1);
    EXPECT_EQ(page->TitleRows, 1);
    EXPECT_EQ(page->LineText(text.c_str(), 1), "Queen Marigold and the Three Garden");
    EXPECT_EQ(page->LineText(text.c_str(), 2), "Gnomes");
    // So does a story of one long paragraph.
    std::string story;
    for (int i = 0; i < 2000; ++i)
        story += "One long paragraph. ";
    book.Paginate(&canvas, TRect{0, 0, 216, 320}, story.c_str());
    EXPECT_EQ(book.Page(1)->TitleLines, 1);
    EXPECT_EQ(book.Page(1)->LineCount(), 15);
}

TEST(BookLayout, BreaksBetweenWords) {
    // Under a title: a first paragraph is the title, broken at its size.
    // Exactly 200 pixels stays whole; one more character moves the last word.
    EXPECT_EQ(Body("aaaa bbbb cccc dddd!"), (Lines{"aaaa bbbb cccc dddd!"}));
    EXPECT_EQ(Body("aaaa bbbb cccc dddd!x"), (Lines{"aaaa bbbb cccc", "dddd!x"}));
    // The break backs over a run of spaces; the next line starts at the word.
    EXPECT_EQ(Body("aaaaaaaaaaaaaaaa     bbbbbbb cc"), (Lines{"aaaaaaaaaaaaaaaa", "bbbbbbb cc"}));
    // A guess past the line shrinks to the last word that fits, backing over
    // a run of spaces.
    EXPECT_EQ(Body("a b c d e f g h i j k l m n"), (Lines{"a b c d e f g h i j", "k l m n"}));
    EXPECT_EQ(Body("aaaaaaaaaaaaaa   bbbbbbbbbb"), (Lines{"aaaaaaaaaaaaaa", "bbbbbbbbbb"}));
    // Trailing spaces before a marker stay on the paragraph's last line.
    EXPECT_EQ(Body("end   " + M + "next"), (Lines{"end   ", "next"}));
}

TEST(BookLayout, GrowsFromAShortGuess) {
    // Narrow letters: the guess of 20 widths of "n" is short, and the line
    // takes words while they fit.
    plat::FixedCanvas canvas(10, 20);
    canvas.SetCharWidth('i', 5);
    TBook book;
    book.MarginX = book.MarginY = 8;
    const std::string ten(10, 'i');
    const std::string text = "T" + M + ten + " " + ten + " " + ten + " " + ten;
    book.Paginate(&canvas, TRect{0, 0, 216, 320}, text.c_str());
    ASSERT_EQ(book.PageLineCount(1), 3);
    EXPECT_EQ(book.Page(1)->LineText(text.c_str(), 2), ten + " " + ten + " " + ten);
    EXPECT_EQ(book.Page(1)->LineText(text.c_str(), 3), ten);
}

TEST(BookLayout, MarkersAndIndents) {
    // Spaces right after a marker indent the next line.
    EXPECT_EQ(Layout("one" + M + "   two").Lines(1), (Lines{"one", "   two"}));
    // Three markers inside a page: two empty lines.
    EXPECT_EQ(Layout("one" + M + M + M + "two").Lines(1), (Lines{"one", "", "", "two"}));
    // At the top of a page they give none, nor do spaces. (The title "1"
    // takes two lines: 33 pixels high.)
    Layout top("1" + M + "3" + M + "4" + M + "5" + M + "6" + M + "7" + M + "8" + M + "9" + M +
                   "10" + M + "11" + M + "12" + M + "13" + M + "14" + M + "15" + M + M + " " + M +
                   "  16",
               216, 320);
    ASSERT_EQ(top.book.PageCount(), 2);
    EXPECT_EQ(top.Lines(2), (Lines{"16"}));
    // Markers and spaces at the end make no trailing page.
    Layout tail("1" + M + "3" + M + "4" + M + "5" + M + "6" + M + "7" + M + "8" + M + "9" + M +
                "10" + M + "11" + M + "12" + M + "13" + M + "14" + M + "15" + M + M + "  " + M +
                " ");
    EXPECT_EQ(tail.book.PageCount(), 1);
    EXPECT_EQ(Layout(M + M + "  ").book.PageCount(), 0);
}

TEST(BookLayout, WordsWiderThanTheLine) {
    const std::string word(45, 'x');
    EXPECT_EQ(Layout("ab " + word + " cd").Lines(1),
              (Lines{"ab", std::string(20, 'x'), std::string(20, 'x'), "xxxxx cd"}));
    // A character wider than the whole line still takes a line of its own.
    plat::FixedCanvas canvas(10, 20);
    canvas.SetCharWidth('W', 500);
    TBook book;
    const std::string text = "WW W";
    book.Paginate(&canvas, TRect{0, 0, 216, 320}, text.c_str());
    ASSERT_EQ(book.PageCount(), 1);
    EXPECT_EQ(book.PageLineCount(1), 3);
}

TEST(BookLayout, NoPages) {
    EXPECT_EQ(Layout("").book.PageCount(), 0);
    // 19 widths of "n" across, or not one line down.
    EXPECT_EQ(Layout("Some text", 215, 320).book.PageCount(), 0);
    EXPECT_EQ(Layout("Some text", 216, 320).book.PageCount(), 1);
    EXPECT_EQ(Layout("Some text", 216, 35).book.PageCount(), 0);
    EXPECT_EQ(Layout("Some text", 216, 36).book.PageCount(), 1);
    plat::FixedCanvas thin(10, 20);
    thin.SetCharWidth('n', 0);
    TBook book;
    book.Paginate(&thin, TRect{0, 0, 500, 500}, "text");
    EXPECT_EQ(book.PageCount(), 0);
    EXPECT_EQ(book.PageLineCount(1), 0);
    EXPECT_EQ(book.PageLineCount(0), 0);
    EXPECT_EQ(book.PageLineCount(-1), 0);
}

TEST(BookLayout, MissingArgumentsLeaveTheListAlone) {
    Layout b("Some text");
    ASSERT_EQ(b.book.PageCount(), 1);
    b.book.Paginate(nullptr, TRect{0, 0, 216, 320}, b.text.c_str());
    b.book.Paginate(&b.canvas, TRect{0, 0, 216, 320}, nullptr);
    b.book.PaginateInto(nullptr, &b.canvas, b.text.c_str(), TRect{0, 0, 216, 320});
    EXPECT_EQ(b.book.PageCount(), 1);
    // Only the rectangle's size counts; a new layout replaces the pages.
    TLumList other;
    b.book.PaginateInto(&other, &b.canvas, "a b", TRect{100, 100, 316, 420});
    EXPECT_EQ(other.Count(), 1);
    b.book.Clear();
    EXPECT_EQ(b.book.PageCount(), 0);
}

TEST(BookLayout, PagesFillUpToTheirLineCount) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "word" + std::to_string(i) + " ";
    Layout b(text, 216, 8 + 8 + 3 * 20 + 19); // three lines a page
    ASSERT_GT(b.book.PageCount(), 1);
    for (int p = 1; p < b.book.PageCount(); ++p)
        EXPECT_EQ(b.book.PageLineCount(p), 3);
    booktest::CheckLayout(b.book, b.canvas, b.text, 200, "three-line pages");
}

TEST(BookLayout, TenTalesAtManyPageSizes) {
    const auto tales = booktest::TenTales();
    plat::FixedCanvas canvas(7, 18);
    canvas.SetCharWidth('W', 13);
    canvas.SetCharWidth('i', 3);
    canvas.SetCharWidth(' ', 4);
    const int sizes[][2] = {{156, 120}, {216, 320}, {300, 200}, {451, 700}, {1000, 60}};
    for (std::size_t t = 0; t < tales.size(); ++t) {
        ASSERT_GT(tales[t].size(), 2000u) << "tale " << t + 1;
        for (const auto& s : sizes) {
            TBook book;
            book.MarginX = 8;
            book.MarginY = 8;
            book.Paginate(&canvas, TRect{0, 0, s[0], s[1]}, tales[t].c_str());
            ASSERT_GT(book.PageCount(), 0);
            booktest::CheckLayout(book, canvas, tales[t], s[0] - 16,
                                  "tale " + std::to_string(t + 1) + " at " + std::to_string(s[0]) +
                                      "x" + std::to_string(s[1]));
        }
    }
}

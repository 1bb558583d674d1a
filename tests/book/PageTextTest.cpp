// A page's shown text for screen readers: the cover's words and a story
// page's lines as laid out, and offsets mapped to lines and columns.
#include <gtest/gtest.h>

#include <string>

#include "book/Book.h"
#include "book/PageText.h"
#include "platform/FixedCanvas.h"

namespace {

class PageTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        book.MarginX = book.MarginY = 8;
        story = "The Title\\n\\n";
        for (int i = 1; i <= 120; ++i)
            story += "word" + std::to_string(i) + (i % 40 == 0 ? "\\n" : " ");
        book.Paginate(&canvas, TRect{0, 0, 216, 200}, story.c_str());
        ASSERT_GE(book.PageCount(), 3);
    }
    TBook book;
    plat::FixedCanvas canvas{8, 20};
    std::string story;
};

TEST_F(PageTextTest, StoryPagesGiveTheirLinesAsLaidOut) {
    for (int p = 1; p <= book.PageCount(); ++p) {
        const TPageText page(book, p, story.c_str());
        std::string expected;
        for (int l = 1; l <= book.Page(p)->LineCount(); ++l)
            expected += (l > 1 ? "\n" : "") + book.Page(p)->LineText(story.c_str(), l);
        EXPECT_EQ(page.Text(), expected) << "page " << p;
        EXPECT_EQ(page.LineCount(), book.Page(p)->LineCount());
    }
    const TPageText first(book, 1, story.c_str());
    EXPECT_EQ(first.Text().substr(0, 11), "The Title\n\n") << "the title and its empty line";
    EXPECT_TRUE(TPageText(book, book.PageCount() + 1, story.c_str()).Text().empty());
    EXPECT_TRUE(TPageText(book, -1, story.c_str()).Text().empty());
    EXPECT_TRUE(TPageText(book, 1, nullptr).Text().empty());
}

TEST_F(PageTextTest, CoverGivesItsWordsOneToALine) {
    book.CoverText = "Hansel and Gretel";
    EXPECT_EQ(TPageText(book, 0, nullptr).Text(), "Hansel\nand\nGretel");
    book.CoverText = "Two  spaces";
    EXPECT_EQ(TPageText(book, 0, nullptr).Text(), "Two\n\nspaces") << "an empty word between";
    EXPECT_EQ(TPageText(book, 0, nullptr).LineCount(), 3);
}

TEST_F(PageTextTest, OffsetsMapToLinesAndColumnsAndBack) {
    book.CoverText = "ab cde";
    const TPageText page(book, 0, nullptr); // "ab\ncde"
    EXPECT_EQ(page.LineLength(1), 2);
    EXPECT_EQ(page.LineLength(2), 3);
    EXPECT_EQ(page.LineLength(3), 0);
    const struct {
        int offset, line, column;
    } cases[] = {{0, 1, 0}, {1, 1, 1}, {2, 1, 2}, {3, 2, 0}, {5, 2, 2}, {6, 2, 3}};
    for (const auto& c : cases) {
        const TPageText::Place at = page.PlaceOf(c.offset);
        EXPECT_EQ(at.line, c.line) << c.offset;
        EXPECT_EQ(at.column, c.column) << c.offset;
        EXPECT_EQ(page.OffsetOf(c.line, c.column), c.offset);
    }
    EXPECT_EQ(page.PlaceOf(-1).line, 0);
    EXPECT_EQ(page.PlaceOf(7).line, 0);
    EXPECT_EQ(page.OffsetOf(2, 99), 6) << "clamped to the line";
    EXPECT_EQ(page.OffsetOf(0, 0), -1);
    EXPECT_EQ(page.OffsetOf(3, 0), -1);
    // Every character of a story page maps back to itself.
    const TPageText story1(book, 2, story.c_str());
    for (int i = 0; i < static_cast<int>(story1.Text().size()); ++i) {
        const TPageText::Place at = story1.PlaceOf(i);
        ASSERT_EQ(story1.OffsetOf(at.line, at.column), i);
    }
}

} // namespace

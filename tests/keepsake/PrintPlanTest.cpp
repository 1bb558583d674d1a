// Printing without a printer: the order of the sheets for a page range and a
// number of copies, the fitted font and the paper's margins, and the book's
// own margins coming back after laying out and drawing, also when drawing
// fails.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "book/Book.h"
#include "keepsake/PrintPlan.h"
#include "platform/FixedCanvas.h"

namespace {

// A story of a title and Words words in one paragraph.
std::string Story(int words) {
    std::string s = "The Title\\n\\n";
    for (int i = 1; i <= words; ++i)
        s += "word" + std::to_string(i) + " ";
    return s;
}

// A canvas whose text drawing fails, as a printer that runs out does.
class FailingCanvas : public plat::FixedCanvas {
public:
    FailingCanvas() : FixedCanvas(10, 20) {}
    void TextOut(int, int, std::string_view) override { throw std::runtime_error("out of paper"); }
};

class PrintPlanTest : public ::testing::Test {
protected:
    void SetUp() override { book.MarginX = book.MarginY = 8; }

    TBook book;
    plat::FixedCanvas canvas{10, 20}; // 12 points: 10 pixels a character
    const std::string story = Story(2000);
};

TEST_F(PrintPlanTest, SheetsFollowTheRangeOneCopyAfterTheOther) {
    const TPrintPlan plan(book, canvas, story.c_str(), 4800, 6400, 12, 216);
    const int count = plan.PageCount();
    ASSERT_GE(count, 4);

    EXPECT_EQ(plan.Sheets(3, 2, 3), (std::vector<int>{2, 3, 2, 3, 2, 3}));
    EXPECT_EQ(plan.Sheets(1, 2, 2), (std::vector<int>{2}));
    // No range asks for every page; fewer than one copy is one copy.
    std::vector<int> all;
    for (int p = 1; p <= count; ++p)
        all.push_back(p);
    EXPECT_EQ(plan.Sheets(1, 0, 0), all);
    EXPECT_EQ(plan.Sheets(0, 1, count), all);
    EXPECT_EQ(plan.Sheets(-5, 0, 3), all);
    // The range ends at the last page; a range past it holds nothing.
    EXPECT_EQ(plan.Sheets(2, count, count + 7), (std::vector<int>{count, count}));
    EXPECT_TRUE(plan.Sheets(1, count + 1, count + 3).empty());
    EXPECT_TRUE(plan.Sheets(1, 3, 2).empty());
}

TEST_F(PrintPlanTest, FontFitsThePaperAndMarginsAreAnEighthOfIt) {
    const TPrintPlan plan(book, canvas, story.c_str(), 4800, 6400, 12, 216);
    EXPECT_EQ(plan.MarginX(), 600);
    EXPECT_EQ(plan.MarginY(), 800);
    // Between 50 and 60 widths of "n" span the paper.
    canvas.SetFontSize(plan.FontSize());
    const int widths = 4800 / canvas.TextWidth("n");
    EXPECT_GE(widths, 50);
    EXPECT_LE(widths, 60);
    // The screen's pages are left alone.
    EXPECT_EQ(book.PageCount(), 0);
}

TEST_F(PrintPlanTest, BookMarginsComeBackAfterLayingOutAndDrawing) {
    const TPrintPlan plan(book, canvas, story.c_str(), 4800, 6400, 12, 216);
    EXPECT_EQ(book.MarginX, 8);
    EXPECT_EQ(book.MarginY, 8);

    canvas.SetBold(true);
    plan.DrawPage(book, canvas, 1);
    EXPECT_EQ(book.MarginX, 8);
    EXPECT_EQ(book.MarginY, 8);
    // The sheet is drawn at the paper's margins in the plan's font.
    const auto texts = canvas.TextCalls();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_GE(texts.back().x, 600);
    EXPECT_EQ(texts.back().size, plan.FontSize());
    EXPECT_FALSE(texts.back().bold);

    FailingCanvas failing;
    EXPECT_THROW(plan.DrawPage(book, failing, 2), std::runtime_error);
    EXPECT_EQ(book.MarginX, 8);
    EXPECT_EQ(book.MarginY, 8);
}

TEST_F(PrintPlanTest, EmptyStoryHasNoSheets) {
    const TPrintPlan plan(book, canvas, "", 4800, 6400, 12, 216);
    EXPECT_EQ(plan.PageCount(), 0);
    EXPECT_TRUE(plan.Sheets(3, 0, 0).empty());
}

} // namespace

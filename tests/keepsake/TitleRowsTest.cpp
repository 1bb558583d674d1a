// A title never overprints: whatever the length of the first paragraph (from
// one word to more than a page), the rows drawn on story page 1 never overlap,
// on the screen, in print, in the picture book and under the read-aloud
// light; and the picture book's cover title stays above its picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "book/Book.h"
#include "reading/ReadHighlight.h"
#include "reading/StorySentences.h"
#include "keepsake/PictureBookPlan.h"
#include "keepsake/PrintPlan.h"
#include "platform/FixedCanvas.h"

namespace {

const std::string M = "\\n";
using Call = plat::FixedCanvas::Call;

// A first paragraph of Words words, then Markers markers and a paragraph.
std::string Story(int words, int markers) {
    std::string s;
    for (int i = 1; i <= words; ++i)
        s += (i > 1 ? " w" : "Title") + std::to_string(i);
    for (int i = 0; i < markers; ++i)
        s += M;
    return s + "Once upon a time there was a story that went on for a while.";
}

struct Row {
    int top, bottom;
    std::string text;
};

// The rows of the text calls with letters, at the heights the fixed canvas
// gives their sizes (LineHeight at 12 points).
std::vector<Row> TextRows(const std::vector<Call>& calls, int lineHeight) {
    std::vector<Row> rows;
    for (const Call& c : calls)
        if (c.kind == Call::Text && !c.text.empty())
            rows.push_back({c.y, c.y + lineHeight * c.size / 12, c.text});
    return rows;
}

void ExpectNoOverlap(std::vector<Row> rows, const std::string& what) {
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.top < b.top; });
    for (std::size_t i = 1; i < rows.size(); ++i)
        ASSERT_LE(rows[i - 1].bottom, rows[i].top)
            << what << ": \"" << rows[i - 1].text << "\" over \"" << rows[i].text << "\"";
}

// The first paragraph's lengths to try: every word count up to more than a
// page of them.
constexpr int kMaxWords = 140;

} // namespace

TEST(TitleRows, NoTwoRowsOfPageOneOverlapOnScreenOrUnderTheLight) {
    for (const int charWidth : {10, 5}) {
        for (const int markers : {1, 2}) {
            for (const int height : {320, 8 + 8 + 3 * 20, 8 + 8 + 20}) {
                for (int words = 1; words <= kMaxWords; ++words) {
                    const std::string what = "char width " + std::to_string(charWidth) + ", " +
                                             std::to_string(markers) + " markers, height " +
                                             std::to_string(height) + ", " + std::to_string(words) +
                                             " words";
                    plat::FixedCanvas canvas(charWidth, 20);
                    TBook book;
                    book.MarginX = book.MarginY = 8;
                    const std::string text = Story(words, markers);
                    book.Paginate(&canvas, TRect{0, 0, 216, height}, text.c_str());
                    ASSERT_GE(book.PageCount(), 1) << what;
                    canvas.ClearCalls();
                    book.DrawPage(&canvas, 216, text.c_str(), 1, height);
                    const std::vector<Row> rows = TextRows(canvas.Calls(), 20);
                    ExpectNoOverlap(rows, what);
                    ASSERT_LE(rows.back().bottom, height - 8) << what << ": below the page";

                    // The light falls where each line stands, so it too
                    // never covers two rows.
                    std::vector<Row> lit;
                    const TPage* page = book.Page(1);
                    int l = 0;
                    for (const TLumNode* n = page->Lines.First; n; n = n->Next) {
                        const auto* line = static_cast<const TLine*>(n);
                        const TRect r = book.LinePartRectFrom(&book.Pages, &canvas, 216, 1, ++l, 0,
                                                              line->Length, text.c_str());
                        if (!r.IsEmpty())
                            lit.push_back({r.Top, r.Bottom, line->GetText(text.c_str())});
                    }
                    ASSERT_EQ(lit.size(), rows.size()) << what;
                    for (std::size_t i = 0; i < lit.size(); ++i) {
                        ASSERT_EQ(lit[i].top, rows[i].top) << what << ": " << lit[i].text;
                        ASSERT_EQ(lit[i].bottom, rows[i].bottom) << what << ": " << lit[i].text;
                    }
                }
            }
        }
    }
}

TEST(TitleRows, ATitleTooLongForThePageIsDrawnAtTheTextSizeInItsOwnRow) {
    // A saved story with lone CRs is one paragraph: its first line is the
    // title, drawn bold at the text's size, and the next line under it.
    plat::FixedCanvas canvas(10, 20);
    TBook book;
    book.MarginX = book.MarginY = 8;
    std::string text = "Lily and the Three Koalas\rOnce upon a time";
    for (int i = 0; i < 200; ++i)
        text += " there were three koalas";
    book.Paginate(&canvas, TRect{0, 0, 216, 320}, text.c_str());
    const TPage* page = book.Page(1);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->TitleLines, 1);
    EXPECT_EQ(page->TitleRows, 1);
    EXPECT_EQ(page->TitleSize, 12);
    EXPECT_EQ(page->LineCount(), 15) << "a whole page of lines under it";
    canvas.ClearCalls();
    book.DrawPage(&canvas, 216, text.c_str(), 1, 320);
    const auto calls = canvas.TextCalls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0].size, 12);
    EXPECT_TRUE(calls[0].bold);
    EXPECT_EQ(calls[0].y, 8);
    EXPECT_EQ(calls[1].y, 28);
    EXPECT_FALSE(calls[1].bold);

    // A one-line title straight above its text takes the rows of its height.
    TBook tight;
    tight.MarginX = tight.MarginY = 8;
    const std::string two = "Title" + M + "Text";
    tight.Paginate(&canvas, TRect{0, 0, 216, 320}, two.c_str());
    EXPECT_EQ(tight.Page(1)->TitleRows, 2) << "33 pixels high: two lines of 20";
}

TEST(TitleRows, NoTwoRowsOverlapInPrintOrInThePictureBook) {
    for (int words = 1; words <= kMaxWords; words += 3) {
        const std::string text = Story(words * 4, 1);
        const std::string what = std::to_string(words * 4) + " words";
        {
            plat::FixedCanvas canvas(10, 20);
            TBook book;
            book.MarginX = book.MarginY = 8;
            const TPrintPlan plan(book, canvas, text.c_str(), 600, 500, 12, 216);
            canvas.ClearCalls();
            plan.DrawPage(book, canvas, 1);
            ExpectNoOverlap(TextRows(canvas.Calls(), 20), "print, " + what);
        }
        {
            plat::FixedCanvas canvas(10, 20);
            TPictureBookPlan plan(canvas, text.c_str(), 600, 880, 300, 12);
            ASSERT_GE(plan.StoryPages(), 1);
            canvas.ClearCalls();
            plan.DrawPage(canvas, 2);
            ExpectNoOverlap(TextRows(canvas.Calls(), 20), "picture book, " + what);

            // The cover's title stands above the picture, a line apart.
            const auto& cover = plan.CoverGeometry();
            ASSERT_FALSE(cover.title.empty()) << what;
            const int lh = 20 * cover.titlePoints / 12;
            for (std::size_t i = 0; i < cover.title.size(); ++i) {
                EXPECT_LE(cover.title[i].y + lh, cover.picture.Top) << what;
                if (i > 0)
                    EXPECT_EQ(cover.title[i].y, cover.title[i - 1].y + lh) << what;
            }
            EXPECT_GE(cover.titlePoints, plan.TextSize()) << what;
        }
    }
}

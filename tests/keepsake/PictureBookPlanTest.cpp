// The picture book's plan on a canvas of fixed metrics: the paper sizes, the
// picture's twist level, what each page holds, the story's words in order
// with a number at each page's foot, the cover's frame, title and picture,
// and "The End".
#include <gtest/gtest.h>

#include <sstream>

#include "keepsake/PictureBookPlan.h"
#include "platform/FixedCanvas.h"

namespace {

using Call = plat::FixedCanvas::Call;
using Kind = TPictureBookPlan::Page::Kind;

// A title and Words words "w1 w2 ..." in paragraphs of 30 words.
std::string Story(int words, const std::string& title = "Goldilox and the Three Bears") {
    std::string s = title + "\\n\\n";
    for (int i = 1; i <= words; ++i)
        s += "w" + std::to_string(i) + (i % 30 == 0 ? "\\n\\n" : " ");
    return s;
}

// Numbers of the words "wN" in Text, in order.
std::vector<int> Words(const std::string& text) {
    std::vector<int> out;
    std::istringstream in(text);
    for (std::string w; in >> w;)
        if (w.size() > 1 && w[0] == 'w' && std::isdigit(static_cast<unsigned char>(w[1])))
            out.push_back(std::stoi(w.substr(1)));
    return out;
}

} // namespace

TEST(PictureBookPlan, PaperAndTwist) {
    using P = TPictureBookPlan;
    EXPECT_EQ(P::PaperFor(false), P::Paper::A5);
    EXPECT_EQ(P::PaperFor(true), P::Paper::HalfLetter);
    EXPECT_EQ(P::PagePixels(P::Paper::A5, 300), (P::Size{1748, 2480}));
    EXPECT_EQ(P::PagePixels(P::Paper::A5, 72), (P::Size{420, 595}));
    EXPECT_EQ(P::PagePixels(P::Paper::HalfLetter, 300), (P::Size{1650, 2550}));
    EXPECT_EQ(P::PagePixels(P::Paper::HalfLetter, 72), (P::Size{396, 612}));
    EXPECT_EQ(P::FileName("Goldilox", {2026, 12, 8, 17, 5}), "Goldilox 2026-12-08 17.05.pdf");
    EXPECT_EQ(P::FileName("RR-Hood", {2027, 1, 31, 9, 0}, 2), "RR-Hood 2027-01-31 09.00 (2).pdf");
    // The nearest of the three pictures.
    for (const auto& [percent, level] : std::vector<std::pair<int, int>>{
             {0, 0}, {24, 0}, {25, 1}, {50, 1}, {74, 1}, {75, 2}, {100, 2}, {-5, 0}, {250, 2}})
        EXPECT_EQ(P::PictureLevel(percent), level) << percent;
}

TEST(PictureBookPlan, PagesHoldTheStoryInOrderNumberedAtTheFoot) {
    plat::FixedCanvas canvas(24, 52, 12); // 36 x 78 pixels at 18 points
    const std::string story = Story(900);
    TPictureBookPlan plan(canvas, story.c_str(), 1748, 2480, 300, 12);
    EXPECT_EQ(plan.TextSize(), 18);
    EXPECT_EQ(plan.Title(), "Goldilox and the Three Bears");
    ASSERT_GE(plan.StoryPages(), 3);
    const int n = plan.StoryPages();
    EXPECT_EQ(plan.PageCount(), n + 2) << "cover, story, The End";
    EXPECT_EQ(plan.At(1), (TPictureBookPlan::Page{Kind::Cover, 0}));
    EXPECT_EQ(plan.At(2), (TPictureBookPlan::Page{Kind::Story, 1}));
    EXPECT_EQ(plan.At(n + 1), (TPictureBookPlan::Page{Kind::Story, n}));
    EXPECT_EQ(plan.At(n + 2).kind, Kind::TheEnd);
    EXPECT_EQ(plan.At(n + 3).kind, Kind::Blank) << "a booklet's padding";
    EXPECT_EQ(plan.At(0).kind, Kind::Blank);
    EXPECT_EQ(canvas.FontSize(), 12) << "the canvas's size as before";

    std::vector<int> words;
    for (int p = 2; p <= n + 1; ++p) {
        canvas.ClearCalls();
        plan.DrawPage(canvas, p);
        const auto texts = canvas.TextCalls();
        ASSERT_GE(texts.size(), 2u);
        // The number: last, centred, below every line and on the page.
        const Call& number = texts.back();
        EXPECT_EQ(number.text, std::to_string(p - 1));
        EXPECT_EQ(number.x, (1748 - canvas.TextWidth(number.text) * 18 / 12) / 2);
        EXPECT_FALSE(number.bold);
        for (std::size_t i = 0; i + 1 < texts.size(); ++i) {
            EXPECT_LT(texts[i].y + 78, number.y) << "page " << p;
            EXPECT_GE(texts[i].x, plan.MarginX());
            EXPECT_LE(texts[i].x + 36 * static_cast<int>(texts[i].text.size()),
                      1748 - plan.MarginX());
            for (int w : Words(texts[i].text))
                words.push_back(w);
        }
        EXPECT_LE(number.y + 78, 2480);
        if (p == 2) {
            // The title as the book draws it: bold, perhaps on two lines.
            std::string title;
            for (std::size_t i = 0; i < texts.size() && texts[i].bold; ++i)
                title += (title.empty() ? "" : " ") + texts[i].text;
            EXPECT_EQ(title, "Goldilox and the Three Bears");
        }
    }
    ASSERT_EQ(words.size(), 900u);
    for (int i = 0; i < 900; ++i)
        ASSERT_EQ(words[i], i + 1) << "the words in order";

    canvas.ClearCalls();
    plan.DrawPage(canvas, n + 2);
    const auto end = canvas.TextCalls();
    ASSERT_EQ(end.size(), 1u);
    EXPECT_EQ(end[0].text, "The End");
    EXPECT_TRUE(end[0].bold);
    EXPECT_EQ(end[0].x, (1748 - 7 * 72) / 2) << "centred at twice the story's size";
    canvas.ClearCalls();
    plan.DrawPage(canvas, n + 3);
    EXPECT_TRUE(canvas.Calls().empty()) << "a blank page";
}

TEST(PictureBookPlan, CoverFramesTitleAndAWholePixelPicture) {
    const std::string story = Story(50, "Goldilox and the Three Very Enormous Hungry Bears");
    for (const auto& [w, h] :
         std::vector<std::pair<int, int>>{{1748, 2480}, {1650, 2550}, {420, 595}, {3496, 2480}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        // Letters of the same size on paper at 72 and at 300 dpi.
        const int dpi = w == 420 ? 72 : 300;
        const int cw = dpi == 72 ? 6 : 24, lh0 = dpi == 72 ? 13 : 52;
        plat::FixedCanvas canvas(cw, lh0, 12);
        TPictureBookPlan plan(canvas, story.c_str(), w, h, dpi, 12);
        const TPictureBookPlan::Cover& c = plan.CoverGeometry();
        // Two outlines, the inner within the outer, both on the page.
        EXPECT_GT(c.inner.Left, c.outer.Left + c.rule);
        EXPECT_LT(c.inner.Right, c.outer.Right - c.rule);
        EXPECT_GT(c.inner.Top, c.outer.Top + c.rule);
        EXPECT_LT(c.inner.Bottom, c.outer.Bottom - c.rule);
        EXPECT_GT(c.outer.Left, 0);
        EXPECT_LT(c.outer.Bottom, h);
        // The picture: whole pixels, centred, inside the frame.
        const int side = c.picture.Right - c.picture.Left;
        EXPECT_EQ(side, 150 * c.pictureScale);
        EXPECT_EQ(c.picture.Bottom - c.picture.Top, side);
        EXPECT_LE(std::abs(c.picture.Left - (w - c.picture.Right)), 1) << "centred";
        EXPECT_GT(c.picture.Left, c.inner.Left);
        EXPECT_LT(c.picture.Bottom, c.inner.Bottom);
        if (w >= 1000) {
            EXPECT_GE(c.pictureScale, 4) << "large on paper";
        }
        // The title: every word once, in order, centred lines above the picture.
        ASSERT_FALSE(c.title.empty());
        std::string joined;
        const int lh = lh0 * c.titlePoints / 12;
        for (const auto& l : c.title) {
            joined += (joined.empty() ? "" : " ") + l.text;
            const int lw = cw * static_cast<int>(l.text.size()) * c.titlePoints / 12;
            EXPECT_LE(std::abs(l.x - (w - lw) / 2), 1);
            EXPECT_GT(l.x, c.inner.Left);
            EXPECT_GT(l.y, c.inner.Top);
            EXPECT_LE(l.y + lh, c.picture.Top);
        }
        EXPECT_EQ(joined, plan.Title());
        EXPECT_GE(c.titlePoints, plan.TextSize());

        canvas.ClearCalls();
        plan.DrawPage(canvas, 1);
        const auto texts = canvas.TextCalls();
        ASSERT_EQ(texts.size(), c.title.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(texts[i].text, c.title[i].text);
            EXPECT_TRUE(texts[i].bold);
            EXPECT_EQ(texts[i].size, c.titlePoints);
        }
        int fills = 0;
        for (const Call& call : canvas.Calls())
            if (call.kind == Call::Fill) {
                ++fills;
                EXPECT_TRUE(call.x == c.outer.Left || call.x == c.inner.Left ||
                            call.right == c.outer.Right || call.right == c.inner.Right);
            }
        EXPECT_EQ(fills, 8) << "two outlines of four rules";
        EXPECT_EQ(canvas.FontSize(), 12);
        EXPECT_FALSE(canvas.Bold());
    }
}

TEST(PictureBookPlan, AnEmptyStoryIsACoverAndTheEnd) {
    plat::FixedCanvas canvas(24, 52, 12);
    TPictureBookPlan plan(canvas, "", 1748, 2480, 300, 12);
    EXPECT_EQ(plan.StoryPages(), 0);
    EXPECT_EQ(plan.PageCount(), 2);
    EXPECT_EQ(plan.At(2).kind, Kind::TheEnd);
    EXPECT_TRUE(plan.CoverGeometry().title.empty());
    TPictureBookPlan none(canvas, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(none.PageCount(), 2);
}

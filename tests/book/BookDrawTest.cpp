// Drawing book pages with the fixed-metric canvas: the story lines and the
// title (and where the read-aloud highlight lights a title's words), the
// cover's frame, words and picture, and pages that do not exist.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book/Book.h"
#include "reading/ReadHighlight.h"
#include "reading/StorySentences.h"
#include "image/RL8Image.h"
#include "image/RL8ImageData.h"
#include "platform/FixedCanvas.h"

namespace {

const std::string M = "\\n";
using Call = plat::FixedCanvas::Call;

struct Drawn {
    plat::FixedCanvas canvas{10, 20}; // 12 points: 10 pixels a character, lines 20 high
    TBook book;
    std::string text;

    explicit Drawn(std::string t) : text(std::move(t)) {
        book.MarginX = book.MarginY = 8;
        book.Paginate(&canvas, TRect{0, 0, 216, 320}, text.c_str());
    }
    std::vector<Call> Draw(int page) {
        canvas.ClearCalls();
        book.DrawPage(&canvas, 216, text.c_str(), page, 320);
        return canvas.Calls();
    }
};

void ExpectText(const Call& c, int x, int y, const std::string& text, int size, bool bold) {
    EXPECT_EQ(c.kind, Call::Text);
    EXPECT_EQ(c.x, x) << text;
    EXPECT_EQ(c.y, y) << text;
    EXPECT_EQ(c.text, text);
    EXPECT_EQ(c.size, size) << text;
    EXPECT_EQ(c.bold, bold) << text;
}

} // namespace

TEST(BookDraw, TitleBoldLargerAndCentred) {
    Drawn d("Title" + M + M + "One short sentence.");
    const auto calls = d.Draw(1);
    ASSERT_EQ(calls.size(), 3u);
    // 20 points: 5 characters of 16 pixels (83 after the division), centred.
    ExpectText(calls[0], (216 - 83) / 2, 8, "Title", 20, true);
    // The title advances by one normal line; the rest is flush left.
    ExpectText(calls[1], 8, 28, "", 12, false);
    ExpectText(calls[2], 8, 48, "One short sentence.", 12, false);
    EXPECT_EQ(calls[2].pen, 0u);
    EXPECT_EQ(d.canvas.FontSize(), 12);
    EXPECT_FALSE(d.canvas.Bold());
}

TEST(BookDraw, TitleShrinksToStartAtTheMargin) {
    Drawn d(std::string(20, 'T') + M + "x");
    const auto calls = d.Draw(1);
    ASSERT_EQ(calls.size(), 2u);
    ExpectText(calls[0], 8, 8, std::string(20, 'T'), 12, true); // 13 points would start at 0
    // Only page 1 has a title.
    Drawn two("Title" + M + std::string(15 * 21, 'x'));
    ASSERT_EQ(two.book.PageCount(), 2);
    const auto page2 = two.Draw(2);
    ASSERT_FALSE(page2.empty());
    ExpectText(page2[0], 8, 8, std::string(20, 'x'), 12, false);
}

TEST(BookDraw, AWrappingTitleIsDrawnWholeEachLineCentredAndLitWhereItStands) {
    // 5 pixels a character at 12 points; the title's lines at 20 points are
    // 33 high and take four lines of 20.
    plat::FixedCanvas canvas(5, 20);
    TBook book;
    book.MarginX = book.MarginY = 8;
    const std::string text =
        "Queen Marigold and the Three Garden Gnomes" + M + M + "Once upon a time.";
    book.Paginate(&canvas, TRect{0, 0, 216, 320}, text.c_str());
    book.DrawPage(&canvas, 216, text.c_str(), 1, 320);
    const auto calls = canvas.Calls();
    ASSERT_EQ(calls.size(), 4u);
    ExpectText(calls[0], (216 - 183) / 2, 8, "Queen Marigold and the", 20, true);
    ExpectText(calls[1], (216 - 158) / 2, 8 + 33, "Three Garden Gnomes", 20, true);
    ExpectText(calls[2], 8, 8 + 4 * 20, "", 12, false);
    ExpectText(calls[3], 8, 8 + 5 * 20, "Once upon a time.", 12, false);
    EXPECT_EQ(canvas.FontSize(), 12);
    EXPECT_FALSE(canvas.Bold());
    // "Garden" on the title's second line, and "Once" below the title.
    EXPECT_EQ(book.LinePartRectFrom(&book.Pages, &canvas, 216, 1, 2, 6, 12, text.c_str()),
              (TRect{29 + 50, 41, 29 + 100, 41 + 33}));
    EXPECT_EQ(book.LinePartRectFrom(&book.Pages, &canvas, 216, 1, 4, 0, 4, text.c_str()),
              (TRect{8, 108, 28, 128}));
    EXPECT_EQ(canvas.FontSize(), 12);
    EXPECT_FALSE(canvas.Bold());
    // Read aloud, the title is lit under both its lines.
    TStorySentences sentences;
    sentences.Build(text.c_str(), book.Pages);
    canvas.ClearCalls();
    TReadHighlight::Draw(book, canvas, 216, 1, sentences.Items[0].Parts, text.c_str());
    const auto fills = canvas.Calls();
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ((TRect{fills[0].x, fills[0].y, fills[0].right, fills[0].bottom}),
              (TRect{16 - 2, 8, 16 + 183 + 2, 8 + 33}));
    EXPECT_EQ((TRect{fills[1].x, fills[1].y, fills[1].right, fills[1].bottom}),
              (TRect{29 - 2, 41, 29 + 158 + 2, 41 + 33}));
}

TEST(BookDraw, PagesThatDoNotExistDrawNothing) {
    Drawn d("Title" + M + "text");
    EXPECT_TRUE(d.Draw(-1).empty());
    EXPECT_TRUE(d.Draw(2).empty());
    EXPECT_FALSE(d.Draw(1).empty());
    d.canvas.ClearCalls();
    d.book.DrawPageFrom(nullptr, &d.canvas, 216, 320, 1, d.text.c_str());
    d.book.DrawPage(nullptr, 216, d.text.c_str(), 1, 320);
    EXPECT_TRUE(d.canvas.Calls().empty());
}

TEST(BookDraw, CoverFrameAndWords) {
    Drawn d(""); // no pages: the cover still draws
    d.book.CoverText = "The Three Bears";
    const auto calls = d.Draw(0);
    ASSERT_EQ(calls.size(), 13u);
    const int frame[][3] = {{Call::Move, 8, 8},    {Call::Line, 8, 311},   {Call::Line, 207, 311},
                            {Call::Line, 207, 8},  {Call::Line, 8, 8},     {Call::Move, 11, 11},
                            {Call::Line, 11, 308}, {Call::Line, 204, 308}, {Call::Line, 204, 11},
                            {Call::Line, 11, 11}};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(calls[i].kind, frame[i][0]) << i;
        EXPECT_EQ(calls[i].x, frame[i][1]) << i;
        EXPECT_EQ(calls[i].y, frame[i][2]) << i;
    }
    // 24 points: 20 pixels a character, lines 40 high; the block starts two
    // fifths down the page: (320 - 3 * 40 - 2 * 15) * 2 / 5 + 8 = 76.
    ExpectText(calls[10], (216 - 60) / 2, 76, "The", 24, false);
    ExpectText(calls[11], (216 - 100) / 2, 76 + 55, "Three", 24, false);
    ExpectText(calls[12], (216 - 100) / 2, 76 + 110, "Bears", 24, false);
    EXPECT_EQ(d.canvas.FontSize(), 12);
}

TEST(BookDraw, CoverWordsFitTheWidthAndCountEmptyWords) {
    Drawn d("");
    d.book.CoverText = "A  Rumpelstiltskin";
    const auto texts = [&] {
        d.Draw(0);
        return d.canvas.TextCalls();
    }();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1].text, "");
    // 15 characters fit 192 pixels at 15 points (187 pixels), not at 16.
    EXPECT_EQ(texts[2].size, 15);
    EXPECT_EQ(texts[2].x, (216 - 187) / 2);
    EXPECT_GT(texts[1].y, texts[0].y);
    EXPECT_GT(texts[2].y, texts[1].y);
}

TEST(BookDraw, CoverPictureAtPicturePos) {
    // A 150 x 450 picture of three squares (pixel values 10, 20, 30); the
    // middle one is shown.
    TRL8Image image;
    image.Initialize("pic", nullptr, 450, 150);
    auto surface = image.CreateImageData(&plat::BitmapInfo::Template());
    for (int y = 0; y < 450; ++y)
        for (int x = 0; x < 150; ++x) {
            *surface->StartLine(x, y) = static_cast<uint8_t>(10 * (1 + y / 150));
            surface->UnlockSegment(x, y);
        }
    Drawn d("");
    d.book.CoverText = "Tale";
    d.book.Picture = surface.get();
    d.book.PictureRect = TRect{0, 150, 150, 300};
    plat::MemoryDrawTarget& target = d.canvas.MakeTarget(216, 320, 0xFFFFFFFFu);
    d.Draw(0);
    // 5 * 150 > 2 * 320: the text ends 8 above the picture's height from the
    // foot; the picture stands at (33, 162 - 8 - 4).
    EXPECT_EQ(d.book.PicturePos, (TPoint{33, 150}));
    uint32_t lut[256];
    target.ColourTable(plat::BitmapInfo::Template(), lut);
    EXPECT_EQ(target.Rgb(33, 150), lut[20] & 0xFFFFFFu);
    EXPECT_EQ(target.Rgb(182, 299), lut[20] & 0xFFFFFFu);
    EXPECT_NE(lut[20] & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(target.Pixel(32, 150), 0xFFFFFFFFu);
    EXPECT_EQ(target.Pixel(183, 299), 0xFFFFFFFFu);
    EXPECT_EQ(target.Pixel(33, 149), 0xFFFFFFFFu);
    EXPECT_EQ(target.Pixel(33, 300), 0xFFFFFFFFu);
    const auto texts = d.canvas.TextCalls();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_GE(texts[0].y, 8 + 4 + 8);
    // A small picture: the text area ends three fifths down.
    d.book.PictureRect = TRect{0, 0, 100, 100};
    d.Draw(0);
    EXPECT_EQ(d.book.PicturePos, (TPoint{58, 320 * 3 / 5 - 12}));
    image.FreeImageData(std::move(surface));
}

TEST(BookDraw, ALargeCoverShowsItsPictureInWholePixelBlocksAndItsWordsLarger) {
    // A 150 x 150 checkerboard of the values 10 and 20.
    TRL8Image image;
    image.Initialize("pic", nullptr, 150, 150);
    auto surface = image.CreateImageData(&plat::BitmapInfo::Template());
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 150; ++x) {
            *surface->StartLine(x, y) = static_cast<uint8_t>((x + y) % 2 ? 20 : 10);
            surface->UnlockSegment(x, y);
        }
    EXPECT_EQ(TBook::CoverPictureScale(216, 320, 150, 150, 8, 8), 1) << "the first size";
    // The lower half of the page inside the frame holds three across and
    // down, not four down.
    EXPECT_EQ(TBook::CoverPictureScale(880, 982, 150, 150, 8, 8), 3);
    EXPECT_EQ(TBook::CoverPictureScale(880, 2 * (8 + 12 + 600) - 2, 150, 150, 8, 8), 3);
    EXPECT_EQ(TBook::CoverPictureScale(880, 2 * (8 + 12 + 600), 150, 150, 8, 8), 4);
    EXPECT_EQ(TBook::CoverPictureScale(2 * (8 + 3 + 8) + 599, 5000, 150, 150, 8, 8), 3)
        << "the width decides";

    plat::FixedCanvas canvas(10, 20);
    TBook book;
    book.MarginX = book.MarginY = 8;
    book.CoverText = "The Three Bears";
    book.Picture = surface.get();
    book.PictureRect = TRect{0, 0, 150, 150};
    plat::MemoryDrawTarget& target = canvas.MakeTarget(880, 982, 0xFFFFFFFFu);
    book.DrawPage(&canvas, 880, nullptr, 0, 982);
    EXPECT_EQ(book.PictureScale, 3);
    EXPECT_EQ(book.PicturePos, (TPoint{(880 - 450) / 2, 982 - 450 - 8 - 8 - 4}));
    uint32_t lut[256];
    target.ColourTable(plat::BitmapInfo::Template(), lut);
    const TPoint at = book.PicturePos;
    for (int py : {0, 1, 149})
        for (int px : {0, 1, 148, 149}) {
            const uint32_t want = lut[(px + py) % 2 ? 20 : 10] & 0xFFFFFFu;
            for (int dy = 0; dy < 3; ++dy)
                for (int dx = 0; dx < 3; ++dx)
                    ASSERT_EQ(target.Rgb(at.X + 3 * px + dx, at.Y + 3 * py + dy), want)
                        << px << "," << py << " +" << dx << "," << dy;
        }
    EXPECT_EQ(target.Pixel(at.X - 1, at.Y), 0xFFFFFFFFu);
    EXPECT_EQ(target.Pixel(at.X + 450, at.Y + 449), 0xFFFFFFFFu);
    EXPECT_EQ(target.Pixel(at.X, at.Y + 450), 0xFFFFFFFFu);
    // The words: three times their normal size where the page is wide
    // enough, all above the picture.
    auto texts = canvas.TextCalls();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].size, 3 * 24);
    EXPECT_LE(texts[2].y + canvas.TextHeight("A") * 3 * 24 / 12, at.Y);
    EXPECT_GE(texts[0].y, 8 + 4);
    EXPECT_EQ(canvas.FontSize(), 12);
    // A long word: as large as the width allows.
    book.CoverText = "Rumpelstiltskin";
    canvas.ClearCalls();
    book.DrawPage(&canvas, 880, nullptr, 0, 982);
    texts = canvas.TextCalls();
    ASSERT_EQ(texts.size(), 1u);
    const int points = texts[0].size;
    EXPECT_GT(points, 24);
    EXPECT_LE(15 * 10 * points / 12, 880 - 2 * 8 - 8);
    EXPECT_GT(15 * 10 * (points + 1) / 12, 880 - 2 * 8 - 8);
    image.FreeImageData(std::move(surface));
}

TEST(BookDraw, CoverOnATinyPageEnds) {
    // The size loops stop at 1 point; a single word still ends its loop.
    Drawn d("");
    d.book.CoverText = "Word";
    d.canvas.ClearCalls();
    d.book.DrawPage(&d.canvas, 20, nullptr, 0, 10);
    EXPECT_EQ(d.canvas.TextCalls().size(), 1u);
    d.book.CoverText = "Many words on a tiny cover";
    d.book.DrawPage(&d.canvas, 20, nullptr, 0, 10);
    EXPECT_EQ(d.canvas.FontSize(), 12);
}

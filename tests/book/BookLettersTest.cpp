// The letters of the story's pages without a window: the kept choice and
// what bad values read as, the size a page shows the bigger letters at, the
// printed size of the bigger letters, the window size the bigger letters need
// and how far a screen lets the window grow, and where the letters panel
// stands on the cover spread.
#include <gtest/gtest.h>

#include <string>

#include "book/Book.h"
#include "book/BookGeometry.h"
#include "book/BookLetters.h"
#include "keepsake/PrintPlan.h"
#include "platform/FixedCanvas.h"

namespace {

using Face = TBookLetters::Face;

TEST(BookLetters, KeptChoiceAndBadValues) {
    const TBookLetters classic = TBookLetters::FromSettings("0", "0");
    EXPECT_EQ(classic, TBookLetters{}) << "classic letters at the normal size by default";
    EXPECT_STREQ(classic.Family(), "Times New Roman");
    EXPECT_EQ(classic.Points(), 12);

    const TBookLetters easyBig = TBookLetters::FromSettings("1", "1");
    EXPECT_EQ(easyBig.face, Face::EasyRead);
    EXPECT_TRUE(easyBig.big);
    EXPECT_STREQ(easyBig.Family(), "Andika");
    EXPECT_EQ(easyBig.Points(), 18);
    EXPECT_STREQ(easyBig.LettersValue(), "1");
    EXPECT_STREQ(easyBig.BigLettersValue(), "1");

    for (const char* bad : {"", "2", "yes", " 1", "1 ", "01", "true"}) {
        const TBookLetters read = TBookLetters::FromSettings(bad, bad);
        EXPECT_EQ(read, TBookLetters{}) << "\"" << bad << "\"";
    }
    // Every choice reads back as it was kept.
    for (const Face face : {Face::Classic, Face::EasyRead})
        for (const bool big : {false, true}) {
            TBookLetters l;
            l.face = face;
            l.big = big;
            EXPECT_EQ(TBookLetters::FromSettings(l.LettersValue(), l.BigLettersValue()), l);
        }
}

TEST(BookLetters, BiggerLettersShrinkOnlyWhereALineWouldHoldTooFewLetters) {
    // 10 pixels a character at 12 points: "n" is 15 pixels at 18 points.
    plat::FixedCanvas canvas(10, 20);
    TBookLetters big;
    big.big = true;
    EXPECT_EQ(big.FitPoints(canvas, 300), 18) << "20 widths of 15 pixels fit";
    EXPECT_EQ(canvas.FontSize(), 18);
    // 260 pixels: 17 points gives 14-pixel "n" (18 of them), 16 points 13
    // pixels (20 of them).
    EXPECT_EQ(big.FitPoints(canvas, 260), 16);
    EXPECT_EQ(canvas.FontSize(), 16);
    // Never below the normal size, even where that fits too few.
    EXPECT_EQ(big.FitPoints(canvas, 100), 12);
    // The normal size is never enlarged.
    EXPECT_EQ(TBookLetters{}.FitPoints(canvas, 5000), 12);
    // A page that fits the bigger size lays out with 20 or more widths of
    // "n" a line.
    TBook book;
    book.MarginX = book.MarginY = 8;
    std::string story = "Title\\n\\n";
    for (int i = 0; i < 200; ++i)
        story += "word ";
    big.FitPoints(canvas, 260 - 16);
    book.Paginate(&canvas, TRect{0, 0, 260, 320}, story.c_str());
    EXPECT_GT(book.PageCount(), 0);
}

TEST(BookLetters, BiggerLettersPrintOneAndAHalfTimesAsLarge) {
    TBookLetters normal, big;
    big.big = true;
    EXPECT_EQ(normal.PrintBand().minWidths, 50);
    EXPECT_EQ(normal.PrintBand().maxWidths, 60);
    EXPECT_EQ(normal.PrintBand().aimWidths, 55);
    EXPECT_EQ(big.PrintBand().minWidths, 33);
    EXPECT_EQ(big.PrintBand().maxWidths, 40);

    std::string story = "Title\\n\\n";
    for (int i = 0; i < 3000; ++i)
        story += "word ";
    const int paper = 4800;
    TBook book;
    plat::FixedCanvas canvas(10, 20);
    const TPrintPlan plain(book, canvas, story.c_str(), paper, 6800, 12, 216, normal.PrintBand());
    const TPrintPlan bigger(book, canvas, story.c_str(), paper, 6800, 18, 216, big.PrintBand());
    const auto widths = [&](int points) { return paper / (10 * points / 12); };
    EXPECT_GE(widths(plain.FontSize()), 50);
    EXPECT_LE(widths(plain.FontSize()), 60);
    EXPECT_GE(widths(bigger.FontSize()), 33);
    EXPECT_LE(widths(bigger.FontSize()), 40);
    const double ratio = double(bigger.FontSize()) / plain.FontSize();
    EXPECT_GT(ratio, 1.3);
    EXPECT_LT(ratio, 1.7);
    EXPECT_GT(bigger.PageCount(), plain.PageCount()) << "bigger letters take more sheets";
}

TEST(BookLetters, BiggerLettersGrowTheWindowAsFarAsTheScreenAllowsThenStepDown) {
    // 10 pixels a character at 12 points, lines 20 high: "n" is 15 pixels
    // at 18 points, so a line must be 300 wide.
    plat::FixedCanvas canvas(10, 20);
    TBookLetters big;
    big.big = true;
    const TBookBox need = TBookGeometry::ClientForLine(big.LineNeeded(canvas), 592, 418);
    EXPECT_EQ(TBookGeometry::LeftPage(need.width, need.height).width - 2 * 8, 300);
    EXPECT_EQ(TBookGeometry::LeftPage(need.width - 2, need.height).width - 2 * 8, 299);
    EXPECT_NEAR(double(need.height) / need.width, 418.0 / 592, 0.002) << "the book's proportions";
    // The line pitch the letters give in a window grown within Area, over
    // the normal letters' at the first size.
    const auto pitchRatio = [&](const TBookBox& area, TBookBox& grown) {
        const TBookBox first{(area.width - 592) / 2, (area.height - 418) / 2, 592, 418};
        grown = TBookGeometry::GrowWithin(first, need.width, need.height, area);
        big.FitPoints(canvas, TBookGeometry::LeftPage(grown.width, grown.height).width - 16);
        const double pitch = canvas.TextHeight("A");
        canvas.SetFontSize(TBookLetters::kNormalPoints);
        return pitch / canvas.TextHeight("A");
    };
    TBookBox grown;
    // A 1280 x 1024 screen holds the size where 18 points stand whole:
    // half as large again as the normal letters, the window centred where
    // it stood.
    EXPECT_GE(pitchRatio({0, 0, 1280, 1024}, grown), 1.4);
    EXPECT_EQ(grown.width, need.width);
    EXPECT_EQ(grown.height, need.height);
    EXPECT_EQ(grown.left + grown.width / 2, 1280 / 2);
    EXPECT_EQ(grown.top + grown.height / 2, 1024 / 2);
    EXPECT_EQ(big.FitPoints(canvas, TBookGeometry::LeftPage(grown.width, grown.height).width - 16),
              18);
    // A screen too small: the window takes all of it and the letters step
    // down to what its lines hold.
    const double small = pitchRatio({0, 0, 640, 480}, grown);
    EXPECT_EQ(grown, (TBookBox{0, 0, 640, 480}));
    EXPECT_LT(small, 1.4);
    EXPECT_GT(small, 1.0);
}

TEST(BookLetters, AGrownWindowStaysOnTheScreensFreeAreaAndNeverShrinks) {
    const TBookBox area{0, 30, 1280, 994}; // a panel along the top
    // Near the top-left corner: grown about its centre, then moved inside.
    EXPECT_EQ(TBookGeometry::GrowWithin({10, 40, 592, 418}, 792, 560, area),
              (TBookBox{0, 30, 792, 560}));
    // Near the bottom-right corner.
    EXPECT_EQ(TBookGeometry::GrowWithin({680, 600, 592, 418}, 792, 560, area),
              (TBookBox{488, 464, 792, 560}));
    // Already large enough, or larger on one side: kept as it is there.
    EXPECT_EQ(TBookGeometry::GrowWithin({5, 50, 900, 700}, 792, 560, area),
              (TBookBox{5, 50, 900, 700}));
    EXPECT_EQ(TBookGeometry::GrowWithin({100, 100, 900, 418}, 792, 560, area),
              (TBookBox{100, 30, 900, 560}));
}

TEST(BookLetters, LettersPanelStandsAboveTheTwistPanelAndTheStackClosesUpWhenShort) {
    const TBookGeometry::CoverControls heights{29, 29, 73, 73, 62};
    const TBookBox small = TBookGeometry::RightPage(592, 418);
    TBookGeometry::CoverControls top;
    // Room enough: the controls stand where they stand without the panel.
    int letters = TBookGeometry::StackCoverWithLetters(small, heights, 30, false, true, true, top);
    const TBookGeometry::CoverControls plain =
        TBookGeometry::StackCover(small, heights, false, true, true);
    EXPECT_EQ(top.twist, plain.twist);
    EXPECT_EQ(top.newStory, plain.newStory);
    EXPECT_EQ(letters, plain.twist - 8 - 30);
    // Every control and a saved story: the stack closes up so that the
    // panel stays on the paper, and nothing overlaps.
    letters = TBookGeometry::StackCoverWithLetters(small, heights, 30, true, true, true, top);
    EXPECT_GE(letters, small.top - 10);
    EXPECT_LE(letters + 30, top.twist);
    EXPECT_LE(top.twist + 62, top.heroine);
    EXPECT_LE(top.heroine + 73, top.hero);
    EXPECT_LE(top.hero + 73, top.newStory);
    EXPECT_LE(top.newStory + 29, top.readSaved);
    EXPECT_LE(top.readSaved + 29, small.Bottom());
}

} // namespace

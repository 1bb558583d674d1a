// The storybook's window rules without a window: the spread's controls, the
// turn-page hint, "Read to me", the resize arithmetic, the cover's stacking, the message timer and
// the painted book's piece table.
#include <gtest/gtest.h>
#include <utility>

#include <tuple>

#include "book/Book.h"
#include "book/BookFoot.h"
#include "book/BookGeometry.h"
#include "book/BookPieces.h"
#include "book/BookSpread.h"
#include "book/MessageClock.h"
#include "platform/FixedCanvas.h"

namespace {

TBookSpread::Controls At(int page, int count, bool saved = false) {
    TBookSpread::Input in;
    in.currentPage = page;
    in.pageCount = count;
    in.hasHero = in.hasHeroine = true;
    in.savedStoryExists = saved;
    return TBookSpread::Compute(in);
}

} // namespace

TEST(BookSpread, CoverNeverTurnsAndOffersTheSavedStoryOnlyThere) {
    const auto cover = At(0, 5, true);
    EXPECT_FALSE(cover.canTurnBack);
    EXPECT_FALSE(cover.canTurnForward);
    EXPECT_TRUE(cover.readSaved && cover.hero && cover.heroine && cover.twistAndNewStory);
    EXPECT_FALSE(cover.commands);
    const auto story = At(1, 5, true);
    EXPECT_FALSE(story.readSaved || story.hero || story.twistAndNewStory);
    EXPECT_FALSE(story.canTurnBack);
    EXPECT_TRUE(story.canTurnForward);
    EXPECT_FALSE(At(0, 5, false).readSaved);
    // A book without pages shows the commands on its cover.
    EXPECT_TRUE(At(0, 0).commands);
}

TEST(BookSpread, CommandsStandOnTheLastSpreadForOddAndEvenCounts) {
    // Odd: the last page is a left page; its spread holds the commands.
    EXPECT_TRUE(At(5, 5).commands);
    EXPECT_FALSE(At(5, 5).canTurnForward);
    EXPECT_TRUE(At(5, 5).canTurnBack);
    // Even: the spread after the last one.
    EXPECT_FALSE(At(3, 4).commands);
    EXPECT_TRUE(At(3, 4).canTurnForward);
    EXPECT_TRUE(At(5, 4).commands);
    EXPECT_EQ(TBookSpread::CommandsSpread(4), 5);
    EXPECT_EQ(TBookSpread::CommandsSpread(5), 5);
}

TEST(BookSpread, TurnPageHintNeedsTwoSpareLinesOnTheLastRightPage) {
    plat::FixedCanvas canvas(6, 10);
    TBook book;
    book.MarginX = book.MarginY = 8;
    // Page height holds 10 lines of 10 px after the margins.
    std::string text = "Title\\n\\n";
    for (int i = 0; i < 14; ++i)
        text += "Line number " + std::to_string(i) + " of the story.\\n";
    const TRect page{0, 0, 200, 116};
    book.Paginate(&canvas, page, text.c_str());
    ASSERT_EQ(book.PageCount(), 2);
    const int last = book.PageLineCount(2), before = book.PageLineCount(1);
    EXPECT_EQ(TBookSpread::TurnPageHint(book, 2), last <= before - 2);
    EXPECT_TRUE(TBookSpread::TurnPageHint(book, 2));
    EXPECT_FALSE(TBookSpread::TurnPageHint(book, 1)); // odd
    EXPECT_FALSE(TBookSpread::TurnPageHint(book, 4)); // beyond the end
    // Fill the right page up to one line short of the left: no hint.
    std::string full = text;
    while (book.PageCount() == 2 && book.PageLineCount(2) < book.PageLineCount(1) - 1) {
        full += "More.\\n";
        book.Paginate(&canvas, page, full.c_str());
    }
    if (book.PageCount() == 2) {
        EXPECT_FALSE(TBookSpread::TurnPageHint(book, 2));
    }
}

TEST(BookSpread, SurfaceCursorSidesAndBounds) {
    using S = TBookSpread::Side;
    EXPECT_EQ(TBookSpread::SurfaceSide(39, 100, 592, 418), S::None);
    EXPECT_EQ(TBookSpread::SurfaceSide(40, 30, 592, 418), S::Left);
    EXPECT_EQ(TBookSpread::SurfaceSide(304, 100, 592, 418), S::Left); // 592/2 + 9 = 305
    EXPECT_EQ(TBookSpread::SurfaceSide(305, 100, 592, 418), S::Right);
    EXPECT_EQ(TBookSpread::SurfaceSide(551, 100, 592, 418), S::Right);
    EXPECT_EQ(TBookSpread::SurfaceSide(552, 100, 592, 418), S::None);
    EXPECT_EQ(TBookSpread::SurfaceSide(100, 376, 592, 418), S::None);
    EXPECT_EQ(TBookSpread::SurfaceSide(100, 29, 592, 418), S::None);
}

TEST(BookGeometry, ResizeMovesTheAnchorsByTheGrowth) {
    TBookGeometry g;
    g.Create(592, 418);
    EXPECT_EQ(g.prevPage, (TBookBox{24, 370, 24, 24}));
    EXPECT_EQ(g.nextPage, (TBookBox{544, 370, 24, 24}));
    auto s = g.Resize(592, 418);
    EXPECT_EQ(s.dx, 0);
    EXPECT_EQ(s.dy, 0);
    EXPECT_EQ(s.leftPage, (TBookBox{60, 49, 216, 320}));
    EXPECT_EQ(s.rightPage, (TBookBox{326, 49, 216, 320}));
    s = g.Resize(1000, 500);
    EXPECT_EQ(s.dx, 408);
    EXPECT_EQ(s.dy, 82);
    EXPECT_EQ(g.nextPage.left, 952);
    EXPECT_EQ(g.prevPage.top, 452);
    EXPECT_EQ(g.Resize(1000, 500).dx, 0); // nothing grew since
    EXPECT_EQ(TBookGeometry::CentredLeft(s.rightPage, 169),
              s.rightPage.left + 10 + (420 - 169) / 2);

    // The turn-page hint ends above the forward arrow at every size, centred on
    // the right page.
    for (auto [w, h] : {std::pair{592, 418}, std::pair{1920, 1080}}) {
        const TBookBox rp = TBookGeometry::RightPage(w, h);
        const TBookBox hint =
            TBookGeometry::TurnPageHint(rp, TBookFoot(w, h, 1).ForwardArrow().top, 218, 33);
        EXPECT_EQ(hint.Bottom(), h - 64) << w;
        EXPECT_LE(hint.Bottom(), rp.Bottom());
        EXPECT_EQ(hint.left, rp.left + (rp.width - 218) / 2);
    }
}

TEST(BookSpread, ReadToMeStandsOnStorySpreadsOnlyWithAVoice) {
    TBookSpread::Input in;
    in.pageCount = 4;
    in.canReadAloud = true;
    for (int page : {1, 3})
        EXPECT_TRUE((in.currentPage = page, TBookSpread::Compute(in).readToMe)) << page;
    // Not the cover, not the empty spread after an even count.
    for (int page : {0, 5})
        EXPECT_FALSE((in.currentPage = page, TBookSpread::Compute(in).readToMe)) << page;
    in.currentPage = 1;
    in.canReadAloud = false;
    EXPECT_FALSE(TBookSpread::Compute(in).readToMe);
}

TEST(BookGeometry, CoverControlsStackUpFromThePageFoot) {
    const TBookBox rp = TBookGeometry::RightPage(592, 418); // foot at 369
    const TBookGeometry::CoverControls h{29, 29, 73, 73, 62};
    // Everything: "Read saved story" lowest, 24 below "Create story".
    auto top = TBookGeometry::StackCover(rp, h, true, true, true);
    EXPECT_EQ(top.readSaved, 369 - 10 - 29);
    EXPECT_EQ(top.newStory + 29, top.readSaved - 24);
    EXPECT_EQ(top.hero, top.newStory - 8 - 73);
    EXPECT_EQ(top.heroine, top.hero - 8 - 73);
    EXPECT_EQ(top.twist, top.heroine - 8 - 62);
    // Controls that do not stand take no room.
    top = TBookGeometry::StackCover(rp, h, false, false, true);
    EXPECT_EQ(top.newStory, 369 - 10 - 29);
    EXPECT_EQ(top.heroine, top.newStory - 8 - 73);
    EXPECT_EQ(top.twist, top.heroine - 8 - 62);
    top = TBookGeometry::StackCover(rp, h, false, false, false);
    EXPECT_EQ(top.twist, top.newStory - 8 - 62);
}

TEST(MessageClock, ASecondStartDoesNotRestartTheWait) {
    TMessageClock c;
    EXPECT_TRUE(c.Start(1000));
    EXPECT_FALSE(c.Start(2000)); // the copy one second after the save
    EXPECT_EQ(c.Remaining(2000), 1500u);
    EXPECT_FALSE(c.Due(3499));
    EXPECT_TRUE(c.Due(3500));
    EXPECT_FALSE(c.Running());
    // Across the wrap of the tick counter.
    EXPECT_TRUE(c.Start(0xFFFFFF00u));
    EXPECT_FALSE(c.Due(0x100u));
    EXPECT_TRUE(c.Due(0xFFFFFF00u + 2500u));
}

TEST(BookPieces, TheBookIsCoveredWithoutGapsAndRunsAreClipped) {
    for (auto [w, h, scale] : {std::tuple{592, 418, 1}, std::tuple{1920, 1080, 2},
                               std::tuple{651, 503, 1}, std::tuple{2560, 1440, 3}}) {
        std::vector<int> cover(std::size_t(w) * h, 0);
        const auto pieces = TBookPieces::Layout(w, h, false, true, scale);
        for (const auto& p : pieces) {
            const int pw = (p.source.Right - p.source.Left) * p.scale;
            const int ph = (p.source.Bottom - p.source.Top) * p.scale;
            ASSERT_GT(pw, 0);
            ASSERT_GT(ph, 0);
            ASSERT_LE(pw, 200 * scale);
            for (int y = std::max(0, p.dest.Y); y < std::min(h, p.dest.Y + ph); ++y)
                for (int x = std::max(0, p.dest.X); x < std::min(w, p.dest.X + pw); ++x)
                    cover[std::size_t(y) * w + x] = 1;
        }
        for (int i = 0; i < w * h; ++i)
            ASSERT_EQ(cover[i], 1) << w << "x" << h << " gap at " << i % w << "," << i / w;
        EXPECT_EQ(pieces.back().source.Top, 175); // forward arrow, enabled
        EXPECT_EQ(pieces[pieces.size() - 2].source.Top, 100);
        EXPECT_EQ(pieces[pieces.size() - 3].dest, (TPoint{w - 32 * scale, 30})); // the close tab
    }
}

// At every size and scale the painted controls stand apart, inside the
// window, below the pages' lowest text, and the close ribbon's hit area
// clear of the right page.
TEST(BookFoot, TheControlsStandApartBelowTheText) {
    for (auto [w, h, scale] : {std::tuple{592, 418, 1}, std::tuple{1920, 1080, 2},
                               std::tuple{1280, 1024, 2}, std::tuple{2560, 1440, 3}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const TBookFoot foot(w, h, scale);
        const TBookBox boxes[] = {foot.BackArrow(), foot.ShowTwists(), foot.ReadToMe(),
                                  foot.ReadPace(), foot.ForwardArrow()};
        for (std::size_t i = 0; i < std::size(boxes); ++i) {
            EXPECT_GE(boxes[i].left, 0);
            EXPECT_LE(boxes[i].Bottom(), h);
            if (i > 0)
                EXPECT_LT(boxes[i - 1].Right(), boxes[i].left) << "apart, left to right " << i;
            for (const TBookBox& page :
                 {TBookGeometry::LeftPage(w, h, scale), TBookGeometry::RightPage(w, h, scale)})
                EXPECT_GE(boxes[i].top, page.Bottom() - TBookGeometry::kMargin - 15)
                    << "no lower into a page than at scale 1";
        }
        EXPECT_EQ(foot.ReadToMe().height, 25 * scale);
        EXPECT_GE(foot.Close().left, TBookGeometry::RightPage(w, h, scale).Right());
        EXPECT_LE(foot.Close().Right(), w);
    }
}

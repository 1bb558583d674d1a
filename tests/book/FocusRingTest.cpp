// The focus ring's places: the gap it leaves around a control, its strips
// covering the frame once, and where it stands on a page area with the focus.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>

#include "book/FocusRing.h"

namespace {

// How many strips cover each pixel of the ring whose outer edge is Outer.
std::map<std::pair<int, int>, int> Cover(const TRect& outer) {
    std::map<std::pair<int, int>, int> count;
    for (const TRect& s : TFocusRing::Strips(outer))
        for (int y = s.Top; y < s.Bottom; ++y)
            for (int x = s.Left; x < s.Right; ++x)
                ++count[{x, y}];
    return count;
}

} // namespace

TEST(FocusRing, AroundLeavesTheGapBetweenTheControlAndTheRing) {
    const TRect box{10, 20, 40, 30};
    const TRect outer = TFocusRing::Around(box);
    const int in = TFocusRing::kWidth;
    const TRect inner{outer.Left + in, outer.Top + in, outer.Right - in, outer.Bottom - in};
    EXPECT_EQ(inner, (TRect{box.Left - TFocusRing::kGap, box.Top - TFocusRing::kGap,
                            box.Right + TFocusRing::kGap, box.Bottom + TFocusRing::kGap}));
}

TEST(FocusRing, StripsCoverTheFrameOnceAndNothingInside) {
    for (const TRect& outer : {TRect{0, 0, 20, 10}, TRect{-5, 3, 1, 9}, TRect{4, 4, 7, 5},
                               TRect{0, 0, 2 * TFocusRing::kWidth, 30}}) {
        const std::map<std::pair<int, int>, int> count = Cover(outer);
        const int w = std::min(
            {TFocusRing::kWidth, (outer.Right - outer.Left) / 2, (outer.Bottom - outer.Top) / 2});
        for (int y = outer.Top; y < outer.Bottom; ++y)
            for (int x = outer.Left; x < outer.Right; ++x) {
                const bool frame = x < outer.Left + w || x >= outer.Right - w ||
                                   y < outer.Top + w || y >= outer.Bottom - w;
                const auto found = count.find({x, y});
                EXPECT_EQ(found == count.end() ? 0 : found->second, frame ? 1 : 0)
                    << x << "," << y << " of " << outer.Left << "," << outer.Top << ","
                    << outer.Right << "," << outer.Bottom;
            }
        for (const auto& [at, n] : count)
            EXPECT_TRUE(outer.Contains(at.first, at.second));
    }
}

TEST(FocusRing, OnAPageItStandsAroundWhatIsMarkedElseAlongTheEdgeAboveTheFoot) {
    const TRect word{30, 40, 70, 55};
    const TRect other{5, 60, 25, 75};
    EXPECT_EQ(TFocusRing::OnPage(200, 300, 280, {word, TRect{}, other}),
              (std::vector<TRect>{TFocusRing::Around(word), TFocusRing::Around(other)}));
    EXPECT_EQ(TFocusRing::OnPage(200, 300, 280, {}), (std::vector<TRect>{{0, 0, 200, 280}}));
    EXPECT_EQ(TFocusRing::OnPage(200, 300, 280, {TRect{}}), (std::vector<TRect>{{0, 0, 200, 280}}))
        << "an empty box marks nothing";
    EXPECT_EQ(TFocusRing::OnPage(200, 300, 400, {}), (std::vector<TRect>{{0, 0, 200, 300}}))
        << "a band below the page cuts nothing";
}

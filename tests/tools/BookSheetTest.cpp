// The "book" sheet of the built game library: the storybook window tiles its
// pieces in runs of 100 pixels, clipped anywhere, so the pieces must join
// seamlessly whatever the window size. These tests check the rules that make
// that true on the packed pixels, and that the close tab and the page arrows,
// which are drawn opaque over the book, carry the pixels they cover.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/Files.h"
#include "support/TestSupport.h"

using fbwtest::RunTool;
using fbwtest::TempDir;

namespace {

constexpr int kW = 500;
constexpr int kH = 300;

class BookSheet : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string lib = fbwtest::YarnsDir() + "/yarns.rl8";
        if (!plat::FileExists(lib))
            GTEST_SKIP() << "no game library built (the art needs Qt)";
        auto r = RunTool({"rl8", "export", lib, "book", dir_ / "book.raw", "--raw"});
        ASSERT_EQ(r.status, 0) << r.err;
        px_ = fbwtest::ReadBytes(dir_ / "book.raw");
        ASSERT_EQ(px_.size(), static_cast<size_t>(kW * kH));
    }

    uint8_t At(int x, int y) const { return static_cast<uint8_t>(px_[y * kW + x]); }

    // Pixels of column x (or row y) from y0 to y1 (x0 to x1), exclusive.
    std::string Column(int x, int y0, int y1) const {
        std::string s;
        for (int y = y0; y < y1; ++y)
            s += static_cast<char>(At(x, y));
        return s;
    }
    std::string Row(int y, int x0, int x1) const { return px_.substr(y * kW + x0, x1 - x0); }

    TempDir dir_;
    std::string px_;
};

} // namespace

TEST_F(BookSheet, RunsRepeatAlongTheirLength) {
    // Top and bottom edges: every column alike; left and right edges and the
    // gutter: every row alike; the paper: one colour.
    for (int x = 100; x < 200; ++x) {
        EXPECT_EQ(Column(x, 0, 100), Column(100, 0, 100)) << "top edge, column " << x;
        EXPECT_EQ(Column(x, 200, 300), Column(100, 200, 300)) << "bottom edge, column " << x;
    }
    for (int y = 100; y < 200; ++y) {
        EXPECT_EQ(Row(y, 0, 100), Row(100, 0, 100)) << "left edge, row " << y;
        EXPECT_EQ(Row(y, 400, 500), Row(100, 400, 500)) << "right edge, row " << y;
        EXPECT_EQ(Row(y, 250, 350), Row(100, 250, 350)) << "gutter, row " << y;
        EXPECT_EQ(Row(y, 100, 200), std::string(100, static_cast<char>(At(100, 100))))
            << "paper, row " << y;
    }
}

TEST_F(BookSheet, CornersAndSpineMeetTheRuns) {
    const std::string top = Column(100, 0, 100);
    const std::string bottom = Column(100, 200, 300);
    const std::string left = Row(100, 0, 100);
    const std::string right = Row(100, 400, 500);
    // A corner's inner column continues the edge beside it; its inner row
    // the edge below or above it.
    EXPECT_EQ(Column(99, 0, 100), top);
    EXPECT_EQ(Column(400, 0, 100), top);
    EXPECT_EQ(Column(99, 200, 300), bottom);
    EXPECT_EQ(Column(400, 200, 300), bottom);
    EXPECT_EQ(Row(99, 0, 100), left);
    EXPECT_EQ(Row(200, 0, 100), left);
    EXPECT_EQ(Row(99, 400, 500), right);
    EXPECT_EQ(Row(200, 400, 500), right);
    // The spine pieces start and end like the edges they sit between and
    // meet the paper and the gutter.
    for (int x : {200, 399}) {
        EXPECT_EQ(Column(x, 0, 100), top) << "spine top, column " << x;
        EXPECT_EQ(Column(x, 200, 300), bottom) << "spine bottom, column " << x;
    }
    const std::string paper(50, static_cast<char>(At(100, 100)));
    for (int y : {99, 200}) {
        EXPECT_EQ(Row(y, 200, 250), paper) << "row " << y;
        EXPECT_EQ(Row(y, 250, 350), Row(100, 250, 350)) << "row " << y;
        EXPECT_EQ(Row(y, 350, 400), paper) << "row " << y;
    }
}

TEST_F(BookSheet, TabAndArrowsCarryWhatTheyCover) {
    // The close tab stands at (W - 32, 30): its rows 0-49 lie over the top
    // right corner from (48, 50), the rest over the right edge from column 48.
    auto under_tab = [&](int c, int r) {
        return r < 50 ? At(448 + c, 50 + r) : At(448 + c, 100 + (r - 50));
    };
    for (int r = 0; r < 80; ++r)
        for (int c : {0, 1, 2, 3, 4, 5})
            EXPECT_EQ(At(350 + c, 100 + r), under_tab(c, r)) << "tab " << c << "," << r;
    for (int c = 0; c < 40; ++c)
        EXPECT_EQ(At(350 + c, 179), under_tab(c, 79)) << "tab bottom row, column " << c;

    // The arrows stand at (40, H - 64) and (W - 80, H - 64), over the bottom
    // corners from (60, 16) and (0, 16): their borders are what lies beneath.
    for (int top : {100, 125, 150, 175}) {
        const int cx = top < 150 ? 60 : 400; // sheet column of the covered corner
        for (int x = 0; x < 40; ++x)
            for (int y : {0, 24})
                EXPECT_EQ(At(200 + x, top + y), At(cx + x, 216 + y)) << top << ": " << x;
        for (int y = 0; y < 25; ++y)
            for (int x : {0, 39})
                EXPECT_EQ(At(200 + x, top + y), At(cx + x, 216 + y)) << top << ": " << y;
    }
}

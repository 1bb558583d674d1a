// The folded booklet: for books of 1 to 40 pages, every page is on exactly
// one side, the blanks come last, the sheets fold into reading order, and the
// print jobs for two sides and for one side at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "keepsake/BookletImposition.h"

using Side = TBookletImposition::Side;

TEST(BookletImposition, EveryPageOnceBlanksLastAndFoldedInReadingOrder) {
    for (int n = 1; n <= 40; ++n) {
        SCOPED_TRACE("n = " + std::to_string(n));
        const TBookletImposition b(n);
        const int padded = b.PaddedPages();
        ASSERT_EQ(padded % 4, 0);
        ASSERT_GE(padded, n);
        ASSERT_LT(padded - n, 4) << "fewer than four blanks";
        ASSERT_EQ(b.Sheets(), padded / 4);

        std::map<int, int> seen; // page -> times
        for (int k = 1; k <= b.Sheets(); ++k) {
            const Side f = b.Front(k), back = b.Back(k);
            EXPECT_EQ(f, (Side{k, true, padded - 2 * k + 2, 2 * k - 1}));
            EXPECT_EQ(back, (Side{k, false, 2 * k, padded - 2 * k + 1}));
            for (int p : {f.left, f.right, back.left, back.right})
                ++seen[p];
            // Folded, a sheet's back follows its front's right page, and
            // its back's right page comes before the front's left page.
            EXPECT_EQ(back.left, f.right + 1);
            EXPECT_EQ(back.right + 1, f.left);
        }
        ASSERT_EQ(static_cast<int>(seen.size()), padded);
        for (int p = 1; p <= padded; ++p) {
            EXPECT_EQ(seen[p], 1) << "page " << p;
            EXPECT_EQ(b.IsBlank(p), p > n) << "page " << p;
        }

        // The stack of sheets, folded: reading the right pages of the fronts
        // then the backs' left pages inward and out gives 1, 2, ..., padded.
        std::vector<int> read;
        for (int k = 1; k <= b.Sheets(); ++k) {
            read.push_back(b.Front(k).right);
            read.push_back(b.Back(k).left);
        }
        for (int k = b.Sheets(); k >= 1; --k) {
            read.push_back(b.Back(k).right);
            read.push_back(b.Front(k).left);
        }
        std::vector<int> order(padded);
        for (int i = 0; i < padded; ++i)
            order[i] = i + 1;
        EXPECT_EQ(read, order);

        // Two sides: one job, each front followed by its back.
        const auto two = b.Jobs(false, 1, 0, 0);
        ASSERT_EQ(two.size(), 1u);
        ASSERT_EQ(static_cast<int>(two[0].size()), 2 * b.Sheets());
        for (int k = 1; k <= b.Sheets(); ++k) {
            EXPECT_EQ(two[0][2 * (k - 1)], b.Front(k));
            EXPECT_EQ(two[0][2 * (k - 1) + 1], b.Back(k));
        }
        // One side at a time: every front, then every back, in sheet order.
        const auto one = b.Jobs(true, 1, 0, 0);
        ASSERT_EQ(one.size(), 2u);
        ASSERT_EQ(static_cast<int>(one[0].size()), b.Sheets());
        ASSERT_EQ(static_cast<int>(one[1].size()), b.Sheets());
        for (int k = 1; k <= b.Sheets(); ++k) {
            EXPECT_EQ(one[0][k - 1], b.Front(k));
            EXPECT_EQ(one[1][k - 1], b.Back(k));
        }
    }
    // The first sheet's front holds the last and the first page.
    const TBookletImposition twelve(12);
    EXPECT_EQ(twelve.Front(1).left, 12);
    EXPECT_EQ(twelve.Front(1).right, 1);
    EXPECT_EQ(TBookletImposition(0).Sheets(), 0);
    EXPECT_TRUE(TBookletImposition(0).Jobs(false, 1, 0, 0).empty());
    EXPECT_EQ(TBookletImposition(-3).Pages(), 0);
}

TEST(BookletImposition, CopiesAndASheetRange) {
    const TBookletImposition b(14); // 16 pages, 4 sheets
    // Two copies of sheets 2 to 3, two-sided: 2f 2b 3f 3b 2f 2b 3f 3b.
    const auto two = b.Jobs(false, 2, 2, 3);
    ASSERT_EQ(two.size(), 1u);
    const std::vector<Side> want = {b.Front(2), b.Back(2), b.Front(3), b.Back(3),
                                    b.Front(2), b.Back(2), b.Front(3), b.Back(3)};
    EXPECT_EQ(two[0], want);
    // One side at a time: the fronts of both copies, then their backs.
    const auto one = b.Jobs(true, 2, 2, 3);
    ASSERT_EQ(one.size(), 2u);
    EXPECT_EQ(one[0], (std::vector<Side>{b.Front(2), b.Front(3), b.Front(2), b.Front(3)}));
    EXPECT_EQ(one[1], (std::vector<Side>{b.Back(2), b.Back(3), b.Back(2), b.Back(3)}));
    // The range is cut to the sheets; none left gives no job; no copies is one.
    EXPECT_EQ(b.Jobs(false, 1, 3, 99)[0].size(), 4u);
    EXPECT_TRUE(b.Jobs(false, 1, 5, 9).empty());
    EXPECT_TRUE(b.Jobs(true, 1, 3, 2).empty());
    EXPECT_EQ(b.Jobs(false, 0, 1, 1)[0].size(), 2u);
}

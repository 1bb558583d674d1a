// The easy-read letters on real fonts: the ten tales laid out in Andika at
// the normal and the bigger size, on the storybook's smallest and largest
// pages and on paper, keep every layout invariant; the bigger letters are
// larger where the page has room for them.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QPainter>

#include "book/BookInvariants.h"
#include "book/BookLetters.h"
#include "book/PrintFont.h"
#include "platform/qt/QtCanvas.h"

namespace {

bool AndikaInstalled() {
    QImage image = plat::QtCanvas::MeasureImage(96);
    QPainter painter(&image);
    plat::QtCanvas canvas(painter, TBookLetters::kEasyReadFamily, 12);
    return QFontInfo(canvas.Font()).family() == TBookLetters::kEasyReadFamily;
}

TEST(EasyReadLetters, TenTalesKeepTheLayoutInvariantsAtBothSizes) {
    if (!AndikaInstalled())
        GTEST_SKIP()
            << "the Andika font is not installed (scripts/setup installs fonts-sil-andika)";
    const auto tales = booktest::TenTales();
    struct Page {
        int w, h, dpi;
        bool paper;
    } pages[] = {{216, 320, 96, false},    // the smallest window
                 {880, 950, 96, false},    // maximized on 1920 x 1080
                 {4960, 7016, 600, true}}; // A4 at 600 dpi
    for (const bool big : {false, true}) {
        TBookLetters letters;
        letters.face = TBookLetters::Face::EasyRead;
        letters.big = big;
        for (const Page& page : pages) {
            QImage image = plat::QtCanvas::MeasureImage(page.dpi);
            QPainter painter(&image);
            plat::QtCanvas canvas(painter, letters.Family(), letters.Points());
            TBook book;
            book.MarginX = page.paper ? page.w / 8 : 8;
            book.MarginY = page.paper ? page.h / 8 : 8;
            const int avail = page.w - 2 * book.MarginX;
            const int points =
                page.paper ? TPrintFont::Fit(canvas, page.w,
                                             TPrintFont::StartSize(letters.Points(), page.w, 216),
                                             letters.PrintBand())
                           : letters.FitPoints(canvas, avail);
            if (!page.paper && big && page.w > 400)
                EXPECT_EQ(points, TBookLetters::kBigPoints) << "a wide page shows the whole size";
            if (!page.paper && big)
                EXPECT_GT(points, TBookLetters::kNormalPoints) << "bigger at " << page.w;
            for (std::size_t t = 0; t < tales.size(); ++t) {
                book.Paginate(&canvas, TRect{0, 0, page.w, page.h}, tales[t].c_str());
                ASSERT_GT(book.PageCount(), 0);
                booktest::CheckLayout(book, canvas, tales[t], avail,
                                      "tale " + std::to_string(t + 1) + (big ? " bigger" : "") +
                                          " at " + std::to_string(page.w) + "x" +
                                          std::to_string(page.h));
            }
        }
    }
}

} // namespace

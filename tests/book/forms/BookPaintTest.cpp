// The painted book behind the storybook's pages, pixel for pixel against the
// piece table cut from the library image "book", at the smallest size and a
// larger one; and the page areas, which show the book through them.
#include <QPainter>

#include "BookFixture.h"
#include "book/BookPieces.h"
#include "book/qt/QtBookPieces.h"
#include "support/BookParts.h"

using BookPaintTest = BookFixture;

namespace {

// The book for a W x H client area as the piece table assembles it from Art.
QImage Assembled(const QImage& art, int w, int h, bool backOn, bool forwardOn) {
    QImage out(w, h, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    QtBookPieces::Paint(p, art, w, h, backOn, forwardOn);
    return out;
}

} // namespace

TEST_F(BookPaintTest, BookMatchesThePieceTableAtTwoSizes) {
    const QImage art = LibraryImage("book");
    ASSERT_EQ(art.size(), QSize(500, 300));
    OpenWith(5, Story(1500));
    const int W = 592, H = 418;
    ASSERT_EQ(book->Painter().BookPicture().size(), QSize(W, H));
    EXPECT_EQ(book->Painter().BookPicture(), Assembled(art, W, H, false, false));

    // Places taken from the table's text, not from the code: the close tab,
    // clipped by the right edge; the spine's top; the gutter's first row.
    const int mid = (W + 20) / 2;
    EXPECT_EQ(book->Painter().BookPicture().copy(W - 32, 30, 32, 80), art.copy(350, 100, 32, 80));
    EXPECT_EQ(book->Painter().BookPicture().copy(mid - 100, 0, 200, 80),
              art.copy(200, 20, 200, 80));
    EXPECT_EQ(book->Painter().BookPicture().copy(mid - 50, 80, 100, 100),
              art.copy(250, 100, 100, 100));
    // The last paper row is clipped to what is left above the bottom edge.
    const int lastRow = 80 + (H - 160) / 100 * 100;
    EXPECT_EQ(book->Painter().BookPicture().copy(80, lastRow, 100, H - 80 - lastRow),
              art.copy(100, 100, 100, H - 80 - lastRow));

    // A story spread in a larger window, both arrows on.
    book->ShowPages(3);
    book->resize(1000, 777);
    QCoreApplication::processEvents();
    ASSERT_EQ(book->Painter().BookPicture().size(), QSize(1000, 777));
    ASSERT_TRUE(fbwtest::Child<QPushButton>(*book, "cmdPrevPage").isEnabled() &&
                fbwtest::Child<QPushButton>(*book, "cmdNextPage").isEnabled());
    EXPECT_EQ(book->Painter().BookPicture(), Assembled(art, 1000, 777, true, true));
    EXPECT_EQ(book->Painter().BookPicture().copy(40, 777 - 64, 40, 25), art.copy(200, 125, 40, 25));
    EXPECT_EQ(book->Painter().BookPicture().copy(1000 - 80, 777 - 64, 40, 25),
              art.copy(200, 175, 40, 25));

    // Turning to the first spread redraws only the back arrow, off.
    book->ShowPages(1);
    EXPECT_EQ(book->Painter().BookPicture(), Assembled(art, 1000, 777, false, true));
    EXPECT_TRUE(errors.empty());
}

TEST_F(BookPaintTest, WindowShowsTheBookAroundAndThroughThePages) {
    OpenWith(5, Story(200));
    book->ShowPages(1);
    const QImage shown = book->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), book->size());
    // Between the page areas and around them the window is the book.
    const QRect gutter(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").geometry().right() + 1, 49,
                       fbwtest::Child<TPaintBox>(*book, "pbxRightPage").x() -
                           fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").geometry().right() - 1,
                       320);
    EXPECT_EQ(shown.copy(gutter), book->Painter().BookPicture().copy(gutter));
    EXPECT_EQ(shown.copy(0, 0, book->width(), 49),
              book->Painter().BookPicture().copy(0, 0, book->width(), 49));
    // The pages show what was drawn for them: the book with the text on it,
    // but for the buttons standing in the left page's bottom margin.
    const QRect left = fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").geometry(),
                right = fbwtest::Child<TPaintBox>(*book, "pbxRightPage").geometry();
    const auto without = [&](QImage page) {
        QPainter painter(&page);
        for (const char* button : {"pbxShowTwists", "cmdRecordVoice"})
            painter.fillRect(
                fbwtest::Child<QWidget>(*book, button).geometry().translated(-left.topLeft()),
                Qt::black);
        return page;
    };
    EXPECT_EQ(without(shown.copy(left)),
              without(book->Painter().PagePicture(TPagePainter::Side::Left)));
    EXPECT_EQ(shown.copy(right), book->Painter().PagePicture(TPagePainter::Side::Right));
    EXPECT_NE(book->Painter().PagePicture(TPagePainter::Side::Left),
              book->Painter().BookPicture().copy(left))
        << "text on the page";
    // The page's bottom margin row has no text: it is the book.
    EXPECT_EQ(book->Painter()
                  .PagePicture(TPagePainter::Side::Left)
                  .copy(0, left.height() - 4, left.width(), 4),
              book->Painter().BookPicture().copy(left.x(), left.bottom() - 3, left.width(), 4));
}

TEST_F(BookPaintTest, ArrowsShowTheirStateThroughPagesAndPanels) {
    const QImage art = LibraryImage("book");
    OpenWith(5, Story(400));
    const int count = book->Book().PageCount();
    ASSERT_GE(count, 5);
    const QRect back(40, book->height() - 64, 40, 25);
    const QRect forward(book->width() - 80, book->height() - 64, 40, 25);
    const auto shows = [&](const QRect& where, int sy) {
        const QImage shown = book->grab().toImage().convertToFormat(QImage::Format_RGB32);
        return shown.copy(where) == art.copy(200, sy, 40, 25);
    };
    book->ShowPages(1);
    EXPECT_TRUE(shows(back, 100)) << "back arrow off";
    EXPECT_TRUE(shows(forward, 175)) << "forward arrow on";
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxRightPage"), Qt::LeftButton, {},
                      QPoint(20, 20));
    ASSERT_EQ(book->CurrentPage(), 3);
    EXPECT_TRUE(shows(back, 125)) << "back arrow on, also where the page lies over it";
    // On the commands spread the panel leaves the forward arrow's corner free.
    book->ShowPages(count | 1);
    ASSERT_TRUE(fbwtest::Child<QWidget>(*book, "pnlCommands").isVisible());
    EXPECT_TRUE(shows(forward, 150)) << "forward arrow off";
    EXPECT_TRUE(shows(back, 125));
}

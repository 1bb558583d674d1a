// The Qt canvas: points to pixels at the device's dpi, widths that are the
// characters' advances and match what is drawn, one-pixel lines without
// their end point, and the book's layout and drawing on real fonts.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "book/BookInvariants.h"
#include "image/RL8Image.h"
#include "image/RL8ImageData.h"
#include "platform/qt/QtCanvas.h"

namespace {

const std::string M = "\\n";

// A white RGB32 image at Dpi with a painter and a canvas on it.
struct Sheet {
    QImage image;
    QPainter painter;
    std::unique_ptr<plat::QtCanvas> canvas;

    Sheet(int w, int h, int dpi = 96, const char* family = "Times New Roman", int points = 12)
        : image(w, h, QImage::Format_RGB32) {
        const int dpm = static_cast<int>(dpi / 0.0254 + 0.5);
        image.setDotsPerMeterX(dpm);
        image.setDotsPerMeterY(dpm);
        image.fill(Qt::white);
        painter.begin(&image);
        canvas = std::make_unique<plat::QtCanvas>(painter, family, points);
    }
    ~Sheet() {
        canvas.reset();
        if (painter.isActive())
            painter.end();
    }
    QImage Done() {
        painter.end();
        return image;
    }
};

// The bounding box of the non-white pixels of Image inside Area.
QRect Ink(const QImage& image, QRect area = {}) {
    if (area.isNull())
        area = image.rect();
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu)
                box |= QRect(x, y, 1, 1);
    return box;
}

bool Black(const QImage& image, int x, int y) {
    return (image.pixel(x, y) & 0xFFFFFFu) == 0;
}

} // namespace

TEST(QtCanvas, PointsBecomePixelsAtTheDevicesDpi) {
    Sheet screen(10, 10);
    EXPECT_EQ(screen.canvas->Dpi(), 96);
    EXPECT_EQ(screen.canvas->Font().pixelSize(), 16);
    EXPECT_EQ(screen.canvas->Font().family(), "Times New Roman");
    Sheet paper(10, 10, 600);
    EXPECT_EQ(paper.canvas->Font().pixelSize(), 100);
    paper.canvas->SetFontSize(0);
    EXPECT_EQ(paper.canvas->FontSize(), 1);
}

TEST(QtCanvas, WidthsAreTheAdvancesQtDraws) {
    Sheet s(10, 10);
    for (bool bold : {false, true}) {
        s.canvas->SetBold(bold);
        const QFontMetrics fm(s.canvas->Font(), &s.image);
        EXPECT_EQ(s.canvas->TextHeight("A"), fm.height());
        for (const char* text : {"n", "Once upon a time", "AVAVAV To Wa ffi fl",
                                 "\xC6"
                                 "r"
                                 "\xF8"
                                 "sk"
                                 "\xF8"
                                 "bing, \xE7"
                                 "a!"}) {
            const std::string t = text;
            EXPECT_EQ(s.canvas->TextWidth(t), fm.horizontalAdvance(QString::fromLatin1(text)))
                << text << (bold ? " bold" : "");
            // A prefix is never wider than the whole.
            for (std::size_t n = 1; n < t.size(); ++n)
                EXPECT_LE(s.canvas->TextWidth(t.substr(0, n)), s.canvas->TextWidth(t));
        }
    }
    EXPECT_EQ(s.canvas->TextWidth(""), 0);
    EXPECT_EQ(s.canvas->TextWidth("a\nb"), s.canvas->TextWidth("a b"));
}

TEST(QtCanvas, TextStandsWhereItWasMeasured) {
    Sheet s(400, 60);
    const std::string text = "Goldilocks and the Three Bears";
    const int w = s.canvas->TextWidth(text);
    s.canvas->TextOut(20, 10, text);
    const QRect ink = Ink(s.Done());
    EXPECT_NEAR(ink.left(), 20, 2);
    EXPECT_NEAR(ink.right() + 1, 20 + w, 2);
    EXPECT_GE(ink.top(), 10);
    EXPECT_LT(ink.bottom(), 10 + s.canvas->TextHeight("A"));
}

TEST(QtCanvas, LinesLeaveOutTheirEndPoint) {
    Sheet s(20, 20);
    s.canvas->SetPenColour(0x000000);
    s.canvas->MoveTo(2, 2);
    s.canvas->LineTo(10, 2);
    s.canvas->LineTo(10, 8);
    s.canvas->LineTo(4, 8);
    s.canvas->LineTo(4, 4);
    s.canvas->MoveTo(12, 12);
    s.canvas->LineTo(16, 16);
    const QImage img = s.Done();
    EXPECT_TRUE(Black(img, 2, 2));
    EXPECT_TRUE(Black(img, 9, 2));
    EXPECT_TRUE(Black(img, 10, 2)); // drawn as the start of the next line
    EXPECT_TRUE(Black(img, 10, 7));
    EXPECT_TRUE(Black(img, 5, 8));
    EXPECT_TRUE(Black(img, 4, 5));
    EXPECT_FALSE(Black(img, 4, 4));
    EXPECT_FALSE(Black(img, 11, 2));
    EXPECT_TRUE(Black(img, 12, 12));
    EXPECT_TRUE(Black(img, 15, 15));
    EXPECT_FALSE(Black(img, 16, 16));
}

TEST(QtCanvas, CoverFrameWordsAndPicture) {
    TRL8Image image;
    image.Initialize("pic", nullptr, 450, 150);
    auto surface = image.CreateImageData(&plat::BitmapInfo::Template());
    for (int y = 0; y < 450; ++y)
        for (int x = 0; x < 150; ++x) {
            *surface->StartLine(x, y) = static_cast<uint8_t>(60 * (1 + y / 150));
            surface->UnlockSegment(x, y);
        }
    Sheet s(216, 320);
    TBook book;
    book.MarginX = book.MarginY = 8;
    book.CoverText = "Goldilocks and the Three Bears";
    book.Picture = surface.get();
    book.PictureRect = TRect{0, 300, 150, 450};
    book.DrawPage(s.canvas.get(), 216, nullptr, 0, 320);
    const QImage img = s.Done();
    image.FreeImageData(std::move(surface));

    // The double frame: outer at 8 .. 207 and 8 .. 311, inner 3 inside.
    for (int x : {8, 100, 207}) {
        EXPECT_TRUE(Black(img, x, 8)) << x;
        EXPECT_TRUE(Black(img, x, 311)) << x;
        EXPECT_FALSE(Black(img, x, 7)) << x;
        EXPECT_FALSE(Black(img, x, 312)) << x;
    }
    for (int y : {8, 200, 311}) {
        EXPECT_TRUE(Black(img, 8, y)) << y;
        EXPECT_TRUE(Black(img, 207, y)) << y;
        EXPECT_FALSE(Black(img, 7, y)) << y;
        EXPECT_FALSE(Black(img, 208, y)) << y;
    }
    for (int y : {11, 200, 308})
        for (int x : {11, 100, 204})
            EXPECT_EQ(Black(img, x, y), x != 100 || y != 200) << x << "," << y;
    for (int i : {9, 10, 12})
        EXPECT_FALSE(Black(img, 100, i)) << i;
    // The picture: grey 180 (full twist) at PicturePos, 150 square.
    EXPECT_EQ(book.PicturePos, (TPoint{33, 150}));
    EXPECT_EQ(img.pixel(33, 150) & 0xFFFFFFu, 0xB4B4B4u);
    EXPECT_EQ(img.pixel(182, 299) & 0xFFFFFFu, 0xB4B4B4u);
    EXPECT_EQ(img.pixel(32, 200) & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(img.pixel(183, 200) & 0xFFFFFFu, 0xFFFFFFu);
    // Five words above the picture, each centred, inside the inner frame.
    const QRect words = Ink(img, QRect(12, 12, 192, 150 - 12));
    ASSERT_FALSE(words.isNull());
    EXPECT_GE(words.top(), 8 + 4 + 8);
    EXPECT_LT(words.bottom(), 150);
    EXPECT_NEAR(words.left() + words.right(), 215, 4);
}

TEST(QtCanvas, TitleIsBoldLargerAndCentred) {
    const std::string text = "The Tale" + M + M + "Once upon a time.";
    Sheet s(216, 320);
    TBook book;
    book.MarginX = book.MarginY = 8;
    book.Paginate(s.canvas.get(), TRect{0, 0, 216, 320}, text.c_str());
    ASSERT_EQ(book.PageLineCount(1), 3);
    book.DrawPage(s.canvas.get(), 216, text.c_str(), 1, 320);
    EXPECT_EQ(s.canvas->FontSize(), 12);
    EXPECT_FALSE(s.canvas->Bold());
    const int lh = s.canvas->TextHeight("A");
    const QImage img = s.Done();
    const QRect title = Ink(img, QRect(0, 0, 216, 8 + lh + 6));
    const QRect body = Ink(img, QRect(0, 8 + 2 * lh, 216, lh));
    EXPECT_NEAR(title.left() + title.right(), 215, 4) << "centred";
    EXPECT_NEAR(body.left(), 8, 2) << "flush left";
    EXPECT_GT(title.height(), body.height() * 3 / 2 - 4) << "20 points against 12";
    // Bold: the title's strokes are thicker than a plain rendering's.
    Sheet plain(216, 60);
    plain.canvas->SetFontSize(20);
    plain.canvas->TextOut((216 - plain.canvas->TextWidth("The Tale")) / 2, 8, "The Tale");
    const QImage p = plain.Done();
    auto darkPixels = [](const QImage& im, QRect r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += qGray(im.pixel(x, y)) < 128;
        return n;
    };
    EXPECT_GT(darkPixels(img, title), darkPixels(p, Ink(p)) * 11 / 10);
}

TEST(QtCanvas, TenTalesLayOutOnScreenAndPaper) {
    const auto tales = booktest::TenTales();
    struct Case {
        int w, h, dpi, points;
        const char* family;
    } cases[] = {{216, 320, 96, 12, "Times New Roman"},
                 {400, 500, 96, 12, "Times New Roman"},
                 {160, 200, 96, 9, "Arial"},
                 {4960, 7016, 600, 22, "Times New Roman"}};
    for (const Case& c : cases) {
        Sheet s(4, 4, c.dpi, c.family, c.points);
        for (std::size_t t = 0; t < tales.size(); ++t) {
            TBook book;
            book.MarginX = c.dpi == 600 ? c.w / 8 : 8;
            book.MarginY = c.dpi == 600 ? c.h / 8 : 8;
            book.Paginate(s.canvas.get(), TRect{0, 0, c.w, c.h}, tales[t].c_str());
            ASSERT_GT(book.PageCount(), 0);
            booktest::CheckLayout(book, *s.canvas, tales[t], c.w - 2 * book.MarginX,
                                  "tale " + std::to_string(t + 1) + " " + c.family + " at " +
                                      std::to_string(c.w) + "x" + std::to_string(c.h));
        }
    }
}

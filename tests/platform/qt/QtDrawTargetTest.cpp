// The Qt drawing target: copy, AND and OR transfers through the selected
// palette onto 32-bit images, other image formats and painters, and a
// transparent surface shown by its mask and paint passes.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "image/RL8Image.h"
#include "image/RL8ImageData.h"
#include "platform/qt/QtDrawTarget.h"

namespace {

plat::LogPalette TestPalette() {
    plat::LogPalette pal;
    for (int i = 0; i < 256; ++i)
        pal.Entries[static_cast<std::size_t>(i)] = {
            static_cast<uint8_t>(i), static_cast<uint8_t>(i / 3), static_cast<uint8_t>(255 - i), 0};
    pal.Entries[0] = {0, 0, 0, 0};
    pal.Entries[255] = {255, 255, 255, 0};
    return pal;
}

// A 3 x 2 bitmap, bottom row first: bottom 1 2 3, top 4 5 6.
const uint8_t kBits[8] = {1, 2, 3, 0, 4, 5, 6, 0};

plat::BitmapInfo Info() {
    plat::BitmapInfo info = plat::BitmapInfo::Template();
    info.Width = 3;
    info.Height = 2;
    return info;
}

QRgb Colour(const plat::LogPalette& pal, int i) {
    return 0xFF000000u | pal.Rgb(i);
}

// Runs the same transfers on a target over Image and checks the result.
void CheckTransfers(QImage& image, plat::QtDrawTarget& dc) {
    const plat::LogPalette pal = TestPalette();
    dc.SelectPalette(&pal);
    EXPECT_EQ(dc.RealizePalette(), 254); // all but black and white changed from the grey ramp
    EXPECT_EQ(dc.RealizePalette(), 0);
    image.fill(QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(dc.TransferIndices(1, 1, 3, 2, 0, 0, kBits, Info(), plat::RasterOp::Copy), 2);
    EXPECT_EQ(image.pixel(1, 1), Colour(pal, 4)) << "top row of the picture is the last stored";
    EXPECT_EQ(image.pixel(3, 2), Colour(pal, 3));
    EXPECT_EQ(image.pixel(0, 1), 0xFF102030u);
    EXPECT_EQ(image.pixel(4, 1), 0xFF102030u);

    // Mask (5 white, others black) with AND, then paint (5 -> black) with OR.
    plat::BitmapInfo mask = Info();
    mask.Colors.fill(0);
    mask.Colors[5] = 255;
    plat::BitmapInfo paint = Info();
    paint.Colors[5] = 0;
    image.fill(QColor(0x10, 0x20, 0x30));
    dc.TransferIndices(0, 0, 3, 2, 0, 0, kBits, mask, plat::RasterOp::And);
    dc.TransferIndices(0, 0, 3, 2, 0, 0, kBits, paint, plat::RasterOp::Or);
    EXPECT_EQ(image.pixel(0, 0), Colour(pal, 4));
    EXPECT_EQ(image.pixel(1, 0), 0xFF102030u) << "transparent pixel keeps the screen";
    EXPECT_EQ(image.pixel(2, 1), Colour(pal, 3));

    // Transfers reaching past the image are clipped.
    EXPECT_EQ(
        dc.TransferIndices(-1, image.height() - 1, 3, 2, 0, 0, kBits, Info(), plat::RasterOp::Copy),
        2);
    EXPECT_EQ(image.pixel(0, image.height() - 1), Colour(pal, 5));
}

} // namespace

TEST(QtDrawTarget, TransfersOntoRgb32Images) {
    QImage image(6, 4, QImage::Format_RGB32);
    plat::QtDrawTarget dc(image);
    CheckTransfers(image, dc);
    QImage argb(6, 4, QImage::Format_ARGB32_Premultiplied);
    plat::QtDrawTarget dc2(argb);
    CheckTransfers(argb, dc2);
}

TEST(QtDrawTarget, TransfersOntoOtherFormatsAndPainters) {
    QImage rgb888(6, 4, QImage::Format_RGB888);
    plat::QtDrawTarget dc(rgb888);
    CheckTransfers(rgb888, dc);

    QImage canvas(6, 4, QImage::Format_RGB32);
    QPainter painter(&canvas);
    plat::QtDrawTarget pdc(painter);
    CheckTransfers(canvas, pdc);
    EXPECT_EQ(painter.compositionMode(), QPainter::CompositionMode_SourceOver);
}

TEST(QtDrawTarget, TransparentSurfaceOverAScreen) {
    TRL8Image image;
    image.Initialize("t", nullptr, 3, 4);
    image.Transparent = 1;
    image.TransparentColour = 7;
    auto s = image.CreateImageData(&plat::BitmapInfo::Template());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            *s->StartLine(x, y) = static_cast<uint8_t>(x == y ? 7 : 20 + x);
            s->UnlockSegment(x, y);
        }
    const plat::LogPalette pal = TestPalette();
    QImage screen(8, 8, QImage::Format_RGB32);
    screen.fill(QColor(1, 2, 3));
    plat::QtDrawTarget dc(screen);
    dc.SelectPalette(&pal);
    EXPECT_EQ(s->DisplayRect(dc, TPoint{2, 2}, s->GetBounds()), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(screen.pixel(2 + x, 2 + y), x == y ? 0xFF010203u : Colour(pal, 20 + x));
    image.FreeImageData(std::move(s));
}

// Opaque pictures copied in bands: every pixel of the target comes from the
// source, whatever was there, at the pixel ratio and across band edges, and
// the painter is left as it was.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "ui/DrawOpaque.h"

namespace {

// A picture whose every pixel differs from its neighbours' in some channel.
QImage Pattern(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x * 7 + y * 13) % 256));
    return image;
}

} // namespace

TEST(DrawOpaque, TallCopiesAreExactAcrossBandsAndLeaveThePainterAsItWas) {
    const QImage source = Pattern(300, 400);
    QImage target(200, 300, QImage::Format_ARGB32_Premultiplied);
    target.fill(qRgba(0, 0, 0, 0)); // transparent: a blend would show it
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    DrawOpaque(painter, QRectF(10, 5, 150, 290), source, QRectF(40, 70, 150, 290));
    EXPECT_EQ(painter.compositionMode(), QPainter::CompositionMode_Multiply);
    painter.end();
    EXPECT_EQ(target.copy(10, 5, 150, 290), source.copy(40, 70, 150, 290));
    EXPECT_EQ(target.pixel(9, 5), 0u) << "nothing outside the target";
    EXPECT_EQ(target.pixel(10, 295), 0u);
}

TEST(DrawOpaque, ASourceAtTwiceThePixelsFillsTheTargetFromItsOwnRows) {
    // Each source row pair is one colour, so the scaled copy is exact.
    QImage source(40, 400, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 40; ++x)
            source.setPixel(x, y, qRgb(x / 2 * 10, y / 2 % 256, 9));
    QImage target(20, 200, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::black);
    QPainter painter(&target);
    DrawOpaque(painter, QRectF(0, 0, 20, 200), source, QRectF(0, 0, 40, 400));
    painter.end();
    for (int y : {0, 63, 64, 65, 127, 128, 199})
        for (int x : {0, 19})
            EXPECT_EQ(target.pixel(x, y), qRgb(x * 10, y % 256, 9)) << x << "," << y;
}

// Pictures made again at a new size on every resize step keep their memory
// while they fit, and get more only when they do not.
#include <gtest/gtest.h>

#include <QImage>

#include "ui/ImageStore.h"

TEST(ImageStore, ResizeStepsReuseTheMemoryUntilAPictureDoesNotFit) {
    TImageStore store;
    QImage big = store.Image(QSize(1920, 1080), QImage::Format_ARGB32_Premultiplied);
    ASSERT_FALSE(big.isNull());
    const uchar* memory = big.constBits();
    big.fill(Qt::red);
    // Smaller and a little larger steps stay in the same memory.
    for (QSize size : {QSize(1912, 1074), QSize(1920, 1080), QSize(2000, 1100)}) {
        QImage step = store.Image(size, QImage::Format_ARGB32_Premultiplied, 2.0);
        EXPECT_EQ(step.size(), size);
        EXPECT_EQ(step.devicePixelRatio(), 2.0);
        EXPECT_EQ(step.constBits(), memory) << size.width();
        step.fill(Qt::blue); // drawn in place
        EXPECT_EQ(step.constBits(), memory);
    }
    // A picture that does not fit gets new memory; an empty size no picture.
    QImage huge = store.Image(QSize(4000, 3000), QImage::Format_RGB32);
    EXPECT_EQ(huge.size(), QSize(4000, 3000));
    huge.fill(Qt::green);
    EXPECT_EQ(huge.pixel(3999, 2999), QColor(Qt::green).rgb());
    EXPECT_TRUE(store.Image(QSize(0, 10), QImage::Format_RGB32).isNull());
}

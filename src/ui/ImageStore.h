// Memory for a picture that is made again at a new size on every step of a
// window's resize: the memory is kept while the pictures fit in it, so a
// resize does not hand megabytes back to the system and fault them in again.
#pragma once
#include <QImage>
#include <QSize>
#include <cstddef>
#include <memory>

class TImageStore {
public:
    // An image of Size device pixels in a 32-bit Format over the store's
    // memory, with Ratio as its device pixel ratio; its pixels are as the
    // last image left them. The memory grows, with room to spare, only when
    // Size does not fit. The image is valid until the next call or the
    // store's end; a copy of it that is painted on detaches as usual.
    QImage Image(QSize size, QImage::Format format, qreal ratio = 1);

private:
    std::unique_ptr<uchar[]> memory_;
    std::size_t capacity_ = 0; // bytes
};

// Images over kept memory.
#include "ui/ImageStore.h"

QImage TImageStore::Image(QSize size, QImage::Format format, qreal ratio) {
    const int width = size.width() > 0 ? size.width() : 0;
    const int height = size.height() > 0 ? size.height() : 0;
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    const std::size_t bytes = stride * static_cast<std::size_t>(height);
    if (width == 0 || height == 0)
        return QImage();
    if (bytes > capacity_) {
        capacity_ = bytes + bytes / 4;
        memory_ = std::make_unique_for_overwrite<uchar[]>(capacity_);
    }
    QImage image(memory_.get(), width, height, static_cast<qsizetype>(stride), format);
    image.setDevicePixelRatio(ratio);
    return image;
}

// Palette-index transfers onto Qt images and painters.
#include "platform/qt/QtDrawTarget.h"

namespace plat {

namespace {
bool Direct(const QImage& image) {
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return true;
    default:
        return false;
    }
}
} // namespace

QtDrawTarget::QtDrawTarget(QImage& image) : image_(&image) {}

QtDrawTarget::QtDrawTarget(QPainter& painter) : painter_(&painter) {}

void QtDrawTarget::Blit(int x, int y, int w, int h, const uint8_t* topRow, std::ptrdiff_t rowStep,
                        const uint32_t (&lut)[256], RasterOp op) {
    if (image_ && !image_->isNull() && Direct(*image_)) {
        auto* bits = reinterpret_cast<uint32_t*>(image_->bits());
        BlitToRgb32(bits, image_->bytesPerLine() / 4, image_->width(), image_->height(), x, y, w, h,
                    topRow, rowStep, lut, op);
        return;
    }
    if (image_) {
        if (image_->isNull())
            return;
        QPainter painter(image_);
        BlitWithPainter(painter, x, y, w, h, topRow, rowStep, lut, op);
        return;
    }
    if (painter_)
        BlitWithPainter(*painter_, x, y, w, h, topRow, rowStep, lut, op);
}

void QtDrawTarget::BlitWithPainter(QPainter& painter, int x, int y, int w, int h,
                                   const uint8_t* topRow, std::ptrdiff_t rowStep,
                                   const uint32_t (&lut)[256], RasterOp op) {
    QImage part(w, h, QImage::Format_RGB32);
    if (part.isNull())
        return;
    BlitToRgb32(reinterpret_cast<uint32_t*>(part.bits()), part.bytesPerLine() / 4, w, h, 0, 0, w, h,
                topRow, rowStep, lut, RasterOp::Copy);
    const QPainter::CompositionMode previous = painter.compositionMode();
    switch (op) {
    case RasterOp::Copy:
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        break;
    case RasterOp::And:
        painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        break;
    case RasterOp::Or:
        painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        break;
    }
    painter.drawImage(x, y, part);
    painter.setCompositionMode(previous);
}

} // namespace plat

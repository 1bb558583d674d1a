// Banded copies of opaque pictures.
#include "ui/DrawOpaque.h"

#include <algorithm>

void DrawOpaque(QPainter& painter, const QRectF& target, const QImage& image,
                const QRectF& source) {
    if (target.isEmpty())
        return;
    constexpr qreal kBand = 64; // target rows per copy
    const qreal scale = source.height() / target.height();
    const QPainter::CompositionMode mode = painter.compositionMode();
    // Unscaled, a copy is a plain row copy. Scaled, Qt's own scaling of an
    // opaque picture over what is there is the fast way (a scaled copy goes
    // through its pattern fill, which hands rows to the thread pool).
    if (scale == 1)
        painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (qreal top = target.top(); top < target.bottom(); top += kBand) {
        const qreal rows = std::min(kBand, target.bottom() - top);
        painter.drawImage(QRectF(target.left(), top, target.width(), rows), image,
                          QRectF(source.left(), source.top() + (top - target.top()) * scale,
                                 source.width(), rows * scale));
    }
    painter.setCompositionMode(mode);
}

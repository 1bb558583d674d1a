// Tiling a clip rectangle with a library image.
#include "ui/TilePainter.h"

#include "image/RL8ImageData.h"
#include "image/RL8Library.h"
#include "image/TileGrid.h"
#include "platform/qt/QtDrawTarget.h"

void PaintTiles(QPainter& painter, TRL8Library& library, TImageNode* node,
                const TRL8ImageData& surface, const QRect& clip) {
    const TRect c{clip.left(), clip.top(), clip.left() + clip.width(), clip.top() + clip.height()};
    plat::QtDrawTarget target(painter);
    const plat::LogPalette* previous = target.SelectPalette(library.GetHPal());
    target.RealizePalette();
    for (const TPoint& p : TileOrigins(c, surface.Width, surface.Height))
        library.DrawImageAt(target, p, node);
    target.SelectPalette(previous);
}

void PaintHatch(QPainter& painter, const QRect& area) {
    painter.fillRect(area, Qt::white);
    painter.fillRect(area, QBrush(Qt::black, Qt::DiagCrossPattern));
}

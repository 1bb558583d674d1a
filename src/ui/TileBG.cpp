// The run-time tiled background.
#include "ui/TileBG.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include "ui/TilePainter.h"
#include "image/RL8Library.h"

namespace TileBG {

TTileBG::TTileBG(QWidget* panel, TRL8Library& library, const std::string& imageName)
    : QWidget(panel), tile_(library, imageName, TLibraryImage::SurfaceNeed::Optional) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setEnabled(false);
    lower();
}

void TTileBG::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!tile_.Surface()) {
        PaintHatch(painter, rect());
        return;
    }
    PaintTiles(painter, *tile_.Library(), tile_.Node(), *tile_.Surface(), event->rect());
}

} // namespace TileBG

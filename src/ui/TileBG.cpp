// The run-time tiled background.
#include "ui/TileBG.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include "ui/TilePainter.h"
#include "image/RL8Library.h"

namespace TileBG {

TTileBG::TTileBG(QWidget* panel, TRL8Library& library, const std::string& imageName)
    : QWidget(panel), library_(&library) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setEnabled(false);
    node_ = library.GetImage(imageName);
    try {
        surface_ = library.GetImageData(node_);
    } catch (...) {
        library.ReleaseImage(node_);
        throw;
    }
    library.AddReference(&library_);
    lower();
}

TTileBG::~TTileBG() {
    if (library_) {
        library_->ReleaseImage(node_);
        library_->RemoveReference(&library_);
    }
}

void TTileBG::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!library_ || !surface_) {
        PaintHatch(painter, rect());
        return;
    }
    PaintTiles(painter, *library_, node_, *surface_, event->rect());
}

} // namespace TileBG

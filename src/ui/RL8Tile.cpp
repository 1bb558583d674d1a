// The form component of the tiled background.
#include "ui/RL8Tile.h"

#include <QEvent>
#include <QPaintEvent>

#include "ui/TilePainter.h"
#include "image/RL8Library.h"

namespace RL8Tile {

TLibraryRef TTileBG::globalLibrary_;

TTileBG::TTileBG(QWidget* owner) : QWidget(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setEnabled(false);
}

void TTileBG::SetGlobalImageLibrary(TRL8Library* library) {
    globalLibrary_.Reset(library);
}

void TTileBG::ReleaseTile() {
    tile_.Reset();
}

void TTileBG::SetImageName(const std::string& value) {
    ReleaseTile();
    imageName_ = value;
    if (!library_ || !library_->ImageExists(value))
        return;
    tile_ = TLibraryImage(*library_, value, TLibraryImage::SurfaceNeed::Optional);
    update();
}

void TTileBG::SetLibrary(TRL8Library* library) {
    // A tile of a library that has gone went with it: nothing is given back.
    ReleaseTile();
    library_.Reset(library);
    if (library)
        SetImageName(imageName_);
}

TRL8Library* TTileBG::GetLibrary() {
    if (!library_)
        SetLibrary(globalLibrary_.Get());
    return library_.Get();
}

TRL8ImageData* TTileBG::GetSurface() {
    if (!tile_.Surface())
        SetImageName(imageName_);
    return tile_.Surface();
}

void TTileBG::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    TRL8Library* library = GetLibrary();
    TRL8ImageData* surface = library ? GetSurface() : nullptr;
    if (!library || !surface) {
        PaintHatch(painter, rect());
        return;
    }
    const QRect clip = event->rect();
    PaintTiles(painter, *library, tile_.Node(), *surface, clip);
    if (OnPaintOver) {
        painter.setClipping(false);
        OnPaintOver(painter, TRect{clip.left(), clip.top(), clip.left() + clip.width(),
                                   clip.top() + clip.height()});
    }
}

} // namespace RL8Tile

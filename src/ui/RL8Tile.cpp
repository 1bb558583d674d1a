// TRL8Tile: the tiled background whose library may come later.
#include "ui/RL8Tile.h"

#include <QEvent>
#include <QPaintEvent>

#include "image/RL8Library.h"
#include "ui/TilePainter.h"

TLibraryRef TRL8Tile::globalLibrary_;

TRL8Tile::TRL8Tile(QWidget* owner) : QWidget(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setEnabled(false);
}

void TRL8Tile::SetGlobalImageLibrary(TRL8Library* library) {
    globalLibrary_.Reset(library);
}

void TRL8Tile::ReleaseTile() {
    tile_.Reset();
}

void TRL8Tile::SetImageName(const std::string& value) {
    ReleaseTile();
    imageName_ = value;
    if (!library_ || !library_->ImageExists(value))
        return;
    tile_ = TLibraryImage(*library_, value, TLibraryImage::SurfaceNeed::Optional);
    update();
}

void TRL8Tile::SetLibrary(TRL8Library* library) {
    // A tile of a library that has gone went with it: nothing is given back.
    ReleaseTile();
    library_.Reset(library);
    if (library)
        SetImageName(imageName_);
}

TRL8Library* TRL8Tile::GetLibrary() {
    if (!library_)
        SetLibrary(globalLibrary_.Get());
    return library_.Get();
}

TRL8ImageData* TRL8Tile::GetSurface() {
    if (!tile_.Surface())
        SetImageName(imageName_);
    return tile_.Surface();
}

void TRL8Tile::paintEvent(QPaintEvent* event) {
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

// The form component of the tiled background.
#include "ui/RL8Tile.h"

#include <QEvent>
#include <QPaintEvent>

#include "ui/TilePainter.h"
#include "image/RL8Library.h"

namespace RL8Tile {

TRL8Library* TTileBG::globalLibrary_ = nullptr;

TTileBG::TTileBG(QWidget* owner) : QWidget(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setEnabled(false);
}

TTileBG::~TTileBG() {
    ReleaseTile();
    if (library_)
        library_->RemoveReference(&library_);
}

void TTileBG::SetGlobalImageLibrary(TRL8Library* library) {
    if (library == globalLibrary_)
        return;
    if (globalLibrary_)
        globalLibrary_->RemoveReference(&globalLibrary_);
    globalLibrary_ = library;
    if (library)
        library->AddReference(&globalLibrary_);
}

void TTileBG::ReleaseTile() {
    if (library_ && node_)
        library_->ReleaseImage(node_);
    node_ = nullptr;
    surface_ = nullptr;
}

void TTileBG::SetImageName(const std::string& value) {
    ReleaseTile();
    imageName_ = value;
    if (!library_ || !library_->ImageExists(value))
        return;
    try {
        node_ = library_->GetImage(value);
        surface_ = library_->GetImageData(node_);
    } catch (...) {
        ReleaseTile();
        throw;
    }
    update();
}

void TTileBG::SetLibrary(TRL8Library* library) {
    if (library_) {
        library_->RemoveReference(&library_);
        ReleaseTile();
    }
    // A tile of a library that has gone went with it.
    node_ = nullptr;
    surface_ = nullptr;
    library_ = library;
    if (library) {
        library->AddReference(&library_);
        SetImageName(imageName_);
    }
}

TRL8Library* TTileBG::GetLibrary() {
    if (!library_)
        SetLibrary(globalLibrary_);
    return library_;
}

TRL8ImageData* TTileBG::GetSurface() {
    if (!surface_)
        SetImageName(imageName_);
    return surface_;
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
    PaintTiles(painter, *library, node_, *surface, clip);
    if (OnPaintOver) {
        painter.setClipping(false);
        OnPaintOver(painter, TRect{clip.left(), clip.top(), clip.left() + clip.width(),
                                   clip.top() + clip.height()});
    }
}

} // namespace RL8Tile

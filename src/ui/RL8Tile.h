// TRL8Tile: the tiled background of a window whose library may come after
// it (the main window's), beside TTileBG, which a window makes with its
// library at hand. A light-weight control that fills its parent and repeats
// the library image ImageName over it. Its library is its own (SetLibrary)
// or, when it has none, the class-wide one (SetGlobalImageLibrary). Both are
// cleared through the library's reference list when the library is
// destroyed; the control then paints a hatch, as it does when the image is
// not in the library. After the tiles, OnPaintOver lets the owner draw over
// them.
#pragma once
#include <QPainter>
#include <QWidget>
#include <functional>
#include <string>

#include "ui/ParentFill.h"

#include "image/LibraryImage.h"
#include "image/LibraryRef.h"
#include "platform/Rect.h"

class TRL8Library;
class TRL8ImageData;

class TRL8Tile : public QWidget {
    Q_OBJECT
public:
    explicit TRL8Tile(QWidget* owner);

    const std::string& ImageName() const { return imageName_; }
    // Releases the tile and stores Value; loads the tile when a library is set
    // and has the image. A missing name leaves the control without a tile.
    void SetImageName(const std::string& value);

    static void SetGlobalImageLibrary(TRL8Library* library);
    static TRL8Library* GlobalImageLibrary() { return globalLibrary_.Get(); }

    void SetLibrary(TRL8Library* library);
    // The control's library, taking the class-wide one when it has none.
    TRL8Library* GetLibrary();
    // The tile's surface, loading the tile first when needed; nullptr when none.
    TRL8ImageData* GetSurface();

    // Called after every tiling with the control's painter and the clip rectangle.
    std::function<void(QPainter& canvas, const TRect& clip)> OnPaintOver;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TParentFill fill_{*this};
    void ReleaseTile();

    std::string imageName_;
    TLibraryRef library_;
    TLibraryImage tile_; // of library_; empty when no tile is loaded

    static TLibraryRef globalLibrary_;
};

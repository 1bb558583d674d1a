// The run-time tiled background that windows put on their panels: created in
// code with a library and an image name, it fills its panel, sits behind the
// panel's other controls and repeats the tile over the panel.
#pragma once
#include <QWidget>
#include <string>

#include "image/LibraryImage.h"
#include "ui/ParentFill.h"

class TRL8Library;
class TRL8ImageData;

namespace TileBG {

class TTileBG : public QWidget {
    Q_OBJECT
public:
    // Gets the tile ImageName from Library (a name missing from the library
    // raises the library's error). Panel becomes the parent and owner.
    TTileBG(QWidget* panel, TRL8Library& library, const std::string& imageName);

    // nullptr when no surface could be made or the library has gone.
    TRL8ImageData* Surface() const { return tile_.Surface(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TParentFill fill_{*this};

    TLibraryImage tile_; // empty once the library is destroyed
};

} // namespace TileBG

// Nearest-colour mapping of a rendered picture to the game palette, for
// previews that show what the palette does to the art.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

class PaletteMapper {
public:
    // Reads "R G B" lines (256 of them); false when the file is unreadable.
    bool Load(const QString& path);

    // Every opaque pixel replaced by its nearest palette colour (index 254,
    // the key colour, is never chosen); pixels with alpha < 128 become magenta.
    QImage Map(const QImage& src) const;

private:
    std::vector<QRgb> colours_;
};

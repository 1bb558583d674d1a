// Turns rendered true-colour pictures into palette images.
#pragma once
#include <QImage>

#include "ArtPalette.h"
#include "IndexedImage.h"

class TImageMapper {
public:
    // Opaque: every pixel is composited over white and mapped (KeyIndex never
    // appears). Transparent: pixels with alpha < 128 become KeyIndex and the
    // image is marked transparent with that key; the others are mapped from
    // their un-premultiplied colour. `dither` selects ordered dithering,
    // otherwise the nearest colour is taken.
    static TIndexedImage Map(const QImage& src, const TArtPalette& pal, bool transparent,
                             bool dither);
};

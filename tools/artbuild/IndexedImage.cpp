// Cutting and pasting rectangles of palette images.
#include "IndexedImage.h"

#include <stdexcept>

TIndexedImage TIndexedImage::Cut(int x, int y, int w, int h) const {
    if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > width || y + h > height)
        throw std::runtime_error("cut rectangle outside the image");
    TIndexedImage out(w, h);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col)
            out.At(col, row) = At(x + col, y + row);
    return out;
}

void TIndexedImage::Paste(const TIndexedImage& src, int x, int y) {
    if (x < 0 || y < 0 || x + src.width > width || y + src.height > height)
        throw std::runtime_error("pasted image does not fit");
    for (int row = 0; row < src.height; ++row)
        for (int col = 0; col < src.width; ++col)
            At(x + col, y + row) = src.At(col, row);
}

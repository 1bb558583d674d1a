// True-colour to palette mapping of rendered pictures.
#include "ImageMapper.h"

#include <vector>

namespace {

// Neighbouring pixels further apart than this (weighted squared RGB distance)
// mark an edge: outlines and anti-aliased borders take the nearest colour
// there, so only smooth gradients get the dither pattern.
constexpr int kEdgeDistance2 = 9 * 20 * 20;

int Distance2(const int* a, const int* b) {
    const int dr = a[0] - b[0], dg = a[1] - b[1], db = a[2] - b[2];
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

} // namespace

TIndexedImage TImageMapper::Map(const QImage& src, const TArtPalette& pal, bool transparent,
                                bool dither) {
    const QImage img = src.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width(), h = img.height();
    TIndexedImage out(w, h);
    out.transparent = transparent;
    out.key = transparent ? TArtPalette::KeyIndex : 0;

    // rgb[(y * w + x) * 3 ..]: the colour to map; keyed: the pixel is see-through.
    std::vector<int> rgb(std::size_t(w) * h * 3);
    std::vector<bool> keyed(std::size_t(w) * h, false);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            int r = qRed(p), g = qGreen(p), b = qBlue(p);
            const std::size_t i = std::size_t(y) * w + x;
            if (transparent) {
                keyed[i] = a < 128;
            } else if (a < 255) {
                // Over white, integer rounding.
                r = (r * a + 255 * (255 - a) + 127) / 255;
                g = (g * a + 255 * (255 - a) + 127) / 255;
                b = (b * a + 255 * (255 - a) + 127) / 255;
            }
            rgb[i * 3] = r;
            rgb[i * 3 + 1] = g;
            rgb[i * 3 + 2] = b;
        }
    }

    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t i = std::size_t(y) * w + x;
            if (keyed[i]) {
                out.At(x, y) = TArtPalette::KeyIndex;
                continue;
            }
            const int* c = &rgb[i * 3];
            bool edge = false;
            if (dither) {
                const int nx[4] = {x - 1, x + 1, x, x};
                const int ny[4] = {y, y, y - 1, y + 1};
                for (int k = 0; k < 4 && !edge; ++k) {
                    if (nx[k] < 0 || ny[k] < 0 || nx[k] >= w || ny[k] >= h)
                        continue;
                    const std::size_t j = std::size_t(ny[k]) * w + nx[k];
                    edge = keyed[j] || Distance2(c, &rgb[j * 3]) > kEdgeDistance2;
                }
            }
            out.At(x, y) = dither && !edge ? pal.Dithered(c[0], c[1], c[2], x, y)
                                           : pal.Nearest(c[0], c[1], c[2]);
        }
    return out;
}

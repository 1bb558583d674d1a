// True-colour to palette mapping of rendered pictures.
#include "ImageMapper.h"

TIndexedImage TImageMapper::Map(const QImage& src, const TArtPalette& pal, bool transparent,
                                bool dither) {
    const QImage img = src.convertToFormat(QImage::Format_ARGB32);
    TIndexedImage out(img.width(), img.height());
    out.transparent = transparent;
    out.key = transparent ? TArtPalette::KeyIndex : 0;
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            int r = qRed(p), g = qGreen(p), b = qBlue(p);
            if (transparent) {
                if (a < 128) {
                    out.At(x, y) = TArtPalette::KeyIndex;
                    continue;
                }
            } else if (a < 255) {
                // Over white, integer rounding.
                r = (r * a + 255 * (255 - a) + 127) / 255;
                g = (g * a + 255 * (255 - a) + 127) / 255;
                b = (b * a + 255 * (255 - a) + 127) / 255;
            }
            out.At(x, y) = dither ? pal.Dithered(r, g, b, x, y) : pal.Nearest(r, g, b);
        }
    }
    return out;
}

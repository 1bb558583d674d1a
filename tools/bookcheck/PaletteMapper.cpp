// Nearest-colour palette preview.
#include "PaletteMapper.h"

#include <QFile>
#include <QTextStream>
#include <climits>

bool PaletteMapper::Load(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    colours_.clear();
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList parts = line.split(' ', Qt::SkipEmptyParts);
        if (parts.size() < 3)
            return false;
        colours_.push_back(qRgb(parts[0].toInt(), parts[1].toInt(), parts[2].toInt()));
    }
    return colours_.size() == 256;
}

QImage PaletteMapper::Map(const QImage& src) const {
    QImage out = src.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = row[x];
            if (qAlpha(c) < 128) {
                row[x] = qRgb(255, 0, 255);
                continue;
            }
            // Composite over white first, as the opaque build does.
            const int a = qAlpha(c);
            const int r = (qRed(c) * a + 255 * (255 - a)) / 255;
            const int g = (qGreen(c) * a + 255 * (255 - a)) / 255;
            const int b = (qBlue(c) * a + 255 * (255 - a)) / 255;
            int best = 0;
            int bestD = INT_MAX;
            for (int i = 0; i < static_cast<int>(colours_.size()); ++i) {
                if (i == 254)
                    continue;
                const int dr = r - qRed(colours_[i]);
                const int dg = g - qGreen(colours_[i]);
                const int db = b - qBlue(colours_[i]);
                const int d = dr * dr + dg * dg + db * db;
                if (d < bestD) {
                    bestD = d;
                    best = i;
                }
            }
            row[x] = colours_[best];
        }
    }
    return out;
}

// The cursor table, loaded from the resources ":/cursors/NAME.png" and the
// hotspot list ":/cursors/hotspots.txt" (lines "NAME X Y").
#include "ui/Cursors.h"

#include <QFile>
#include <QHash>
#include <QPixmap>
#include <QString>
#include <QTextStream>
#include <array>
#include <optional>

namespace {
const char* const kNames[kCursorCount] = {"ACTIVATE", "ARR_RT", "ARR_LT", "ARROW_1", "ARROW_2"};

std::array<std::optional<QCursor>, kCursorCount>& Table() {
    static std::array<std::optional<QCursor>, kCursorCount> table;
    return table;
}

// The scaled cursors made so far, by cursor number and scale.
QHash<QPair<int, int>, QCursor>& ScaledTable() {
    static QHash<QPair<int, int>, QCursor> table;
    return table;
}

QHash<QString, QPoint> ReadHotspots() {
    QHash<QString, QPoint> spots;
    QFile file(":/cursors/hotspots.txt");
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return spots;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList f = in.readLine().simplified().split(' ', Qt::SkipEmptyParts);
        bool okX = false, okY = false;
        if (f.size() == 3) {
            const int x = f[1].toInt(&okX), y = f[2].toInt(&okY);
            if (okX && okY)
                spots.insert(f[0], QPoint(x, y));
        }
    }
    return spots;
}
} // namespace

void LoadCursors() {
    ScaledTable().clear();
    const QHash<QString, QPoint> spots = ReadHotspots();
    for (int i = 0; i < kCursorCount; ++i) {
        Table()[i].reset();
        const QString name = QString::fromLatin1(kNames[i]);
        QPixmap picture(":/cursors/" + name + ".png");
        if (picture.isNull())
            continue;
        const QPoint spot = spots.value(name, QPoint(0, 0));
        Table()[i] = QCursor(picture, spot.x(), spot.y());
    }
}

bool HasScreenCursor(int n) {
    return n >= 1 && n <= kCursorCount && Table()[n - 1].has_value();
}

QCursor ScreenCursor(int n) {
    if (!HasScreenCursor(n))
        return QCursor(Qt::ArrowCursor);
    return *Table()[n - 1];
}

QCursor ScreenCursor(int n, int scale) {
    if (scale <= 1 || !HasScreenCursor(n))
        return ScreenCursor(n);
    auto found = ScaledTable().constFind({n, scale});
    if (found != ScaledTable().constEnd())
        return *found;
    const QCursor& base = *Table()[n - 1];
    const QPixmap picture = base.pixmap();
    const QCursor scaled(
        picture.scaled(picture.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation),
        base.hotSpot().x() * scale, base.hotSpot().y() * scale);
    ScaledTable().insert({n, scale}, scaled);
    return scaled;
}

const char* ScreenCursorName(int n) {
    return n >= 1 && n <= kCursorCount ? kNames[n - 1] : "";
}

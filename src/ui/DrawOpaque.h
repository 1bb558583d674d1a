// Copies part of an opaque picture onto a painter: copied, not blended
// where it is not scaled, and in bands of rows small enough that Qt draws each on the calling
// thread (a taller rectangle goes to Qt's thread pool, and waiting for its threads costs more than
// the copy).
#pragma once
#include <QImage>
#include <QPainter>
#include <QRectF>

// Target is in the painter's coordinates, Source in the image's device
// pixels; a source larger than the target is the image's pixel ratio. The
// painter's composition mode is as it was on return.
void DrawOpaque(QPainter& painter, const QRectF& target, const QImage& image, const QRectF& source);

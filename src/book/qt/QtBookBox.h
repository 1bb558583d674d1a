// A box of the book's geometry (TBookGeometry) as the Qt rectangle it covers.
#pragma once
#include <QRect>

#include "book/BookGeometry.h"

inline QRect ToQRect(const TBookBox& b) {
    return QRect(b.left, b.top, b.width, b.height);
}

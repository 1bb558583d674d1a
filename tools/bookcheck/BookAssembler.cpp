// Book assembly from the storybook window's piece table.
#include "BookAssembler.h"

#include <QPainter>

#include "book/BookPieces.h"
#include "book/qt/QtBookPieces.h"

QImage BookAssembler::Assemble(const QImage& sheet, int w, int h, bool backOn, bool forwardOn) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(255, 0, 255));
    QPainter p(&img);
    QtBookPieces::Paint(p, sheet, w, h, backOn, forwardOn);
    return img;
}

// Book assembly from the storybook window's piece table.
#include "BookAssembler.h"

#include <QPainter>

#include "book/BookPieces.h"

QImage BookAssembler::Assemble(const QImage& sheet, int w, int h, bool backOn, bool forwardOn) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(255, 0, 255));
    QPainter p(&img);
    for (const TBookPieces::Piece& piece : TBookPieces::Layout(w, h, backOn, forwardOn)) {
        const TRect& s = piece.source;
        p.drawImage(QPoint(piece.dest.X, piece.dest.Y), sheet,
                    QRect(s.Left, s.Top, s.Right - s.Left, s.Bottom - s.Top));
    }
    return img;
}

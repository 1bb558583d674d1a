// The painted book drawn with Qt: every piece of the piece table copied from
// a picture of the whole "book" image (Sheet, 500 x 300) onto a painter, in
// the table's order. The window, the review tools and the tests all paint the
// book through this one loop.
#pragma once
#include <QImage>
#include <QPainter>
#include <QRect>

#include "book/BookPieces.h"

class QtBookPieces {
public:
    // Paints the book of a W x H client area with the painter's composition
    // mode; the arrows are drawn enabled when BackOn / ForwardOn, and they
    // and the ribbon at Scale.
    static void Paint(QPainter& painter, const QImage& sheet, int w, int h, bool backOn,
                      bool forwardOn, int scale = 1) {
        Paint(painter, sheet, w, h, backOn, forwardOn, QRect(0, 0, w, h), scale);
    }
    // Only the part of the book inside Area (client coordinates): the pieces
    // are cut to it, the others left out. A piece shown larger grows in
    // whole-pixel blocks.
    static void Paint(QPainter& painter, const QImage& sheet, int w, int h, bool backOn,
                      bool forwardOn, const QRect& area, int scale = 1) {
        for (const TBookPieces::Piece& piece : TBookPieces::Layout(w, h, backOn, forwardOn, scale))
            PaintPiece(painter, sheet, piece, area);
    }
    // One piece of Sheet, the part of it inside Area.
    static void PaintPiece(QPainter& painter, const QImage& sheet, const TBookPieces::Piece& piece,
                           const QRect& area) {
        const TRect& s = piece.source;
        const QRect source(s.Left, s.Top, s.Right - s.Left, s.Bottom - s.Top);
        const QRect dest(piece.dest.X, piece.dest.Y, source.width() * piece.scale,
                         source.height() * piece.scale);
        const QRect part = dest & area;
        if (part.isEmpty())
            return;
        if (piece.scale == 1) {
            painter.drawImage(part.topLeft(), sheet,
                              part.translated(s.Left - dest.x(), s.Top - dest.y()));
            return;
        }
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.setClipRect(part, Qt::IntersectClip);
        painter.drawImage(dest, sheet, source);
        painter.restore();
    }
};

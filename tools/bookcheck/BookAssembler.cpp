// Book assembly: the piece table of the storybook window, tiled in runs of 100.
#include "BookAssembler.h"

#include <QPainter>
#include <algorithm>

namespace {

using Pieces = std::vector<BookAssembler::Piece>;

// A horizontal run from x0 to x1 (exclusive) at y, stepping by 100 and
// clipping the last piece.
void RunX(Pieces& out, int sx, int sy, int sh, int x0, int x1, int y) {
    for (int x = x0; x < x1; x += 100)
        out.push_back({QRect(sx, sy, std::min(100, x1 - x), sh), QPoint(x, y)});
}

} // namespace

std::vector<BookAssembler::Piece> BookAssembler::Layout(int w, int h, bool backOn, bool forwardOn) {
    Pieces out;
    const int mid = (w + 20) / 2;
    out.push_back({QRect(0, 0, 100, 100), QPoint(-20, -20)});
    out.push_back({QRect(0, 200, 100, 100), QPoint(-20, h - 80)});
    out.push_back({QRect(400, 0, 100, 100), QPoint(w - 80, -20)});
    out.push_back({QRect(400, 200, 100, 100), QPoint(w - 80, h - 80)});
    out.push_back({QRect(200, 0, 200, 100), QPoint(mid - 100, -20)});
    out.push_back({QRect(200, 200, 200, 100), QPoint(mid - 100, h - 80)});
    RunX(out, 100, 0, 100, 80, mid - 100, -20);
    RunX(out, 100, 0, 100, mid + 100, w - 80, -20);
    RunX(out, 100, 200, 100, 80, mid - 100, h - 80);
    RunX(out, 100, 200, 100, mid + 100, w - 80, h - 80);
    for (int y = 80; y < h - 80; y += 100) {
        const int rh = std::min(100, h - 80 - y);
        out.push_back({QRect(0, 100, 100, rh), QPoint(-20, y)});
        out.push_back({QRect(400, 100, 100, rh), QPoint(w - 80, y)});
        out.push_back({QRect(250, 100, 100, rh), QPoint(mid - 50, y)});
    }
    for (int y = 80; y < h - 80; y += 100) {
        const int rh = std::min(100, h - 80 - y);
        RunX(out, 100, 100, rh, 80, mid - 50, y);
        RunX(out, 100, 100, rh, mid + 50, w - 80, y);
    }
    out.push_back({QRect(350, 100, 40, 80), QPoint(w - 32, 30)});
    out.push_back({QRect(200, backOn ? 125 : 100, 40, 25), QPoint(40, h - 64)});
    out.push_back({QRect(200, forwardOn ? 175 : 150, 40, 25), QPoint(w - 80, h - 64)});
    return out;
}

QImage BookAssembler::Assemble(const QImage& sheet, int w, int h, bool backOn, bool forwardOn) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(255, 0, 255));
    QPainter p(&img);
    for (const Piece& piece : Layout(w, h, backOn, forwardOn))
        p.drawImage(piece.dest, sheet, piece.source);
    return img;
}

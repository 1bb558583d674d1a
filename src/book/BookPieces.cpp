// The piece table of the painted book.
#include "book/BookPieces.h"

#include <algorithm>

namespace {

using Pieces = std::vector<TBookPieces::Piece>;

TRect Src(int x, int y, int w, int h) {
    return TRect{x, y, x + w, y + h};
}

// A run from X0 to X1 (exclusive) at Y, stepping by 100 with the last piece
// clipped.
void RunX(Pieces& out, int sx, int sy, int sh, int x0, int x1, int y) {
    for (int x = x0; x < x1; x += 100)
        out.push_back({Src(sx, sy, std::min(100, x1 - x), sh), TPoint{x, y}});
}

} // namespace

TBookPieces::Piece TBookPieces::BackArrow(const TBookFoot& foot, bool on) {
    const TBookBox at = foot.BackArrow();
    return {Src(200, on ? 125 : 100, TBookFoot::kArrowWidth, TBookFoot::kArrowHeight),
            TPoint{at.left, at.top}, foot.Scale()};
}

TBookPieces::Piece TBookPieces::ForwardArrow(const TBookFoot& foot, bool on) {
    const TBookBox at = foot.ForwardArrow();
    return {Src(200, on ? 175 : 150, TBookFoot::kArrowWidth, TBookFoot::kArrowHeight),
            TPoint{at.left, at.top}, foot.Scale()};
}

std::vector<TBookPieces::Piece> TBookPieces::Layout(int w, int h, bool backOn, bool forwardOn,
                                                    int scale) {
    Pieces out;
    const int mid = (w + 20) / 2;
    out.push_back({Src(0, 0, 100, 100), TPoint{-20, -20}});
    out.push_back({Src(0, 200, 100, 100), TPoint{-20, h - 80}});
    out.push_back({Src(400, 0, 100, 100), TPoint{w - 80, -20}});
    out.push_back({Src(400, 200, 100, 100), TPoint{w - 80, h - 80}});
    out.push_back({Src(200, 0, 200, 100), TPoint{mid - 100, -20}});
    out.push_back({Src(200, 200, 200, 100), TPoint{mid - 100, h - 80}});
    RunX(out, 100, 0, 100, 80, mid - 100, -20);
    RunX(out, 100, 0, 100, mid + 100, w - 80, -20);
    RunX(out, 100, 200, 100, 80, mid - 100, h - 80);
    RunX(out, 100, 200, 100, mid + 100, w - 80, h - 80);
    for (int y = 80; y < h - 80; y += 100) {
        const int rh = std::min(100, h - 80 - y);
        out.push_back({Src(0, 100, 100, rh), TPoint{-20, y}});
        out.push_back({Src(400, 100, 100, rh), TPoint{w - 80, y}});
        out.push_back({Src(250, 100, 100, rh), TPoint{mid - 50, y}});
    }
    for (int y = 80; y < h - 80; y += 100) {
        const int rh = std::min(100, h - 80 - y);
        RunX(out, 100, 100, rh, 80, mid - 50, y);
        RunX(out, 100, 100, rh, mid + 50, w - 80, y);
    }
    const TBookFoot foot(w, h, scale);
    const TBookBox ribbon = foot.Ribbon();
    out.push_back({Src(350, 100, TBookFoot::kRibbonWidth, TBookFoot::kRibbonHeight),
                   TPoint{ribbon.left, ribbon.top}, foot.Scale()});
    out.push_back(BackArrow(foot, backOn));
    out.push_back(ForwardArrow(foot, forwardOn));
    return out;
}

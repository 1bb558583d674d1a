// The storybook's resize arithmetic.
#include "book/BookGeometry.h"

void TBookGeometry::Create(int w, int h) {
    prevPage.left = 24;
    nextPage.left = w - 24 - nextPage.width;
    prevPage.top = h - 24 - prevPage.height;
    nextPage.top = prevPage.top;
}

TBookGeometry::Step TBookGeometry::Resize(int w, int h) {
    Step s;
    s.dx = w - (nextPage.left + nextPage.width + prevPage.left);
    s.dy = h - (prevPage.top + prevPage.left + prevPage.height);
    nextPage.left += s.dx;
    nextPage.top += s.dy;
    prevPage.top += s.dy;
    s.leftPage = LeftPage(w, h);
    s.rightPage = RightPage(w, h);
    return s;
}

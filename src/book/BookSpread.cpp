// The storybook's spread rules.
#include "book/BookSpread.h"

#include "book/Book.h"

TBookSpread::Controls TBookSpread::Compute(const Input& in) {
    Controls c;
    const bool cover = in.currentPage == 0;
    c.canTurnBack = in.currentPage > 1;
    c.canTurnForward = in.currentPage > 0 && in.currentPage < in.pageCount;
    c.readSaved = cover && in.savedStoryExists;
    c.myStories = cover && (in.shelfHasAny || in.savedStoryExists);
    c.hero = cover && in.hasHero;
    c.heroine = cover && in.hasHeroine;
    c.twistAndNewStory = cover;
    c.commands = in.currentPage >= in.pageCount;
    c.twists = in.currentPage >= 1 && in.currentPage <= in.pageCount;
    c.readToMe = in.canReadAloud && c.twists;
    return c;
}

bool TBookSpread::TurnPageHint(const TBook& book, int r) {
    return r % 2 == 0 && r == book.PageCount() &&
           book.PageLineCount(r) <= book.PageLineCount(r - 1) - 2;
}

TBookSpread::Side TBookSpread::SurfaceSide(int x, int y, int w, int h) {
    if (x < 40 || x >= w - 40 || y < 30 || y >= h - 42)
        return Side::None;
    return x < w / 2 + 9 ? Side::Left : Side::Right;
}

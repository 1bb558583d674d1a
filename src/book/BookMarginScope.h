// Margins of a book for the length of a scope: the book takes the given
// margins, with its lines across the whole width between them, and gets the
// ones it had back when the scope ends, also when an exception ends it.
#pragma once
#include <cstdint>

#include "book/Book.h"

class TBookMarginScope {
public:
    // X and Y are the left/right and top/bottom margins in device pixels.
    TBookMarginScope(TBook& book, int32_t x, int32_t y)
        : book_(book), x_(book.MarginX), y_(book.MarginY), inset_(book.LineInset) {
        book.MarginX = x;
        book.MarginY = y;
        book.LineInset = 0;
    }
    ~TBookMarginScope() {
        book_.MarginX = x_;
        book_.MarginY = y_;
        book_.LineInset = inset_;
    }
    TBookMarginScope(const TBookMarginScope&) = delete;
    TBookMarginScope& operator=(const TBookMarginScope&) = delete;

private:
    TBook& book_;
    int32_t x_, y_, inset_;
};

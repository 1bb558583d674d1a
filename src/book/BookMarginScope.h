// Margins of a book for the length of a scope: the book takes the given
// margins and gets the ones it had back when the scope ends, also when an
// exception ends it.
#pragma once
#include <cstdint>

#include "book/Book.h"

class TBookMarginScope {
public:
    // X and Y are the left/right and top/bottom margins in device pixels.
    TBookMarginScope(TBook& book, int32_t x, int32_t y)
        : book_(book), x_(book.MarginX), y_(book.MarginY) {
        book.MarginX = x;
        book.MarginY = y;
    }
    ~TBookMarginScope() {
        book_.MarginX = x_;
        book_.MarginY = y_;
    }
    TBookMarginScope(const TBookMarginScope&) = delete;
    TBookMarginScope& operator=(const TBookMarginScope&) = delete;

private:
    TBook& book_;
    int32_t x_, y_;
};

// A folded booklet: the pages of a book imposed two to a side of a sheet,
// in the order a stack of sheets folded once down the middle reads. The
// pages are padded with blank pages to a multiple of four (blanks only at
// the end); for P padded pages, sheet k (1-based) holds on its front pages
// P - 2k + 2 (left) and 2k - 1 (right), and on its back pages 2k (left) and
// P - 2k + 1 (right). A page above the book's own count is blank.
#pragma once
#include <vector>

class TBookletImposition {
public:
    // Pages: the book's page count (below 0 counts as 0).
    explicit TBookletImposition(int pages);

    struct Side {
        int sheet = 0;     // 1-based
        bool front = true; // false: the back
        int left = 0;      // page numbers, 1-based; above Pages() blank
        int right = 0;
        friend bool operator==(const Side&, const Side&) = default;
    };

    int Pages() const { return pages_; }
    // Pages rounded up to a multiple of four (0 for an empty book).
    int PaddedPages() const { return padded_; }
    int Sheets() const { return padded_ / 4; }
    bool IsBlank(int page) const { return page > pages_; }

    // Sheet K's front and back; K from 1 to Sheets().
    Side Front(int k) const { return {k, true, padded_ - 2 * k + 2, 2 * k - 1}; }
    Side Back(int k) const { return {k, false, 2 * k, padded_ - 2 * k + 1}; }

    // The sides of Copies copies of sheets From..To in the order they are
    // printed, as print jobs. Two-sided: one job, sheet after sheet, each
    // front followed by its back. One side only: the fronts of every copy
    // in one job, then (once the player has turned the stack over) the backs
    // in the same order in a second. A From or To below 1 asks for every
    // sheet; To is cut to the sheet count; fewer than one copy is one copy.
    // Empty when the range holds no sheet.
    std::vector<std::vector<Side>> Jobs(bool oneSided, int copies, int from, int to) const;

private:
    int pages_;
    int padded_;
};

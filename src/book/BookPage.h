// One laid-out page of a book: its lines, top to bottom, owned by the page,
// and on page 1 which of them make the title.
#pragma once
#include <cstdint>
#include <string>

#include "base/LumList.h"
#include "book/BookLine.h"

class TPage : public TLumNode {
public:
    TLumList Lines; // of TLine

    // The story's title: the first TitleLines lines (page 1 only), bold and
    // centred, started at TitleSize points and drawn that size's line height
    // apart; together they take the height of TitleRows lines of the normal
    // size (at least their own height, less what empty lines right under a
    // one-line title lend), below which the other lines follow one normal
    // line apart.
    int TitleLines = 0;
    int TitleRows = 0;
    int TitleSize = 0;

    // Appends a new line.
    void AddLine(int32_t offset, int32_t length);
    int LineCount() const { return Lines.Count(); }
    // Line N (1-based), nullptr when there is none.
    const TLine* Line(int n) const { return static_cast<const TLine*>(Lines.Items(n)); }
    // The text of line N (1-based) of Text; empty when there is no line N.
    std::string LineText(const char* text, int n) const;
};

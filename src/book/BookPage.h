// One laid-out page of a book: its lines, top to bottom, owned by the page.
#pragma once
#include <cstdint>
#include <string>

#include "book/BookLine.h"
#include "image/LumList.h"

class TPage : public TLumNode {
public:
    TLumList Lines; // of TLine

    // Appends a new line.
    void AddLine(int32_t offset, int32_t length);
    int LineCount() const { return Lines.Count(); }
    // Line N (1-based), nullptr when there is none.
    const TLine* Line(int n) const { return static_cast<const TLine*>(Lines.Items(n)); }
    // The text of line N (1-based) of Text; empty when there is no line N.
    std::string LineText(const char* text, int n) const;
};

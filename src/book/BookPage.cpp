// A laid-out page's lines.
#include "book/BookPage.h"

#include <memory>

void TPage::AddLine(int32_t offset, int32_t length) {
    Lines.AddLast(std::make_unique<TLine>(offset, length).release());
}

std::string TPage::LineText(const char* text, int n) const {
    const TLine* line = Line(n);
    return line ? line->GetText(text) : std::string();
}

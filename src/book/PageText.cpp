// A page's shown text, for screen readers.
#include "book/PageText.h"

#include <algorithm>

#include "book/Book.h"

TPageText::TPageText(const TBook& book, int page, const char* text) {
    if (page == 0) {
        // The cover draws one word per space-separated part.
        std::size_t from = 0;
        for (;;) {
            const std::size_t space = book.CoverText.find(' ', from);
            AddLine(book.CoverText.substr(from, space == std::string::npos ? space : space - from));
            if (space == std::string::npos)
                break;
            from = space + 1;
        }
        return;
    }
    const TPage* p = book.Page(page);
    if (!p || !text)
        return;
    for (const TLumNode* n = p->Lines.First; n; n = n->Next)
        AddLine(static_cast<const TLine*>(n)->GetText(text));
}

void TPageText::AddLine(const std::string& line) {
    if (!starts_.empty())
        text_ += '\n';
    starts_.push_back(static_cast<int>(text_.size()));
    text_ += line;
}

int TPageText::LineLength(int line) const {
    if (line < 1 || line > LineCount())
        return 0;
    const int end = line < LineCount() ? starts_[static_cast<std::size_t>(line)] - 1
                                       : static_cast<int>(text_.size());
    return end - starts_[static_cast<std::size_t>(line - 1)];
}

TPageText::Place TPageText::PlaceOf(int offset) const {
    if (offset < 0 || offset > static_cast<int>(text_.size()) || starts_.empty())
        return {};
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
    const int line = static_cast<int>(after - starts_.begin());
    return {line, offset - starts_[static_cast<std::size_t>(line - 1)]};
}

int TPageText::OffsetOf(int line, int column) const {
    if (line < 1 || line > LineCount())
        return -1;
    return starts_[static_cast<std::size_t>(line - 1)] + std::clamp(column, 0, LineLength(line));
}

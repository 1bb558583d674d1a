// A laid-out line's text.
#include "book/BookLine.h"

std::string TLine::GetText(const char* text) const {
    if (!text || Length <= 0 || Offset < 0)
        return {};
    return std::string(text + Offset, static_cast<std::size_t>(Length));
}

// One laid-out line of a book page: where it starts in the story text and
// how many characters it has. The text itself stays with the caller.
#pragma once
#include <cstdint>
#include <string>

#include "base/LumNode.h"

class TLine : public TLumNode {
public:
    TLine(int32_t offset, int32_t length) : Offset(offset), Length(length) {}

    int32_t Offset = 0; // index of the first character in the story text
    int32_t Length = 0; // number of characters; 0 for an empty line

    // The Length characters of Text from Offset; empty when Text is nullptr.
    // Text must be the story the line was laid out from.
    std::string GetText(const char* text) const;
};

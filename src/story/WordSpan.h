// Characters of a story line that hold a word chosen from the vocabulary.
#pragma once
#include <cstdint>

struct TWordSpan {
    uint32_t line = 0;   // index in the story's lines
    uint32_t start = 0;  // first character in the line
    uint32_t length = 0; // characters
    uint32_t choice = 0; // index in the story's choices
    friend bool operator==(const TWordSpan&, const TWordSpan&) = default;
};

// Characters of a definition's value or of an expanded line that came from
// one vocabulary choice. The expansion follows them through values and
// references; a told story turns the runs of its lines into spans
// (TWordSpan).
#pragma once
#include <cstddef>
#include <cstdint>

struct TWordRun {
    std::size_t start = 0;  // first character
    std::size_t length = 0; // characters
    uint32_t choice = 0;    // index in the story's choices
};

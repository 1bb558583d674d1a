// One vocabulary choice of a story: the word a swapped token of a definition
// took from the vocabulary, and what the tale has in its place.
#pragma once
#include <cstdint>
#include <string>

struct TWordChoice {
    std::string plain;      // the definition's plain word: what the tale has there
    int definition = 0;     // which definition of the story made it (counted from 0)
    int wordClass = 0;      // the class it chose from
    uint16_t flags = 0;     // the flags it chose with (form, article, capitals, ...)
    int32_t lastBefore = 0; // the class's last chosen position before it chose
    int32_t natural = 0;    // the position the draw gave
    int32_t position = 0;   // the position of the word it holds (natural unless swapped again)
    int source = -1;        // same-as-last: the choice of this story whose word it took; -1 none
    bool empty = false;     // the class had no word for it: it gave no text
};

// One entry of a word list: the text it is listed under and its word object.
// Word objects are shared: the vocabulary's lists and the word-list editor
// hold references to the same words, and a word is freed when the last
// holder lets go of it.
#pragma once
#include <memory>
#include <string>

#include "vocab/PartOfSpeech.h"

struct TWordEntry {
    std::string Text;
    std::shared_ptr<TPartOfSpeech> Word;
};

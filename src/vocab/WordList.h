// A word class list of the vocabulary: entries kept sorted by their text in
// the order of CompareTextIgnoringCase (ASCII case folded, then unsigned
// bytes), with no two texts equal ignoring case. Adding a text that is
// already listed (ignoring case) keeps the entry's text and position and
// attaches the new word object instead of the old one; the list then drops
// its reference to the old object, which is freed unless someone else (the
// word-list editor) still holds it.
#pragma once
#include <string>
#include <vector>

#include "vocab/WordEntry.h"

class TWordList {
public:
    int Count() const { return static_cast<int>(entries_.size()); }
    // 0 <= Index < Count().
    const TWordEntry& operator[](int index) const {
        return entries_[static_cast<std::size_t>(index)];
    }
    TPartOfSpeech& Word(int index) const { return *entries_[static_cast<std::size_t>(index)].Word; }
    const std::vector<TWordEntry>& Entries() const { return entries_; }
    std::vector<TWordEntry>::const_iterator begin() const { return entries_.begin(); }
    std::vector<TWordEntry>::const_iterator end() const { return entries_.end(); }

    // Adds Word under Text, or attaches it to the entry listed under a text
    // equal ignoring case. Returns the entry's position. Word must not be null.
    int Add(const std::string& text, std::shared_ptr<TPartOfSpeech> word);
    // Adds every entry as by Add, in order, in O(n log n) for any order of
    // Entries. Every entry must have a word object.
    void AddAll(std::vector<TWordEntry> entries);
    // Position of the entry whose text equals Text ignoring case; -1 if none.
    int IndexOf(const std::string& text) const;
    void Clear() { entries_.clear(); }

private:
    std::vector<TWordEntry> entries_;
};

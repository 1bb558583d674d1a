// Sorted, merging word class list.
#include "vocab/WordList.h"

#include <algorithm>

#include "vocab/WordStrings.h"

namespace {
std::vector<TWordEntry>::const_iterator LowerBound(const std::vector<TWordEntry>& entries,
                                                   const std::string& text) {
    return std::lower_bound(entries.begin(), entries.end(), text,
                            [](const TWordEntry& e, const std::string& t) {
                                return CompareTextIgnoringCase(e.Text, t) < 0;
                            });
}
} // namespace

int TWordList::Add(const std::string& text, std::shared_ptr<TPartOfSpeech> word) {
    // Files are written in list order, so most additions go to the end.
    if (entries_.empty() || CompareTextIgnoringCase(entries_.back().Text, text) < 0) {
        entries_.push_back({text, std::move(word)});
        return Count() - 1;
    }
    auto it = LowerBound(entries_, text);
    auto pos = it - entries_.begin();
    if (it != entries_.end() && CompareTextIgnoringCase(it->Text, text) == 0) {
        entries_[static_cast<std::size_t>(pos)].Word = std::move(word);
        return static_cast<int>(pos);
    }
    entries_.insert(it, {text, std::move(word)});
    return static_cast<int>(pos);
}

void TWordList::AddAll(std::vector<TWordEntry> entries) {
    // The list's own entries first, so that a later entry wins as with Add.
    entries.insert(entries.begin(), std::make_move_iterator(entries_.begin()),
                   std::make_move_iterator(entries_.end()));
    std::stable_sort(entries.begin(), entries.end(), [](const TWordEntry& a, const TWordEntry& b) {
        return CompareTextIgnoringCase(a.Text, b.Text) < 0;
    });
    entries_.clear();
    for (auto& e : entries) {
        if (!entries_.empty() && CompareTextIgnoringCase(entries_.back().Text, e.Text) == 0)
            entries_.back().Word = std::move(e.Word); // the earliest text, the latest word
        else
            entries_.push_back(std::move(e));
    }
}

int TWordList::IndexOf(const std::string& text) const {
    auto it = LowerBound(entries_, text);
    if (it != entries_.end() && CompareTextIgnoringCase(it->Text, text) == 0)
        return static_cast<int>(it - entries_.begin());
    return -1;
}

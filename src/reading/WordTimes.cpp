// Mapping the voice's words onto the page's words.
#include "reading/WordTimes.h"

#include <algorithm>
#include <cmath>

namespace {
int64_t ToMs(float seconds) {
    return std::isfinite(seconds) && seconds > 0 ? static_cast<int64_t>(seconds * 1000.0f + 0.5f)
                                                 : 0;
}
} // namespace

void TWordTimes::Clear() {
    spans_.clear();
    first_ = 0;
}

void TWordTimes::Map(const std::vector<plat::SpeechWord>& said, int firstWord, int wordCount) {
    Clear();
    const bool tokens = std::all_of(said.begin(), said.end(),
                                    [](const plat::SpeechWord& w) { return w.Token >= 0; });
    std::vector<Span> spans;
    int token = -1;
    for (const plat::SpeechWord& w : said) {
        const int64_t start = ToMs(w.Start), end = std::max(start, ToMs(w.End));
        if (!spans.empty() && end < spans.back().end)
            return; // out of order: nothing can be lit in step
        if (tokens && w.Token == token) {
            spans.back().end = end;
            continue;
        }
        if (tokens && w.Token != token + 1)
            return; // a token skipped or repeated
        token = w.Token;
        if (!spans.empty() && start < spans.back().start)
            return;
        spans.push_back(Span{start, end});
    }
    if (wordCount <= 0 || firstWord < 0 || static_cast<int>(spans.size()) != wordCount)
        return;
    spans_ = std::move(spans);
    first_ = firstWord;
}

int TWordTimes::LitAt(int64_t ms) const {
    if (spans_.empty() || ms >= spans_.back().end)
        return -1;
    const auto after = std::upper_bound(spans_.begin(), spans_.end(), ms,
                                        [](int64_t t, const Span& s) { return t < s.start; });
    if (after == spans_.begin())
        return -1;
    return first_ + static_cast<int>(after - spans_.begin()) - 1;
}

int64_t TWordTimes::NextChange(int64_t ms) const {
    if (spans_.empty() || ms >= spans_.back().end)
        return -1;
    const int lit = LitAt(ms);
    const std::size_t next = lit < 0 ? 0 : static_cast<std::size_t>(lit - first_ + 1);
    return (next < spans_.size() ? spans_[next].start : spans_.back().end) - ms;
}

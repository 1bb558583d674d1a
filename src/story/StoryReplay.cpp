// The replay of the last story: what it was told from, its choices and
// spans, and the words to tell it again with.
#include "story/StoryReplay.h"

#include <algorithm>

#include "base/Random.h"
#include "vocab/Vocab.h"

TStoryReplay::TStoryReplay(TVocab& vocab) : vocab_(vocab) {}

void TStoryReplay::Note(int taleNumber, int twistPercent, bool lastTwistDecision,
                        const std::string& hero, const std::string& heroine) {
    told_.valid = true;
    told_.taleNumber = taleNumber;
    told_.seed = RandSeed();
    told_.twistPercent = twistPercent;
    told_.lastTwistDecision = lastTwistDecision;
    for (int c = 0; c < kWordClassCount; ++c) {
        told_.lastChosen[static_cast<std::size_t>(c)] = vocab_.LastChosen(c);
        told_.wordCounts[static_cast<std::size_t>(c)] = vocab_.WordList(c).Count();
    }
    told_.heroName = hero;
    told_.heroineName = heroine;
}

void TStoryReplay::Begin(const std::vector<TWordChoice>* words) {
    words_ = words;
    choices_.clear();
    spans_.clear();
    lastSetter_.fill(-1);
    SetRandSeed(told_.seed);
    for (int c = 0; c < kWordClassCount; ++c)
        vocab_.SetLastChosen(c, told_.lastChosen[static_cast<std::size_t>(c)]);
    vocab_.ClearAllUsed();
}

std::string TStoryReplay::Choose(int wordClass, uint16_t flags, std::string_view name,
                                 int definition) {
    const std::size_t k = choices_.size();
    TWordChoice c;
    c.plain.assign(name.substr(0, name.find(':')));
    c.definition = definition;
    c.wordClass = wordClass;
    c.flags = flags;
    c.lastBefore = vocab_.LastChosen(wordClass);
    const bool same = (flags & wfSameAsLast) && c.lastBefore < vocab_.WordList(wordClass).Count();
    // Told again, the draw is made as before (the same words marked used),
    // so that every later choice draws as before.
    std::string word = vocab_.ChooseWord(wordClass, flags);
    c.natural = vocab_.LastChosen(wordClass);
    c.position = c.natural;
    c.empty = word.empty();
    int& setter = lastSetter_[static_cast<std::size_t>(wordClass)];
    c.source = same ? setter : -1;
    if (!same && !c.empty)
        setter = static_cast<int>(k);
    if (words_ && k < words_->size() && (*words_)[k].position != c.natural && !c.empty) {
        c.position = (*words_)[k].position;
        word = vocab_.WordAt(wordClass, c.position, flags);
        c.empty = word.empty();
    }
    choices_.push_back(std::move(c));
    return word;
}

void TStoryReplay::AddLine(uint32_t line, const std::vector<TWordRun>& runs) {
    for (const TWordRun& r : runs)
        spans_.push_back(
            {line, static_cast<uint32_t>(r.start), static_cast<uint32_t>(r.length), r.choice});
}

void TStoryReplay::AddTitle(const std::vector<TWordRun>& runs, std::size_t cut) {
    std::vector<TWordSpan> title;
    for (const TWordRun& r : runs) {
        const std::size_t b = std::max(r.start, cut), e = r.start + r.length;
        if (b < e)
            title.push_back(
                {0, static_cast<uint32_t>(b - cut), static_cast<uint32_t>(e - b), r.choice});
    }
    spans_.insert(spans_.begin(), title.begin(), title.end());
}

bool TStoryReplay::VocabularyUnchanged() const {
    for (int c = 0; c < kWordClassCount; ++c)
        if (vocab_.WordList(c).Count() != told_.wordCounts[static_cast<std::size_t>(c)])
            return false;
    return true;
}

std::optional<std::vector<TWordChoice>>
TStoryReplay::WordsAt(const std::vector<int32_t>& positions) const {
    if (!told_.valid || positions.size() != choices_.size() || !VocabularyUnchanged())
        return std::nullopt;
    std::vector<TWordChoice> words = choices_;
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i].position = positions[i];
    return words;
}

std::optional<std::vector<int32_t>> TStoryReplay::SwappedPositions(std::size_t index) const {
    if (!told_.valid || index >= choices_.size() || !VocabularyUnchanged())
        return std::nullopt;
    std::size_t root = index;
    while (choices_[root].source >= 0 && static_cast<std::size_t>(choices_[root].source) < root)
        root = static_cast<std::size_t>(choices_[root].source);
    const int definition = choices_[root].definition;
    std::vector<int32_t> positions;
    positions.reserve(choices_.size());
    for (const TWordChoice& c : choices_)
        positions.push_back(c.position);
    for (std::size_t i = 0; i < choices_.size(); ++i) {
        const TWordChoice& c = choices_[i];
        if (c.definition != definition || c.source >= 0 || c.empty)
            continue;
        const int count = vocab_.WordList(c.wordClass).Count();
        std::vector<char> used(static_cast<std::size_t>(count), 0);
        for (std::size_t j = 0; j < choices_.size(); ++j)
            if (choices_[j].wordClass == c.wordClass && !choices_[j].empty && positions[j] >= 0 &&
                positions[j] < count)
                used[static_cast<std::size_t>(positions[j])] = 1;
        // A word every follower can take in its own form is preferred.
        std::vector<const TWordChoice*> followers;
        for (std::size_t j = i + 1; j < choices_.size(); ++j)
            if (choices_[j].source == static_cast<int>(i))
                followers.push_back(&choices_[j]);
        const auto fitsFollowers = [&](int32_t p) {
            for (const TWordChoice* f : followers)
                if (!vocab_.Fits(f->wordClass, p, f->flags))
                    return false;
            return true;
        };
        std::vector<int32_t> pick;
        for (int tier = 0; tier < 4 && pick.empty(); ++tier)
            for (int32_t p = 0; p < count; ++p) {
                const bool fresh =
                    tier % 2 == 0 ? !used[static_cast<std::size_t>(p)] : p != positions[i];
                if (fresh && vocab_.Fits(c.wordClass, p, c.flags) &&
                    (tier >= 2 || fitsFollowers(p)))
                    pick.push_back(p);
            }
        if (!pick.empty())
            positions[i] =
                pick[static_cast<std::size_t>(Random(static_cast<int32_t>(pick.size())))];
    }
    // Same-as-last choices take their word from a choice that takes none.
    for (std::size_t i = 0; i < choices_.size(); ++i)
        if (choices_[i].source >= 0)
            positions[i] = positions[static_cast<std::size_t>(choices_[i].source)];
    return positions;
}

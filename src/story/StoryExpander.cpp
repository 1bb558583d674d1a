// Expansion of template lines: definitions, references and the title.
#include "story/StoryExpander.h"

#include <algorithm>

#include "base/LumUtil.h"
#include "base/Random.h"
#include "story/StoryReplay.h"
#include "story/TokenTable.h"
#include "vocab/ProperNoun.h"
#include "vocab/Vocab.h"
#include "vocab/WordFlags.h"
#include "vocab/WordStrings.h"

namespace {

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool AtOrBelowSpace(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

constexpr std::string_view kTitleTag = "[TITLE]";

} // namespace

TStoryExpander::TStoryExpander(TDefinitionTable& definitions, TVocab& vocab)
    : definitions_(definitions), vocab_(vocab) {}

void TStoryExpander::SetTeller(int twistPercent, const std::string& hero,
                               const std::string& heroine) {
    twistPercent_ = twistPercent;
    hero_ = TrimText(hero);
    heroine_ = TrimText(heroine);
}

void TStoryExpander::BeginStory() {
    heroTold_ = heroineTold_ = false;
    title_.clear();
    titleRuns_.clear();
    definitionCount_ = 0;
}

void TStoryExpander::ExpandInto(std::string_view line, std::string& out,
                                TDefinitionTable::LineCache* cache, std::vector<TWordRun>* runs) {
    if (cache)
        definitions_.Refresh(*cache);
    if (!line.empty() && line[0] == '>') {
        scratch_.assign(line.substr(1));
        ProcessDefinitions(scratch_, cache ? &cache->definitions : nullptr);
        ReplaceReferences(scratch_, out, cache ? &cache->references : nullptr, runs);
    } else {
        ReplaceReferences(line, out, cache ? &cache->references : nullptr, runs);
    }
    if (out.compare(0, kTitleTag.size(), kTitleTag) == 0) {
        std::string_view rest =
            std::string_view(out).substr(kTitleTag.size(), TDefinitionTable::kValueLimit);
        while (!rest.empty() && AtOrBelowSpace(rest.front()))
            rest.remove_prefix(1);
        while (!rest.empty() && AtOrBelowSpace(rest.back()))
            rest.remove_suffix(1);
        title_.assign(rest);
        if (runs) {
            const std::size_t from = static_cast<std::size_t>(rest.data() - out.data());
            titleRuns_.clear();
            for (const TWordRun& r : *runs) {
                const std::size_t b = std::max(r.start, from);
                const std::size_t e = std::min(r.start + r.length, from + rest.size());
                if (b < e)
                    titleRuns_.push_back({b - from, e - b, r.choice});
            }
            runs->clear();
        }
        out.clear();
    }
}

void TStoryExpander::ProcessDefinitions(std::string& line,
                                        std::vector<TDefinitionTable::CachedName>* cache) {
    constexpr auto npos = std::string::npos;
    std::size_t eq;
    for (std::size_t k = 0; (eq = line.find('=')) != npos; ++k) {
        uint16_t flags = 0;
        // Erasing never moves the line's text, and only text after the "="
        // is erased before the definition is stored.
        const std::string_view name(line.data(), eq);
        if (eq + 1 < line.size() && line[eq + 1] == '~') {
            line.erase(eq + 1, 1);
            flags |= wfSingleWord;
        }
        const bool literal = eq + 1 < line.size() && line[eq + 1] == '"';
        const std::size_t code = eq + 2; // the "@" before it is not examined
        if (!literal && code + 1 < line.size() && line[code + 1] == '!') {
            line.erase(code + 1, 1);
            flags |= wfAllowRepeat;
        }
        bool swapped = Random(100) + 1 <= twistPercent_ && !literal;

        std::string& value = value_;
        value.clear();
        valueRuns_.clear();
        bool more = false; // a ";" ends this definition and another follows
        std::size_t end = 0;
        if (literal) {
            value.assign(TrimTrailingSpaces(line.substr(eq + 2, TDefinitionTable::kValueLimit)));
            if (!value.empty() && value.back() == '"')
                value.pop_back();
        } else {
            std::size_t pos = code;
            for (;;) {
                // A code letter missing at the end of the line reads as none.
                const char letter = pos < line.size() ? UpperAscii(line[pos]) : '\0';
                const std::size_t after = pos + 1;
                if (after < line.size() && line[after] == '&') {
                    line.erase(after, 1);
                    flags |= wfSameAsLast;
                    swapped = lastTwistDecision_;
                } else {
                    flags &= static_cast<uint16_t>(~wfSameAsLast);
                    lastTwistDecision_ = swapped;
                }
                if (after < line.size() && line[after] == '+') {
                    line.erase(after, 1);
                    flags |= wfCapitalize;
                } else {
                    flags &= static_cast<uint16_t>(~wfCapitalize);
                }
                end = after;
                if (!swapped) {
                    value += PlainWord(letter, name);
                    // Its further tokens up to the next ";" are passed over.
                    for (;;) {
                        const std::size_t semi = line.find(';', end);
                        const std::size_t at = line.find('@', end);
                        if (at == npos || (semi != npos && semi < at))
                            break;
                        end = at + 2;
                        if (end < line.size() && line[end] == '&')
                            ++end;
                        if (end < line.size() && line[end] == '+')
                            ++end;
                    }
                    break;
                }
                int choice = -1;
                const std::string word = SwappedWord(letter, flags, name, choice);
                if (choice >= 0 && !word.empty())
                    valueRuns_.push_back(
                        {value.size(), word.size(), static_cast<uint32_t>(choice)});
                value += word;
                const std::size_t semi = line.find(';', after);
                const std::size_t at = line.find('@', after);
                if (at == npos || (semi != npos && semi < at))
                    break;
                value.append(line, after, at - after);
                pos = at + 1;
            }
            more = end < line.size() && line[end] == ';';
        }
        definitions_.Define(name, value, valueRuns_, cache, k);
        ++definitionCount_;
        if (!more) {
            line.clear();
            break;
        }
        std::size_t next = end + 1;
        while (next < line.size() && line[next] == ' ')
            ++next;
        line.erase(0, next);
    }
}

std::string TStoryExpander::SwappedWord(char code, uint16_t flags, std::string_view name,
                                        int& choice) {
    switch (code) {
    case 'H':
    case 'J':
    case 'I':
    case 'K': {
        const std::string& typed = TypedName(code);
        if (typed.empty())
            break;
        return code == 'H' || code == 'I' ? typed : TProperNoun::AutoShortForm(typed);
    }
    case '#':
        return "0";
    case 'L':
        return "water";
    default:
        break;
    }
    TTokenChoice token;
    if (!TokenChoiceOf(code, token))
        return "[???]";
    flags = static_cast<uint16_t>(token.flags | flags);
    if (!recorder_ || token.wordClass < 0 || token.wordClass >= kWordClassCount)
        return vocab_.ChooseWord(token.wordClass, flags);
    std::string word = recorder_->Choose(token.wordClass, flags, name, definitionCount_);
    choice = static_cast<int>(recorder_->Choices().size()) - 1;
    return word;
}

const std::string& TStoryExpander::TypedName(char code) {
    const bool hero = code == 'H' || code == 'J';
    const std::string& typed = hero ? hero_ : heroine_;
    if (!typed.empty())
        (hero ? heroTold_ : heroineTold_) = true;
    return typed;
}

std::string TStoryExpander::PlainWord(char code, std::string_view name) {
    if (code == 'H' || code == 'J' || code == 'I' || code == 'K') {
        const std::string& typed = TypedName(code);
        if (!typed.empty())
            return code == 'H' || code == 'I' ? typed : FirstWord(typed);
    }
    return std::string(name.substr(0, name.find(':')));
}

namespace {

// Appends to Out the parts of Runs (sorted, not overlapping) that lie in
// [From, To), moved by Shift; Next is the first run not wholly before To
// afterwards when Consume, and stays otherwise.
void CopyRuns(const std::vector<TWordRun>& runs, std::size_t& next, std::size_t from,
              std::size_t to, std::ptrdiff_t shift, std::vector<TWordRun>& out,
              bool consume = true) {
    for (std::size_t i = next; i < runs.size() && runs[i].start < to; ++i) {
        const std::size_t b = std::max(runs[i].start, from);
        const std::size_t e = std::min(runs[i].start + runs[i].length, to);
        if (b < e)
            out.push_back({static_cast<std::size_t>(static_cast<std::ptrdiff_t>(b) + shift), e - b,
                           runs[i].choice});
        if (runs[i].start + runs[i].length > to)
            break;
        if (consume)
            next = i + 1;
    }
}

} // namespace

void TStoryExpander::ReplaceReferences(std::string_view line, std::string& out,
                                       std::vector<TDefinitionTable::CachedName>* cache,
                                       std::vector<TWordRun>* runs) {
    // Out holds the part of the line already done, which holds no brace; Rest
    // is the part still to search. A replacement that holds a brace is put
    // back before Rest (into Work) to be searched again; any other one goes
    // straight to Out, as searching it again would find nothing.
    //
    // With Runs, the characters that came from the vocabulary are followed:
    // a line's own text holds none, a definition's value holds its runs, and
    // Work's runs (positions in Work) go along with Rest.
    out.clear();
    if (runs)
        runs->clear();
    std::string_view rest = line;
    std::string work;
    std::vector<TWordRun> workRuns, joinedRuns;
    std::size_t workNext = 0;
    bool inWork = false; // Rest is part of Work
    const auto restFrom = [&] { return static_cast<std::size_t>(rest.data() - work.data()); };
    // Out += the first N characters of Rest.
    const auto take = [&](std::size_t n) {
        if (runs && inWork) {
            const std::size_t from = restFrom();
            CopyRuns(workRuns, workNext, from, from + n,
                     static_cast<std::ptrdiff_t>(out.size()) - static_cast<std::ptrdiff_t>(from),
                     *runs);
        }
        out.append(rest.substr(0, n));
    };
    constexpr auto npos = std::string_view::npos;
    for (int replaced = 0; replaced < kMaxReferencesPerLine; ++replaced) {
        if (out.size() + rest.size() > kMaxExpandedLine)
            break;
        const std::size_t open = rest.find('{');
        if (open == npos || rest.substr(0, open).find('}') != npos)
            break;
        const std::size_t close = rest.find('}', open + 1);
        if (close == npos)
            break;
        take(open);
        const std::string_view name = rest.substr(open + 1, close - open - 1);
        const std::size_t nameFrom = inWork ? restFrom() + open + 1 : 0;
        rest.remove_prefix(close + 1);
        std::string_view replacement = name;
        bool rescan = name.find('{') != npos;
        const TDefinitionTable::Definition* d =
            definitions_.Reference(name, cache, static_cast<std::size_t>(replaced));
        if (d) {
            replacement = std::string_view(d->value).substr(0, TDefinitionTable::kValueLimit);
            rescan = d->hasBrace;
        }
        // The runs of the replacement, at their places in it.
        joinedRuns.clear();
        if (runs) {
            std::size_t first = 0;
            if (d)
                CopyRuns(d->runs, first, 0, replacement.size(), 0, joinedRuns, false);
            else if (inWork)
                CopyRuns(workRuns, first = workNext, nameFrom, nameFrom + name.size(),
                         -static_cast<std::ptrdiff_t>(nameFrom), joinedRuns, false);
        }
        if (rescan) {
            if (runs && inWork) {
                const std::size_t from = restFrom();
                CopyRuns(workRuns, workNext, from, work.size(),
                         static_cast<std::ptrdiff_t>(replacement.size()) -
                             static_cast<std::ptrdiff_t>(from),
                         joinedRuns);
            }
            std::string joined;
            joined.reserve(replacement.size() + rest.size());
            joined.append(replacement).append(rest);
            work.swap(joined);
            rest = work;
            inWork = true;
            workRuns.swap(joinedRuns);
            workNext = 0;
        } else {
            if (runs)
                for (const TWordRun& r : joinedRuns)
                    runs->push_back({r.start + out.size(), r.length, r.choice});
            out.append(replacement);
        }
    }
    take(rest.size());
}

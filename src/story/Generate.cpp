// The story generator: template loading, definition lines, references and
// whole stories.
#include "story/Generate.h"

#include <algorithm>
#include <exception>

#include "data/InitGame.h"
#include "data/ObfText.h"
#include "image/LumUtil.h"
#include "image/Random.h"
#include "story/CoverLine.h"
#include "story/TokenTable.h"
#include "vocab/ProperNoun.h"
#include "vocab/Vocab.h"
#include "vocab/WordFlags.h"
#include "vocab/WordStrings.h"

bool LastTwistDecision = false;

namespace {

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool HasBrace(std::string_view s) {
    return s.find('{') != std::string_view::npos || s.find('}') != std::string_view::npos;
}

bool AtOrBelowSpace(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

constexpr std::size_t kValueLimit = 255;
constexpr std::string_view kMarker = "\\n";
constexpr std::string_view kTitleTag = "[TITLE]";

} // namespace

TStoryGenerator::Files TStoryGenerator::Files::Game() {
    Files f;
    f.dataFolder = DataFolder;
    f.wordsFile = InstallFolder + "words.dat";
    f.settingsFile = SettingsFileName;
    return f;
}

TStoryGenerator::TStoryGenerator() : TStoryGenerator(Files::Game()) {}

TStoryGenerator::TStoryGenerator(const Files& files) : files_(files) {
    vocab_ = std::make_unique<TVocab>(files_.wordsFile, files_.saveWords);
    const TLineFilter acceptAll = [](std::string&) { return true; };
    for (int n = 1; n <= kTaleCount; ++n) {
        const std::string number = std::to_string(n);
        const std::string plain = files_.dataFolder + "ml" + number + ".dat";
        const std::string scrambled = files_.dataFolder + "sb" + number + ".dat";
        RefreshScrambledFile(plain, scrambled, acceptAll);
        std::vector<std::string> lines;
        try {
            TObfText text(scrambled);
            std::string line;
            do {
                text.ReadLine(line);
                lines.push_back(line);
            } while (!text.AtEnd());
        } catch (const std::exception&) {
            // A template that cannot be read keeps what was read.
        }
        SetTemplate(n, std::move(lines));
    }
    if (!files_.settingsFile.empty()) {
        ReadIniString("Story", "Hero", "", HeroName, files_.settingsFile);
        ReadIniString("Story", "Heroine", "", HeroineName, files_.settingsFile);
    }
}

TStoryGenerator::~TStoryGenerator() {
    if (files_.saveSettings && !files_.settingsFile.empty()) {
        WriteIniString("Story", "Hero", HeroName, files_.settingsFile);
        WriteIniString("Story", "Heroine", HeroineName, files_.settingsFile);
    }
    vocab_.reset();
}

void TStoryGenerator::SetTemplate(int taleNumber, std::vector<std::string> lines) {
    if (taleNumber < 1 || taleNumber > kTaleCount)
        return;
    Tale& tale = tales_[taleNumber - 1];
    tale.tokenized = lines;
    for (std::string& line : tale.tokenized)
        ReplaceTokenWords(line);
    tale.caches.assign(lines.size(), LineCache());
    tale.lines = std::move(lines);
}

const std::vector<std::string>& TStoryGenerator::Template(int taleNumber) const {
    static const std::vector<std::string> none;
    if (taleNumber < 1 || taleNumber > kTaleCount)
        return none;
    return tales_[taleNumber - 1].lines;
}

bool TStoryGenerator::HasTales() const {
    return std::any_of(tales_.begin(), tales_.end(), [](const Tale& tale) {
        return std::any_of(tale.lines.begin(), tale.lines.end(),
                           [](const std::string& line) { return !line.empty(); });
    });
}

void TStoryGenerator::SetTwistLevel(int percent) {
    twistPercent_ = std::clamp(percent, 0, 100);
}

std::string TStoryGenerator::GetCoverLine(int taleNumber) const {
    const auto& lines = Template(taleNumber);
    if (lines.empty())
        return std::string();
    std::string cover = lines[0];
    while (cover.size() >= 2 && cover.compare(cover.size() - 2, 2, kMarker) == 0)
        cover.resize(cover.size() - 2);
    return cover;
}

std::string TStoryGenerator::GetTitle(int taleNumber) const {
    return TCoverLine::Parse(title_.empty() ? GetCoverLine(taleNumber) : title_).text;
}

void TStoryGenerator::Reseed() {
    if (fixedSeed_)
        SetRandSeed(*fixedSeed_);
    else
        Randomize();
}

const std::vector<std::string>& TStoryGenerator::GenerateStory(int taleNumber) {
    Reseed();
    vocab_->ClearAllUsed();
    if (taleNumber < 1 || taleNumber > kTaleCount)
        taleNumber = Random(kTaleCount) + 1;
    ClearDefinitions();
    title_.clear();
    // The line strings of the last story are reused; line 0 is the title.
    std::size_t count = 1;
    if (storyLines_.empty())
        storyLines_.emplace_back();
    Tale& tale = tales_[taleNumber - 1];
    for (std::size_t i = 1; i < tale.tokenized.size(); ++i) {
        if (storyLines_.size() <= count)
            storyLines_.emplace_back();
        ExpandInto(tale.tokenized[i], storyLines_[count], &tale.caches[i]);
        if (!storyLines_[count].empty())
            ++count;
    }
    storyLines_.resize(count);
    storyLines_[0] = GetTitle(taleNumber);
    storyLines_[0] += kMarker;
    storyLines_[0] += kMarker;
    return storyLines_;
}

void TStoryGenerator::ClearDefinitions() {
    // Names met by ExpandLine or changing templates could pile up; a story
    // starts afresh when there are many.
    constexpr std::size_t kKeptNames = 4096;
    if (definitions_.size() > kKeptNames) {
        definitions_.clear();
        ++generation_;
    } else {
        // Values far longer than a tale's keep no memory between stories.
        constexpr std::size_t kKeptValue = 1024;
        for (Definition* d : definedNow_) {
            d->defined = false;
            if (d->value.capacity() > kKeptValue)
                std::string().swap(d->value);
        }
    }
    definedNow_.clear();
}

void TStoryGenerator::ReplaceTokenWords(std::string& line) {
    for (const TTokenWord& token : kTokenWords) {
        // The text before a replaced "@c" holds no occurrence, and none can
        // start on the "@", so each search may go on after it.
        std::size_t pos = 0;
        while ((pos = line.find(token.word, pos)) != std::string::npos) {
            line[pos] = '@';
            line[pos + 1] = token.code;
            line.erase(pos + 2, token.word.size() - 2);
            ++pos;
        }
    }
}

std::string TStoryGenerator::ExpandLine(const std::string& line) {
    std::string s = line;
    ReplaceTokenWords(s);
    std::string out;
    ExpandInto(s, out);
    return out;
}

void TStoryGenerator::ExpandInto(std::string_view line, std::string& out, LineCache* cache) {
    if (cache && cache->generation != generation_) {
        cache->definitions.clear();
        cache->references.clear();
        cache->generation = generation_;
    }
    if (!line.empty() && line[0] == '>') {
        scratch_.assign(line.substr(1));
        ProcessDefinitions(scratch_, cache ? &cache->definitions : nullptr);
        ReplaceReferences(scratch_, out, cache ? &cache->references : nullptr);
    } else {
        ReplaceReferences(line, out, cache ? &cache->references : nullptr);
    }
    if (out.compare(0, kTitleTag.size(), kTitleTag) == 0) {
        std::string_view rest = std::string_view(out).substr(kTitleTag.size(), kValueLimit);
        while (!rest.empty() && AtOrBelowSpace(rest.front()))
            rest.remove_prefix(1);
        while (!rest.empty() && AtOrBelowSpace(rest.back()))
            rest.remove_suffix(1);
        title_.assign(rest);
        out.clear();
    }
}

void TStoryGenerator::ProcessDefinitions(std::string& line, std::vector<CachedName>* cache) {
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
        bool more = false; // a ";" ends this definition and another follows
        std::size_t end = 0;
        if (literal) {
            value.assign(TrimTrailingSpaces(line.substr(eq + 2, kValueLimit)));
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
                    swapped = LastTwistDecision;
                } else {
                    flags &= static_cast<uint16_t>(~wfSameAsLast);
                    LastTwistDecision = swapped;
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
                value += SwappedWord(letter, flags);
                const std::size_t semi = line.find(';', after);
                const std::size_t at = line.find('@', after);
                if (at == npos || (semi != npos && semi < at))
                    break;
                value.append(line, after, at - after);
                pos = at + 1;
            }
            more = end < line.size() && line[end] == ';';
        }
        Define(name, value, cache, k);
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

std::string TStoryGenerator::SwappedWord(char code, uint16_t flags) {
    switch (code) {
    case 'H':
    case 'J':
    case 'I':
    case 'K': {
        const std::string name = TrimText(code == 'H' || code == 'J' ? HeroName : HeroineName);
        if (name.empty())
            break;
        return code == 'H' || code == 'I' ? name : TProperNoun::AutoShortForm(name);
    }
    case '#':
        return "0";
    case 'L':
        return "water";
    default:
        break;
    }
    TTokenChoice choice;
    if (!TokenChoiceOf(code, choice))
        return "[???]";
    return vocab_->ChooseWord(choice.wordClass, static_cast<uint16_t>(choice.flags | flags));
}

std::string TStoryGenerator::PlainWord(char code, std::string_view name) const {
    if (code == 'H' || code == 'J' || code == 'I' || code == 'K') {
        const std::string typed = TrimText(code == 'H' || code == 'J' ? HeroName : HeroineName);
        if (!typed.empty())
            return code == 'H' || code == 'I' ? typed : FirstWord(typed);
    }
    return std::string(name.substr(0, name.find(':')));
}

TStoryGenerator::Definition* TStoryGenerator::Entry(std::string_view name,
                                                    std::vector<CachedName>* cache, std::size_t k) {
    if (cache && k < cache->size()) {
        const CachedName& c = (*cache)[k];
        if (c.name && *c.name == name)
            return c.definition;
    }
    auto it = definitions_.find(name);
    if (it == definitions_.end())
        return nullptr;
    if (cache) {
        if (cache->size() <= k)
            cache->resize(k + 1);
        (*cache)[k] = {&it->first, &it->second};
    }
    return &it->second;
}

void TStoryGenerator::Define(std::string_view name, const std::string& value,
                             std::vector<CachedName>* cache, std::size_t k) {
    Definition* entry = Entry(name, cache, k);
    if (!entry) {
        definitions_.emplace(std::string(name), Definition());
        entry = Entry(name, cache, k);
    }
    Definition& d = *entry; // entries stay in place while the map grows
    if (!d.defined)
        definedNow_.push_back(&d);
    d.value.assign(value);
    d.order = nextOrder_++;
    d.defined = true;
    d.hasBrace = HasBrace(std::string_view(value).substr(0, kValueLimit));
}

const TStoryGenerator::Definition* TStoryGenerator::Lookup(std::string_view name) const {
    // Defined names hold no "=", so an entry "defined=value" begins with
    // Name followed by "=" only when Name is the defined name, or when Name
    // is the defined name, "=" and a start of the value that "=" follows.
    const std::size_t eq = name.find('=');
    auto it = definitions_.find(name.substr(0, eq));
    if (it == definitions_.end() || !it->second.defined)
        return nullptr;
    if (eq != std::string_view::npos) {
        const std::string_view value = it->second.value;
        const std::string_view rest = name.substr(eq + 1);
        if (value.size() <= rest.size() || value.substr(0, rest.size()) != rest ||
            value[rest.size()] != '=')
            return nullptr;
    }
    return &it->second;
}

std::vector<std::pair<std::string_view, std::string_view>>
TStoryGenerator::OrderedDefinitions() const {
    std::vector<std::pair<const std::string*, const Definition*>> all;
    all.reserve(definitions_.size());
    for (const auto& [name, d] : definitions_)
        if (d.defined)
            all.emplace_back(&name, &d);
    std::sort(all.begin(), all.end(),
              [](const auto& a, const auto& b) { return a.second->order < b.second->order; });
    std::vector<std::pair<std::string_view, std::string_view>> out;
    out.reserve(all.size());
    for (const auto& [name, d] : all)
        out.emplace_back(*name, d->value);
    return out;
}

int TStoryGenerator::FindDefinition(std::string_view name) const {
    if (!Lookup(name))
        return -1;
    const std::size_t eq = name.find('=');
    const auto ordered = OrderedDefinitions();
    for (std::size_t i = 0; i < ordered.size(); ++i)
        if (ordered[i].first == name.substr(0, eq))
            return static_cast<int>(i);
    return -1;
}

std::vector<std::string> TStoryGenerator::Definitions() const {
    std::vector<std::string> out;
    for (const auto& [name, value] : OrderedDefinitions()) {
        std::string entry(name);
        entry += '=';
        entry += value;
        out.push_back(std::move(entry));
    }
    return out;
}

void TStoryGenerator::ReplaceReferences(std::string_view line, std::string& out,
                                        std::vector<CachedName>* cache) {
    // Out holds the part of the line already done, which holds no brace; Rest
    // is the part still to search. A replacement that holds a brace is put
    // back before Rest (into Work) to be searched again; any other one goes
    // straight to Out, as searching it again would find nothing.
    out.clear();
    std::string_view rest = line;
    std::string work;
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
        out.append(rest.substr(0, open));
        const std::string_view name = rest.substr(open + 1, close - open - 1);
        rest.remove_prefix(close + 1);
        std::string_view replacement = name;
        bool rescan = name.find('{') != npos;
        const Definition* d = nullptr;
        if (name.find('=') != npos) {
            d = Lookup(name);
        } else {
            d = Entry(name, cache, static_cast<std::size_t>(replaced));
            if (d && !d->defined)
                d = nullptr;
        }
        if (d) {
            replacement = std::string_view(d->value).substr(0, kValueLimit);
            rescan = d->hasBrace;
        }
        if (rescan) {
            std::string joined;
            joined.reserve(replacement.size() + rest.size());
            joined.append(replacement).append(rest);
            work.swap(joined);
            rest = work;
        } else {
            out.append(replacement);
        }
    }
    out.append(rest);
}

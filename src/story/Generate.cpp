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
    told_.valid = true;
    told_.taleNumber = taleNumber;
    told_.seed = RandSeed();
    told_.twistPercent = twistPercent_;
    told_.lastTwistDecision = LastTwistDecision;
    for (int c = 0; c < kWordClassCount; ++c) {
        told_.lastChosen[static_cast<std::size_t>(c)] = vocab_->LastChosen(c);
        told_.wordCounts[static_cast<std::size_t>(c)] = vocab_->WordList(c).Count();
    }
    told_.heroName = HeroName;
    told_.heroineName = HeroineName;
    Tell(nullptr);
    return storyLines_;
}

void TStoryGenerator::Tell(const std::vector<TWordChoice>* replay) {
    // The story is told from what it was first told from: the names and the
    // twist of that time, the same draws.
    struct Scope {
        TStoryGenerator& g;
        std::string hero, heroine;
        int twist;
        ~Scope() {
            g.HeroName.swap(hero);
            g.HeroineName.swap(heroine);
            g.twistPercent_ = twist;
            g.tracking_ = false;
            g.replay_ = nullptr;
        }
    } scope{*this, told_.heroName, told_.heroineName, twistPercent_};
    HeroName.swap(scope.hero);
    HeroineName.swap(scope.heroine);
    twistPercent_ = told_.twistPercent;
    tracking_ = true;
    replay_ = replay;
    choices_.clear();
    spans_.clear();
    titleRuns_.clear();
    definitionCount_ = 0;
    lastSetter_.fill(-1);
    SetRandSeed(told_.seed);
    LastTwistDecision = told_.lastTwistDecision;
    for (int c = 0; c < kWordClassCount; ++c)
        vocab_->SetLastChosen(c, told_.lastChosen[static_cast<std::size_t>(c)]);

    vocab_->ClearAllUsed();
    int taleNumber = told_.taleNumber;
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
        ExpandInto(tale.tokenized[i], storyLines_[count], &tale.caches[i], &lineRuns_);
        if (!storyLines_[count].empty()) {
            for (const Run& r : lineRuns_)
                spans_.push_back({static_cast<uint32_t>(count), static_cast<uint32_t>(r.start),
                                  static_cast<uint32_t>(r.length), r.choice});
            ++count;
        }
    }
    storyLines_.resize(count);
    storyLines_[0] = GetTitle(taleNumber);
    if (!title_.empty()) {
        // The title loses its leading flags as the cover line does.
        const std::size_t cut = title_.size() - storyLines_[0].size();
        std::vector<TWordSpan> title;
        for (const Run& r : titleRuns_) {
            const std::size_t b = std::max(r.start, cut), e = r.start + r.length;
            if (b < e)
                title.push_back(
                    {0, static_cast<uint32_t>(b - cut), static_cast<uint32_t>(e - b), r.choice});
        }
        spans_.insert(spans_.begin(), title.begin(), title.end());
    }
    storyLines_[0] += kMarker;
    storyLines_[0] += kMarker;
}

bool TStoryGenerator::VocabularyUnchanged() const {
    for (int c = 0; c < kWordClassCount; ++c)
        if (vocab_->WordList(c).Count() != told_.wordCounts[static_cast<std::size_t>(c)])
            return false;
    return true;
}

bool TStoryGenerator::Retell(const std::vector<int32_t>& positions) {
    if (!told_.valid || positions.size() != choices_.size() || !VocabularyUnchanged())
        return false;
    std::vector<TWordChoice> replay = choices_;
    for (std::size_t i = 0; i < replay.size(); ++i)
        replay[i].position = positions[i];
    // Telling again reseeds; the draws go on afterwards as they would have.
    const uint32_t seed = RandSeed();
    Tell(&replay);
    SetRandSeed(seed);
    return true;
}

bool TStoryGenerator::SwapAgain(std::size_t index) {
    if (!told_.valid || index >= choices_.size() || !VocabularyUnchanged())
        return false;
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
        const int count = vocab_->WordList(c.wordClass).Count();
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
                if (!vocab_->Fits(f->wordClass, p, f->flags))
                    return false;
            return true;
        };
        std::vector<int32_t> pick;
        for (int tier = 0; tier < 4 && pick.empty(); ++tier)
            for (int32_t p = 0; p < count; ++p) {
                const bool fresh =
                    tier % 2 == 0 ? !used[static_cast<std::size_t>(p)] : p != positions[i];
                if (fresh && vocab_->Fits(c.wordClass, p, c.flags) &&
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
    return Retell(positions);
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

void TStoryGenerator::ExpandInto(std::string_view line, std::string& out, LineCache* cache,
                                 std::vector<Run>* runs) {
    if (cache && cache->generation != generation_) {
        cache->definitions.clear();
        cache->references.clear();
        cache->generation = generation_;
    }
    if (!line.empty() && line[0] == '>') {
        scratch_.assign(line.substr(1));
        ProcessDefinitions(scratch_, cache ? &cache->definitions : nullptr);
        ReplaceReferences(scratch_, out, cache ? &cache->references : nullptr, runs);
    } else {
        ReplaceReferences(line, out, cache ? &cache->references : nullptr, runs);
    }
    if (out.compare(0, kTitleTag.size(), kTitleTag) == 0) {
        std::string_view rest = std::string_view(out).substr(kTitleTag.size(), kValueLimit);
        while (!rest.empty() && AtOrBelowSpace(rest.front()))
            rest.remove_prefix(1);
        while (!rest.empty() && AtOrBelowSpace(rest.back()))
            rest.remove_suffix(1);
        title_.assign(rest);
        if (runs) {
            const std::size_t from = static_cast<std::size_t>(rest.data() - out.data());
            titleRuns_.clear();
            for (const Run& r : *runs) {
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
        valueRuns_.clear();
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
                const std::size_t before = choices_.size();
                const std::string word = SwappedWord(letter, flags, name);
                if (choices_.size() > before && !word.empty())
                    valueRuns_.push_back(
                        {value.size(), word.size(), static_cast<uint32_t>(before)});
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
        Define(name, value, valueRuns_, cache, k);
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

std::string TStoryGenerator::SwappedWord(char code, uint16_t flags, std::string_view name) {
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
    return Choose(choice.wordClass, static_cast<uint16_t>(choice.flags | flags), name);
}

std::string TStoryGenerator::Choose(int wordClass, uint16_t flags, std::string_view name) {
    if (!tracking_ || wordClass < 0 || wordClass >= kWordClassCount)
        return vocab_->ChooseWord(wordClass, flags);
    const std::size_t k = choices_.size();
    TWordChoice c;
    c.plain.assign(name.substr(0, name.find(':')));
    c.definition = definitionCount_;
    c.wordClass = wordClass;
    c.flags = flags;
    c.lastBefore = vocab_->LastChosen(wordClass);
    const bool same = (flags & wfSameAsLast) && c.lastBefore < vocab_->WordList(wordClass).Count();
    // Told again, the draw is made as before (the same words marked used),
    // so that every later choice draws as before.
    std::string word = vocab_->ChooseWord(wordClass, flags);
    c.natural = vocab_->LastChosen(wordClass);
    c.position = c.natural;
    c.empty = word.empty();
    int& setter = lastSetter_[static_cast<std::size_t>(wordClass)];
    c.source = same ? setter : -1;
    if (!same && !c.empty)
        setter = static_cast<int>(k);
    if (replay_ && k < replay_->size() && (*replay_)[k].position != c.natural && !c.empty) {
        c.position = (*replay_)[k].position;
        word = vocab_->WordAt(wordClass, c.position, flags);
        c.empty = word.empty();
    }
    choices_.push_back(std::move(c));
    return word;
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
                             const std::vector<Run>& runs, std::vector<CachedName>* cache,
                             std::size_t k) {
    Definition* entry = Entry(name, cache, k);
    if (!entry) {
        definitions_.emplace(std::string(name), Definition());
        entry = Entry(name, cache, k);
    }
    Definition& d = *entry; // entries stay in place while the map grows
    if (!d.defined)
        definedNow_.push_back(&d);
    d.value.assign(value);
    d.runs.assign(runs.begin(), runs.end());
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

namespace {

// Appends to Out the parts of Runs (sorted, not overlapping) that lie in
// [From, To), moved by Shift; Next is the first run not wholly before To
// afterwards when Consume, and stays otherwise.
template <typename RunT>
void CopyRuns(const std::vector<RunT>& runs, std::size_t& next, std::size_t from, std::size_t to,
              std::ptrdiff_t shift, std::vector<RunT>& out, bool consume = true) {
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

void TStoryGenerator::ReplaceReferences(std::string_view line, std::string& out,
                                        std::vector<CachedName>* cache, std::vector<Run>* runs) {
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
    std::vector<Run> workRuns, joinedRuns;
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
                for (const Run& r : joinedRuns)
                    runs->push_back({r.start + out.size(), r.length, r.choice});
            out.append(replacement);
        }
    }
    take(rest.size());
}

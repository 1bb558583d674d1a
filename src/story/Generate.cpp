// The story generator: template loading, definition lines, references and
// whole stories.
#include "story/Generate.h"

#include <algorithm>
#include <exception>

#include "data/InitGame.h"
#include "data/ObfText.h"
#include "image/LumUtil.h"
#include "image/Random.h"
#include "vocab/ProperNoun.h"
#include "vocab/Vocab.h"
#include "vocab/WordFlags.h"
#include "vocab/WordStrings.h"

bool LastTwistDecision = false;

namespace {

// The token words in the order they are replaced: every token comes before
// the shorter tokens it contains.
struct TokenWord {
    std::string_view word;
    char code;
};
constexpr TokenWord kTokenWords[] = {
    {"ANOUN", '1'},  {"NOUNS", '2'},  {"NOUN", 'N'},    {"ADVERB", 'D'}, {"AADJ", '3'},
    {"ADJ", 'A'},    {"VERB", 'V'},   {"PRESENT", 'W'}, {"PAST", 'X'},   {"ING", 'Y'},
    {"MHERO", 'H'},  {"FHERO", 'I'},  {"MHER", 'J'},    {"FHER", 'K'},   {"##", '#'},
    {"LIQUID", 'L'}, {"MCELEB", 'M'}, {"FCELEB", 'F'},  {"CELEB", 'C'},  {"ER", 'R'},
    {"EST", 'Z'},    {"PLACE", 'P'},  {"PART", 'T'},    {"MCEL", '4'},   {"FCEL", '5'},
    {"CEL", '6'},
};

// A vocabulary choice: the word class and the flags of a code letter.
struct Choice {
    int wordClass;
    uint16_t flags;
};

bool ChoiceOf(char code, Choice& choice) {
    switch (code) {
    case '1':
        choice = {wcNoun, wfArticle};
        return true;
    case '2':
        choice = {wcNoun, wfPlural};
        return true;
    case 'N':
        choice = {wcNoun, 0};
        return true;
    case 'D':
        choice = {wcAdjective, wfAdverb};
        return true;
    case '3':
        choice = {wcAdjective, wfArticle};
        return true;
    case 'A':
        choice = {wcAdjective, 0};
        return true;
    case 'V':
        choice = {wcVerb, 0};
        return true;
    case 'W':
        choice = {wcVerb, wfPresent};
        return true;
    case 'X':
        choice = {wcVerb, wfPast};
        return true;
    case 'Y':
        choice = {wcVerb, wfContinuous};
        return true;
    case 'H':
        choice = {wcProperNoun, wfMale};
        return true;
    case 'I':
        choice = {wcProperNoun, wfFemale};
        return true;
    case 'J':
        choice = {wcProperNoun, wfMale | wfShortForm};
        return true;
    case 'K':
        choice = {wcProperNoun, wfFemale | wfShortForm};
        return true;
    case 'M':
        choice = {wcProperNoun, wfMale};
        return true;
    case 'F':
        choice = {wcProperNoun, wfFemale};
        return true;
    case 'C':
        choice = {wcProperNoun, 0};
        return true;
    case 'R':
        choice = {wcAdjective, wfBigger};
        return true;
    case 'Z':
        choice = {wcAdjective, wfBiggest};
        return true;
    case 'P':
        choice = {wcPlace, 0};
        return true;
    case 'T':
        choice = {wcVerb, wfParticiple};
        return true;
    case '4':
        choice = {wcProperNoun, wfMale | wfShortForm};
        return true;
    case '5':
        choice = {wcProperNoun, wfFemale | wfShortForm};
        return true;
    case '6':
        choice = {wcProperNoun, wfShortForm};
        return true;
    default:
        return false;
    }
}

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
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
    tale.lines = std::move(lines);
}

const std::vector<std::string>& TStoryGenerator::Template(int taleNumber) const {
    static const std::vector<std::string> none;
    if (taleNumber < 1 || taleNumber > kTaleCount)
        return none;
    return tales_[taleNumber - 1].lines;
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
    std::string title = title_.empty() ? GetCoverLine(taleNumber) : title_;
    if (!title.empty() && title[0] == '$')
        title.erase(0, 1);
    if (!title.empty() && title[0] == '%')
        title.erase(0, 1);
    return title;
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
    definitions_.clear();
    storyLines_.clear();
    title_.clear();
    storyLines_.emplace_back(); // the title, once the lines have set it
    const auto& lines = tales_[taleNumber - 1].tokenized;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string s = ExpandTokenized(lines[i]);
        if (!s.empty())
            storyLines_.push_back(std::move(s));
    }
    storyLines_[0] = GetTitle(taleNumber);
    storyLines_[0] += kMarker;
    storyLines_[0] += kMarker;
    return storyLines_;
}

void TStoryGenerator::ReplaceTokenWords(std::string& line) {
    for (const TokenWord& token : kTokenWords) {
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
    return ExpandTokenized(std::move(s));
}

std::string TStoryGenerator::ExpandTokenized(std::string line) {
    if (!line.empty() && line[0] == '>') {
        line.erase(0, 1);
        ProcessDefinitions(line);
    }
    ReplaceReferences(line);
    if (line.compare(0, kTitleTag.size(), kTitleTag) == 0) {
        std::string rest = line.substr(kTitleTag.size(), kValueLimit);
        std::size_t first = 0;
        while (first < rest.size() && AtOrBelowSpace(rest[first]))
            ++first;
        std::size_t last = rest.size();
        while (last > first && AtOrBelowSpace(rest[last - 1]))
            --last;
        title_ = rest.substr(first, last - first);
        line.clear();
    }
    return line;
}

void TStoryGenerator::ProcessDefinitions(std::string& line) {
    constexpr auto npos = std::string::npos;
    std::size_t eq;
    while ((eq = line.find('=')) != npos) {
        uint16_t flags = 0;
        std::string name = line.substr(0, eq);
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

        std::string value;
        bool more = false; // a ";" ends this definition and another follows
        std::size_t end = 0;
        if (literal) {
            value = TrimTrailingSpaces(line.substr(eq + 2, kValueLimit));
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
        Define(std::move(name), std::move(value));
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
        if (!HeroName.empty())
            return HeroName;
        break;
    case 'I':
        if (!HeroineName.empty())
            return HeroineName;
        break;
    case 'J':
        if (!HeroName.empty())
            return TProperNoun::AutoShortForm(HeroName);
        break;
    case 'K':
        if (!HeroineName.empty())
            return TProperNoun::AutoShortForm(HeroineName);
        break;
    case '#':
        return "0";
    case 'L':
        return "water";
    default:
        break;
    }
    Choice choice;
    if (!ChoiceOf(code, choice))
        return "[???]";
    return vocab_->ChooseWord(choice.wordClass, static_cast<uint16_t>(choice.flags | flags));
}

std::string TStoryGenerator::PlainWord(char code, std::string_view name) const {
    if ((code == 'H' || code == 'J') && !HeroName.empty())
        return code == 'H' ? HeroName : FirstWord(HeroName);
    if ((code == 'I' || code == 'K') && !HeroineName.empty())
        return code == 'I' ? HeroineName : FirstWord(HeroineName);
    return std::string(name.substr(0, name.find(':')));
}

void TStoryGenerator::Define(std::string name, std::string value) {
    Definition& d = definitions_[std::move(name)];
    d.value = std::move(value);
    d.order = nextOrder_++;
}

std::optional<std::string_view> TStoryGenerator::Lookup(std::string_view name) const {
    // Defined names hold no "=", so an entry "defined=value" begins with
    // Name followed by "=" only when Name is the defined name, or when Name
    // is the defined name, "=" and a start of the value that "=" follows.
    const std::size_t eq = name.find('=');
    auto it = definitions_.find(name.substr(0, eq));
    if (it == definitions_.end())
        return std::nullopt;
    const std::string_view value = it->second.value;
    if (eq != std::string_view::npos) {
        const std::string_view rest = name.substr(eq + 1);
        if (value.size() <= rest.size() || value.substr(0, rest.size()) != rest ||
            value[rest.size()] != '=')
            return std::nullopt;
    }
    return value;
}

std::vector<std::pair<std::string_view, std::string_view>>
TStoryGenerator::OrderedDefinitions() const {
    std::vector<std::pair<const std::string*, const Definition*>> all;
    all.reserve(definitions_.size());
    for (const auto& [name, d] : definitions_)
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

void TStoryGenerator::ReplaceReferences(std::string& line) const {
    // Before Pos the line holds no brace, so the first "{" and the first "}"
    // of the line are the first ones at or after Pos.
    std::size_t pos = 0;
    for (int replaced = 0; replaced < kMaxReferencesPerLine; ++replaced) {
        if (line.size() > kMaxExpandedLine)
            return;
        const std::size_t open = line.find('{', pos);
        if (open == std::string::npos)
            return;
        const std::size_t close = line.find('}', pos);
        if (close == std::string::npos || close < open)
            return;
        const std::string_view name(line.data() + open + 1, close - open - 1);
        if (auto value = Lookup(name)) {
            const std::string_view v = value->substr(0, kValueLimit);
            line.replace(open, close - open + 1, v.data(), v.size());
        } else {
            line.erase(close, 1);
            line.erase(open, 1);
        }
        pos = open;
    }
}

// Test fixtures of the story generator.
#include "StoryFixture.h"

#include <filesystem>

namespace storytest {

namespace {
void PutInt16(std::string& out, int v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void PutString(std::string& out, const std::string& s) {
    PutInt16(out, static_cast<int>(s.size()));
    out += s;
}
} // namespace

WordsFile& WordsFile::Name(const std::string& word, bool male, const std::string& shortForm) {
    Section& s = sections_[0];
    PutString(s.records, word);
    s.records += static_cast<char>(male ? 1 : 0);
    PutString(s.records, shortForm);
    ++s.count;
    return *this;
}

WordsFile& WordsFile::Noun(const std::string& word, const std::string& plural) {
    Section& s = sections_[1];
    PutString(s.records, word);
    PutString(s.records, plural);
    ++s.count;
    return *this;
}

WordsFile& WordsFile::Verb(const std::string& word) {
    Section& s = sections_[2];
    PutString(s.records, word);
    for (int i = 0; i < 4; ++i)
        PutString(s.records, "");
    ++s.count;
    return *this;
}

WordsFile& WordsFile::Adjective(const std::string& word, bool adverbAllowed) {
    Section& s = sections_[3];
    PutString(s.records, word);
    PutString(s.records, "");
    PutString(s.records, "");
    s.records += static_cast<char>(adverbAllowed ? 1 : 0);
    if (adverbAllowed)
        PutString(s.records, "");
    ++s.count;
    return *this;
}

WordsFile& WordsFile::Place(const std::string& word) {
    Section& s = sections_[4];
    PutString(s.records, word);
    ++s.count;
    return *this;
}

std::string WordsFile::Bytes() const {
    std::string out;
    for (const Section& s : sections_) {
        PutInt16(out, s.count);
        out += s.records;
    }
    return out;
}

WordsFile StandardWords() {
    WordsFile w;
    w.Name("Bob", true).Name("Tim", true).Name("Anna", false).Name("Mary Jane", false);
    w.Noun("egg").Noun("wolf").Noun("box").Noun("teddy bear");
    w.Verb("jump").Verb("bake");
    w.Adjective("big").Adjective("happy");
    return w;
}

StoryFolder::StoryFolder(const WordsFile& words) {
    dataFolder = dir / "dat/";
    std::filesystem::create_directory(dataFolder);
    wordsFile = dir / "words.dat";
    settingsFile = dir / "yarns.ini";
    fbwtest::WriteBytes(wordsFile, words.Bytes());
}

void StoryFolder::WriteTemplate(int tale, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    fbwtest::WriteBytes(dataFolder + "ml" + std::to_string(tale) + ".dat", text);
}

TStoryGenerator::Files StoryFolder::Files(bool save) const {
    TStoryGenerator::Files f;
    f.dataFolder = dataFolder;
    f.wordsFile = wordsFile;
    f.saveWords = save;
    f.settingsFile = settingsFile;
    f.saveSettings = save;
    return f;
}

std::unique_ptr<TStoryGenerator> StoryFolder::Make(bool save) const {
    return std::make_unique<TStoryGenerator>(Files(save));
}

void ForgetTwistDecision(TStoryGenerator& g) {
    const int twist = g.TwistPercent();
    g.SetTwistLevel(0);
    g.ExpandLine(">forget=NOUN");
    g.SetTwistLevel(twist);
}

} // namespace storytest

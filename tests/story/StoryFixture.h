// Test fixtures of the story generator: a words file written record by record
// and a folder with templates, words and settings.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "story/Generate.h"
#include "support/TestSupport.h"

namespace storytest {

// Builds the bytes of a words file: five class sections, each a signed
// 16-bit little-endian count and the records of its words.
class WordsFile {
public:
    WordsFile& Name(const std::string& word, bool male, const std::string& shortForm = "");
    WordsFile& Noun(const std::string& word, const std::string& plural = "");
    WordsFile& Verb(const std::string& word);
    WordsFile& Adjective(const std::string& word, bool adverbAllowed = true);
    WordsFile& Place(const std::string& word);
    std::string Bytes() const;

private:
    struct Section {
        int count = 0;
        std::string records;
    };
    Section sections_[5];
};

// The vocabulary most tests use: male Bob and Tim, female Anna and Mary Jane;
// nouns egg, wolf, box, teddy bear; verbs jump, bake; adjectives big, happy;
// no places.
WordsFile StandardWords();

// A data folder, a words file and a settings file in a temporary folder.
class StoryFolder {
public:
    explicit StoryFolder(const WordsFile& words = StandardWords());
    // Writes the plain template of tale N: the lines joined by line feeds.
    void WriteTemplate(int tale, const std::vector<std::string>& lines);
    TStoryGenerator::Files Files(bool save = false) const;
    std::unique_ptr<TStoryGenerator> Make(bool save = false) const;

    fbwtest::TempDir dir;
    std::string dataFolder;
    std::string wordsFile;
    std::string settingsFile;
};

// Sets the swap decision G carries to the next story to "not swapped", as a
// token told at no twist leaves it; the twist level stays. (It may draw
// random numbers.)
void ForgetTwistDecision(TStoryGenerator& g);

// Paragraph marker as it is written in templates and stories.
inline const std::string kMark = "\\n";

} // namespace storytest

// The story generator: the ten tale templates, their definitions and
// references, and the story text each generation hands to the storybook.
//
// A template is a list of lines. Line 0 is the cover line ("$" when the tale
// has a hero, then "%" when it has a heroine, then the cover text). Every
// later line is a definition line (">name=value;name=value"), a title line
// ("[TITLE] text" once its references are replaced) or a text line whose
// references {name} are replaced by the values defined so far.
//
// The generator holds the templates and the story told last, and three
// parts: the definitions with the template lines' caches into them
// (TDefinitionTable), the expansion of lines and references with its
// self-reference cut-off (TStoryExpander), and what the last story was told
// from with its choices and spans, for swapping again (TStoryReplay).
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "story/DefinitionTable.h"
#include "story/StoryExpander.h"
#include "story/StoryReplay.h"
#include "story/TaleTable.h"
#include "story/WordChoice.h"
#include "story/WordRun.h"
#include "story/WordSpan.h"

class TVocab;

class TStoryGenerator {
public:
    static constexpr int kTaleCount = TTaleTable::kCount;

    // Where the generator reads and writes. Folder strings end with the
    // path separator.
    struct Files {
        std::string dataFolder;   // tale templates: "ml%d.dat" (plain), "sb%d.dat" (scrambled)
        std::string wordsFile;    // the vocabulary file
        bool saveWords = true;    // write the vocabulary back when destroyed
        std::string settingsFile; // "Story" section: Hero, Heroine; empty for none
        bool saveSettings = true; // write the names back when destroyed
        // The game's: DataFolder, InstallFolder + "words.dat", SettingsFileName.
        static Files Game();
    };

    // Reads the vocabulary, the ten templates (rebuilding a scrambled file
    // first when its plain source is newer) and the hero's and heroine's
    // names. A template that cannot be read keeps the lines read so far; a
    // failed rebuild raises LumException.
    TStoryGenerator();
    explicit TStoryGenerator(const Files& files);
    // Writes the names to the settings file and frees the vocabulary (which
    // writes its file), as Files ask.
    ~TStoryGenerator();
    TStoryGenerator(const TStoryGenerator&) = delete;
    TStoryGenerator& operator=(const TStoryGenerator&) = delete;

    // Tells one story of tale TaleNumber (a random tale when outside 1..10).
    // Line 0 is the title followed by two paragraph markers ("\n\n", written
    // as backslash and n); the rest are the non-empty expanded text lines.
    // The list stays owned by the generator, valid until the next call.
    const std::vector<std::string>& GenerateStory(int taleNumber);
    const std::vector<std::string>& StoryLines() const { return storyLines_; }
    // The names the player typed that the last story told (without their
    // blanks); empty where it told none.
    std::string StoryHero() const { return expander_.HeroTold(); }
    std::string StoryHeroine() const { return expander_.HeroineTold(); }

    // The vocabulary choices of the last story, in the order they were
    // made, and where the words they gave stand in StoryLines(): every run of
    // characters that came from the vocabulary, in line order and then
    // position order (names the player typed are not vocabulary words).
    // Valid until the next story or swap.
    const std::vector<TWordChoice>& StoryChoices() const { return replay_.Choices(); }
    const std::vector<TWordSpan>& StorySpans() const { return replay_.Spans(); }
    // Swaps the words of the definition that made choice Choice again. Each
    // choice of that definition that takes no other choice's word gets a
    // word of its class fitting its flags that the story does not use yet
    // (any other fitting word when every one is used, the same word when
    // there is no other); the choices that take the same word as one of them
    // (same as last) follow it, each in its own form. The story is then told
    // again with the same random numbers and these words, so that nothing
    // else changes. False, changing nothing, when Choice is not a choice of
    // the last story or the vocabulary has changed since it was told.
    bool SwapAgain(std::size_t choice);
    // Tells the last story again with the words at Positions (one per
    // choice, in the order of StoryChoices) in place of the choices' words.
    // False, changing nothing, when there is no last story, the count does
    // not match or the vocabulary has changed since it was told.
    bool Retell(const std::vector<int32_t>& positions);

    // TwistPercent := Percent clamped to 0..100 (100 at creation).
    void SetTwistLevel(int percent);
    int TwistPercent() const { return twistPercent_; }

    // Line 0 of the tale's template without its trailing paragraph markers;
    // empty for an empty template or a tale number outside 1..10.
    std::string GetCoverLine(int taleNumber) const;
    // The title of the story generated last when it set one, otherwise the
    // cover line; then one leading "$" and after it one leading "%" removed.
    std::string GetTitle(int taleNumber) const;

    // Every story reseeds the process-wide generator: from the clock, or from
    // Seed when one is fixed (tests, tools). nullopt returns to the clock.
    void FixSeed(std::optional<uint32_t> seed) { fixedSeed_ = seed; }

    // The story text of one template line (empty for definition and title
    // lines), with the definitions, title and swap decision it changes. The
    // swap decision of the last token without the & modifier, which a token
    // with it follows, carries over from line to line and from story to
    // story of this generator; false at creation. A story told again starts
    // from the decision it was first told with.
    std::string ExpandLine(const std::string& line);
    // Replaces every token word of Line by "@" and its code letter.
    static void ReplaceTokenWords(std::string& line);

    // At least one of the ten templates holds a line that is not empty (a
    // missing template file reads as one empty line).
    bool HasTales() const;
    // A tale's template lines (tale 1..10), and a way to replace them
    // (tools, tests, benchmarks).
    const std::vector<std::string>& Template(int taleNumber) const;
    void SetTemplate(int taleNumber, std::vector<std::string> lines);

    TVocab& Vocab() { return *vocab_; }

    // Typed by the player in the storybook, kept as typed; a story uses them
    // without leading and trailing blanks, and one that is blank means a name
    // is chosen from the vocabulary. Read from and written to the settings
    // file.
    std::string HeroName;
    std::string HeroineName;

private:
    struct Tale {
        std::vector<std::string> lines;                  // as read (line 0: the cover line)
        std::vector<std::string> tokenized;              // the same with the token words replaced
        std::vector<TDefinitionTable::LineCache> caches; // one per line
    };

    // Tells the story that the replay noted; Words (may be null) holds the
    // words to take in place of the choices' own.
    void Tell(const std::vector<TWordChoice>* words);
    void Reseed();

    Files files_;
    std::unique_ptr<TVocab> vocab_;
    std::array<Tale, kTaleCount> tales_;
    std::vector<std::string> storyLines_;
    int twistPercent_ = 100;
    std::optional<uint32_t> fixedSeed_;
    TDefinitionTable definitions_;
    TStoryExpander expander_;
    TStoryReplay replay_;
    std::vector<TWordRun> lineRuns_; // of the line being told
};

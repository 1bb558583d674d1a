// The story generator: the ten tale templates, their definitions and
// references, and the story text each generation hands to the storybook.
//
// A template is a list of lines. Line 0 is the cover line ("$" when the tale
// has a hero, then "%" when it has a heroine, then the cover text). Every
// later line is a definition line (">name=value;name=value"), a title line
// ("[TITLE] text" once its references are replaced) or a text line whose
// references {name} are replaced by the values defined so far.
//
// Cut-off of self-reference: a definition whose value refers to its own name,
// directly or through other definitions, would be replaced without end. One
// line replaces at most kMaxReferencesPerLine references, and no further
// reference is replaced once the line is longer than kMaxExpandedLine
// characters; the references left over stay in the line as written, braces
// included.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "story/TaleTable.h"
#include "story/WordChoice.h"
#include "story/WordSpan.h"
#include "vocab/WordFlags.h"

class TVocab;

// The swap decision of the last token without the & modifier. It carries over
// from line to line and from story to story; false at program start.
extern bool LastTwistDecision;

class TStoryGenerator {
public:
    static constexpr int kTaleCount = TTaleTable::kCount;
    static constexpr int kMaxReferencesPerLine = 1000;
    static constexpr std::size_t kMaxExpandedLine = 16384;

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

    // The vocabulary choices of the last story, in the order they were
    // made, and where the words they gave stand in StoryLines(): every run of
    // characters that came from the vocabulary, in line order and then
    // position order (names the player typed are not vocabulary words).
    // Valid until the next story or swap.
    const std::vector<TWordChoice>& StoryChoices() const { return choices_; }
    const std::vector<TWordSpan>& StorySpans() const { return spans_; }
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
    const std::string& Title() const { return title_; }

    // Every story reseeds the process-wide generator: from the clock, or from
    // Seed when one is fixed (tests, tools). nullopt returns to the clock.
    void FixSeed(std::optional<uint32_t> seed) { fixedSeed_ = seed; }

    // The story text of one template line (empty for definition and title
    // lines), with the definitions, title and swap decision it changes.
    std::string ExpandLine(const std::string& line);
    // Position of the definition of Name in Definitions(), -1 when none. An
    // entry matches when it begins with Name followed by "=".
    int FindDefinition(std::string_view name) const;
    // The definitions of the current story, each "name=value", oldest first.
    std::vector<std::string> Definitions() const;
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
    // Characters [start, start + length) of a value or line that came from
    // choice Choice.
    struct Run {
        std::size_t start = 0;
        std::size_t length = 0;
        uint32_t choice = 0;
    };
    // What a story was told from, so that it can be told again alike.
    struct Told {
        bool valid = false;
        int taleNumber = 0; // as asked for (a random tale draws again)
        uint32_t seed = 0;
        int twistPercent = 0;
        bool lastTwistDecision = false;
        std::array<int32_t, kWordClassCount> lastChosen{};
        std::array<int, kWordClassCount> wordCounts{};
        std::string heroName, heroineName;
    };
    struct Definition {
        std::vector<Run> runs; // of value
        std::string value;
        uint64_t order = 0;    // when it was made: later definitions have higher numbers
        bool defined = false;  // in the current story
        bool hasBrace = false; // the part a reference takes holds "{" or "}"
    };
    // The entry that the k-th name of a template line found last time, so
    // that the next story finds it without hashing. A hit is checked by
    // comparing the names; entries go stale when the definitions are dropped.
    struct CachedName {
        const std::string* name = nullptr; // the entry's key
        Definition* definition = nullptr;
    };
    struct LineCache {
        uint64_t generation = 0;             // of the definition entries it points into
        std::vector<CachedName> definitions; // k-th definition of the line
        std::vector<CachedName> references;  // k-th reference replaced
    };
    struct Tale {
        std::vector<std::string> lines;     // as read (line 0: the cover line)
        std::vector<std::string> tokenized; // the same with the token words replaced
        std::vector<LineCache> caches;      // one per line
    };
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>()(s);
        }
    };

    // Out := the story text of a template line whose token words are
    // replaced (empty for definition and title lines).
    void ExpandInto(std::string_view line, std::string& out, LineCache* cache = nullptr,
                    std::vector<Run>* runs = nullptr);
    void ProcessDefinitions(std::string& line, std::vector<CachedName>* cache);
    // Out := Line with its references replaced.
    // Runs (may be null) := the runs of Out's characters that came from the
    // vocabulary.
    void ReplaceReferences(std::string_view line, std::string& out, std::vector<CachedName>* cache,
                           std::vector<Run>* runs = nullptr);
    void Define(std::string_view name, const std::string& value, const std::vector<Run>& runs,
                std::vector<CachedName>* cache, std::size_t k);
    // The entry of Name, defined or not; null when there is none. Cache slot
    // K is tried first and refreshed.
    Definition* Entry(std::string_view name, std::vector<CachedName>* cache, std::size_t k);
    void ClearDefinitions();
    // The definition that a reference to Name is replaced by; null when none.
    const Definition* Lookup(std::string_view name) const;
    // The definitions by name in the order they were made.
    std::vector<std::pair<std::string_view, std::string_view>> OrderedDefinitions() const;
    std::string SwappedWord(char code, uint16_t flags, std::string_view name);
    // ChooseWord, recorded as a choice of the story while one is told.
    std::string Choose(int wordClass, uint16_t flags, std::string_view name);
    // Tells the story Told describes; Replay (may be null) holds the words
    // to take in place of the choices' own.
    void Tell(const std::vector<TWordChoice>* replay);
    bool VocabularyUnchanged() const;
    std::string PlainWord(char code, std::string_view name) const;
    void Reseed();

    Files files_;
    std::unique_ptr<TVocab> vocab_;
    std::array<Tale, kTaleCount> tales_;
    std::vector<std::string> storyLines_;
    // A name is defined once: a later definition replaces the earlier one
    // and counts as the newest. Entries outlive their story (marked undefined)
    // so that the next story reuses them.
    std::unordered_map<std::string, Definition, NameHash, std::equal_to<>> definitions_;
    std::vector<Definition*> definedNow_; // the entries defined in the current story
    uint64_t generation_ = 1;             // counts the times every entry was dropped
    uint64_t nextOrder_ = 0;
    std::string scratch_; // the definition line being processed
    std::string value_;   // the value being built
    int twistPercent_ = 100;
    std::string title_;
    std::optional<uint32_t> fixedSeed_;
    // The last story's choices and where their words stand; see StorySpans.
    Told told_;
    std::vector<TWordChoice> choices_;
    std::vector<TWordSpan> spans_;
    bool tracking_ = false;                            // a story is being told
    const std::vector<TWordChoice>* replay_ = nullptr; // the words to take instead
    int definitionCount_ = 0;                          // definitions of the story so far
    std::array<int, kWordClassCount> lastSetter_{};    // the choice that set each class's last word
    std::vector<Run> valueRuns_, lineRuns_;
    std::vector<Run> titleRuns_; // of title_
};

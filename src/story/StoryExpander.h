// Expansion of template lines, whose token words are already replaced by
// "@" and their code letters: a definition line defines its names (each
// token's swap decision, then the vocabulary's word or the plain word), a
// text line's references {name} are replaced by the values defined so far,
// and a title line ("[TITLE] text") sets the title. Beside the text, the
// runs of characters that came from the vocabulary are followed through the
// values, the references and the values searched again.
//
// Cut-off of self-reference: a definition whose value refers to its own name,
// directly or through other definitions, would be replaced without end. One
// line replaces at most kMaxReferencesPerLine references, and no further
// reference is replaced once the line is longer than kMaxExpandedLine
// characters; the references left over stay in the line as written, braces
// included.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "story/DefinitionTable.h"
#include "story/WordRun.h"

class TStoryReplay;
class TVocab;

class TStoryExpander {
public:
    static constexpr int kMaxReferencesPerLine = 1000;
    static constexpr std::size_t kMaxExpandedLine = 16384;

    // Definitions and Vocab outlive the expander.
    TStoryExpander(TDefinitionTable& definitions, TVocab& vocab);

    // Who tells: the twist level (0..100, the chance of a token being
    // swapped) and the hero's and heroine's names as typed (used without
    // their leading and trailing blanks; blank: a name is chosen from the
    // vocabulary).
    void SetTeller(int twistPercent, const std::string& hero, const std::string& heroine);
    // While Replay is set (null: not), every word chosen from the
    // vocabulary is chosen through it, as a choice of the story it tells.
    void SetRecorder(TStoryReplay* replay) { recorder_ = replay; }
    // A story starts: no title, no definition made yet.
    void BeginStory();

    // Out := the story text of the line (empty for definition and title
    // lines). Cache (may be null) is the line's own. Runs (may be null) :=
    // the runs of Out's characters that came from the vocabulary.
    void ExpandInto(std::string_view line, std::string& out,
                    TDefinitionTable::LineCache* cache = nullptr,
                    std::vector<TWordRun>* runs = nullptr);

    // The swap decision of the last token without the & modifier, which a
    // token with it follows. It carries over from line to line and from
    // story to story; false at creation.
    bool LastTwistDecision() const { return lastTwistDecision_; }
    void SetLastTwistDecision(bool swapped) { lastTwistDecision_ = swapped; }

    // The text of the last title line since the story started (its first
    // kValueLimit characters without the blanks around them), and the runs
    // of it that came from the vocabulary when that line was expanded with
    // runs.
    const std::string& Title() const { return title_; }
    const std::vector<TWordRun>& TitleRuns() const { return titleRuns_; }
    // The hero's and the heroine's names as typed that the story since it
    // started has used; empty where it used none.
    std::string HeroTold() const { return heroTold_ ? hero_ : std::string(); }
    std::string HeroineTold() const { return heroineTold_ ? heroine_ : std::string(); }

private:
    void ProcessDefinitions(std::string& line, std::vector<TDefinitionTable::CachedName>* cache);
    // Out := Line with its references replaced; Runs as for ExpandInto.
    void ReplaceReferences(std::string_view line, std::string& out,
                           std::vector<TDefinitionTable::CachedName>* cache,
                           std::vector<TWordRun>* runs);
    // The word a swapped token of code letter Code gives; Name is the
    // definition's name. Choice := the index of the story's choice that gave
    // it, -1 when no choice of a story being told did.
    std::string SwappedWord(char code, uint16_t flags, std::string_view name, int& choice);
    // The word a token that is not swapped gives.
    std::string PlainWord(char code, std::string_view name);
    // The typed name for code letter Code (H, J the hero's; I, K the
    // heroine's), noted as told when it is not empty.
    const std::string& TypedName(char code);

    TDefinitionTable& definitions_;
    TVocab& vocab_;
    TStoryReplay* recorder_ = nullptr;
    int twistPercent_ = 100;
    std::string hero_, heroine_; // trimmed
    bool lastTwistDecision_ = false;
    bool heroTold_ = false, heroineTold_ = false; // since the story started
    int definitionCount_ = 0;                     // definitions of the story so far
    std::string title_;
    std::vector<TWordRun> titleRuns_; // of title_
    std::string scratch_;             // the definition line being processed
    std::string value_;               // the value being built
    std::vector<TWordRun> valueRuns_; // of value_
};

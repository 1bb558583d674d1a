// Fuzz target of template expansion. The input is one byte of options (bit 0:
// a hero name, bit 1: a heroine name, bits 2-7: the seed), a 16-bit
// little-endian length L, L bytes of words file read into the vocabulary, and
// the template text, one line per line feed. The template is told at the
// three twist levels, and its cover line and title are read. A story without
// swaps is told twice and must not change; the template is expanded without
// swaps by an expander of its own, and its text lines once more, checked
// against a plain restatement of the reference rule over the definitions.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/MemoryStream.h"
#include "story/Generate.h"
#include "vocab/Vocab.h"

namespace {
TStoryGenerator::Files NoFiles() {
    // No templates, no words file, no settings: all come from the input.
    TStoryGenerator::Files files;
    files.dataFolder = "/nonexistent-fbw-fuzz/";
    files.wordsFile = "/nonexistent-fbw-fuzz/words.dat";
    files.saveWords = false;
    files.saveSettings = false;
    return files;
}

// The reference rule written the simple way: find the first "{" and the
// first "}" of the whole line, replace, and start again from the beginning.
std::string ReplaceReferencesSimply(std::string line, const std::vector<std::string>& defs) {
    for (int replaced = 0; replaced < TStoryExpander::kMaxReferencesPerLine; ++replaced) {
        if (line.size() > TStoryExpander::kMaxExpandedLine)
            break;
        const std::size_t open = line.find('{');
        const std::size_t close = line.find('}');
        if (open == std::string::npos || close == std::string::npos || close < open)
            break;
        const std::string name = line.substr(open + 1, close - open - 1);
        std::string replacement = name;
        for (const std::string& entry : defs) {
            if (entry.compare(0, name.size() + 1, name + "=") == 0) {
                replacement = entry.substr(entry.find('=') + 1, 255);
                break;
            }
        }
        line.replace(open, close - open + 1, replacement);
    }
    return line;
}

TStoryGenerator& Generator() {
    static TStoryGenerator generator(NoFiles());
    return generator;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const uint8_t options = data[0];
    std::size_t wordsLength = data[1] | (static_cast<std::size_t>(data[2]) << 8);
    data += 3;
    size -= 3;
    if (wordsLength > size)
        wordsLength = size;

    TStoryGenerator& g = Generator();
    g.Vocab().FreeAllWords();
    plat::MemoryStream words(std::string(reinterpret_cast<const char*>(data), wordsLength));
    g.Vocab().ReadWords(words);

    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = wordsLength; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    lines.push_back(line);
    const int tale = 1 + options % TStoryGenerator::kTaleCount;
    g.SetTemplate(tale, std::move(lines));
    g.HeroName = (options & 1) ? "Bob, the Brave" : "";
    g.HeroineName = (options & 2) ? "Ann" : "";
    g.FixSeed(options >> 2);

    for (int twist : {0, 50, 100}) {
        g.SetTwistLevel(twist);
        const auto& story = g.GenerateStory(tale);
        if (story.empty())
            __builtin_trap();
    }
    // Without swaps a story depends on the template alone: told again, with
    // the names found by the first telling, it must come out the same.
    {
        std::vector<std::string> again = g.Template(tale);
        g.SetTemplate(tale, std::move(again));
        g.SetTwistLevel(0);
        g.ExpandLine(">forget=NOUN"); // not swapped: & tokens start alike
        const std::vector<std::string> first = g.GenerateStory(tale);
        g.ExpandLine(">forget=NOUN");
        if (g.GenerateStory(tale) != first)
            __builtin_trap();
    }
    // The expansion on its own, without swaps: the template's lines make
    // their definitions, then its text lines are expanded once more.
    TDefinitionTable definitions;
    TStoryExpander expander(definitions, g.Vocab());
    expander.SetTeller(0, g.HeroName, g.HeroineName);
    expander.BeginStory();
    std::vector<std::string> tokenizedLines;
    std::string out;
    const std::vector<std::string>& told = g.Template(tale);
    for (std::size_t i = 1; i < told.size(); ++i) {
        tokenizedLines.push_back(told[i]);
        TStoryGenerator::ReplaceTokenWords(tokenizedLines.back());
        expander.ExpandInto(tokenizedLines.back(), out);
    }
    const std::vector<std::string> defs = definitions.Entries();
    for (const std::string& tokenized : tokenizedLines) {
        if (!tokenized.empty() && tokenized[0] == '>')
            continue;
        std::string expected = ReplaceReferencesSimply(tokenized, defs);
        if (expected.compare(0, 7, "[TITLE]") == 0)
            expected.clear();
        expander.ExpandInto(tokenized, out);
        if (out != expected)
            __builtin_trap();
    }
    (void)g.GetCoverLine(tale);
    (void)g.GetTitle(tale);
    g.SetTemplate(tale, {});
    return 0;
}

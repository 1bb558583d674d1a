// Speed of story generation: stories and characters per second of
// GenerateStory over ten tale-size templates at full twist, with a vocabulary
// of 60 names, 150 nouns, 80 verbs, 80 adjectives and 40 places. The
// templates and the words are made at run time from a fixed seed. The shipped
// tales are measured as well, with the default vocabulary once the build has
// made it (target fbw_words).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/MemoryStream.h"
#include "story/Generate.h"
#include "vocab/Vocab.h"

namespace {

const char* const kSyllables[] = {"ba", "ro", "ki",  "mel", "dor", "fin", "ta",  "lu",  "gri",
                                  "zo", "pe", "nan", "sil", "vo",  "ha",  "qui", "bre", "mo"};

class Maker {
public:
    explicit Maker(uint32_t seed) : rng_(seed) {}
    int Below(int n) { return static_cast<int>(rng_() % static_cast<uint32_t>(n)); }
    std::string Word(int syllables) {
        std::string w;
        for (int i = 0; i < syllables; ++i)
            w += kSyllables[Below(static_cast<int>(std::size(kSyllables)))];
        return w;
    }
    std::string Capital(std::string w) {
        w[0] = static_cast<char>(w[0] - 'a' + 'A');
        return w;
    }

private:
    std::mt19937 rng_;
};

void PutInt16(std::string& out, int v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void PutString(std::string& out, const std::string& s) {
    PutInt16(out, static_cast<int>(s.size()));
    out += s;
}

// A words file of the benchmark's vocabulary. Every word is unique, so the
// class sizes are exact.
std::string MakeWords() {
    Maker m(12345);
    int serial = 0;
    auto unique = [&](std::string w) { return w + std::string(1, 'a' + serial++ % 26); };
    std::string out;
    PutInt16(out, 60);
    for (int i = 0; i < 60; ++i) {
        std::string name = m.Capital(unique(m.Word(2)));
        if (i % 7 == 0)
            name += " " + m.Capital(m.Word(2));
        PutString(out, name);
        out += static_cast<char>(i % 2);
        PutString(out, "");
    }
    PutInt16(out, 150);
    for (int i = 0; i < 150; ++i) {
        PutString(out, (i % 10 == 0 ? m.Word(1) + " " : "") + unique(m.Word(1 + i % 2)));
        PutString(out, "");
    }
    PutInt16(out, 80);
    for (int i = 0; i < 80; ++i) {
        PutString(out, unique(m.Word(1 + i % 2)) + (i % 8 == 0 ? " over" : ""));
        for (int f = 0; f < 4; ++f)
            PutString(out, "");
    }
    PutInt16(out, 80);
    for (int i = 0; i < 80; ++i) {
        PutString(out, unique(m.Word(1 + i % 2)));
        PutString(out, "");
        PutString(out, "");
        const bool adverb = i % 5 != 0;
        out += static_cast<char>(adverb ? 1 : 0);
        if (adverb)
            PutString(out, "");
    }
    PutInt16(out, 40);
    for (int i = 0; i < 40; ++i)
        PutString(out, m.Capital(unique(m.Word(2))));
    return out;
}

// A tale-size template: about 1,200 words of text in 60 lines and 48
// definitions of every kind of token and modifier, plus literal values.
std::vector<std::string> MakeTemplate(int tale) {
    Maker m(1000 + static_cast<uint32_t>(tale));
    const char* const kTokens[] = {"NOUN", "NOUNS", "ANOUN",  "ADJ",     "AADJ",  "ADVERB",
                                   "VERB", "PAST",  "ING",    "PRESENT", "PART",  "ER",
                                   "EST",  "PLACE", "MCELEB", "FCELEB",  "CELEB", "MCEL",
                                   "FCEL", "CEL",   "MHERO",  "FHERO",   "MHER",  "FHER"};
    std::vector<std::string> lines;
    lines.push_back("$%The Tale of Number " + std::to_string(tale) + "\\n\\n");
    std::vector<std::string> names;
    for (int d = 0; d < 8; ++d) {
        std::string line = ">";
        for (int k = 0; k < 6; ++k) {
            const std::string name = "w" + std::to_string(d * 6 + k) + (k == 2 ? ":2" : "");
            names.push_back(name);
            std::string value = kTokens[m.Below(static_cast<int>(std::size(kTokens)))];
            if (k == 1)
                value = "NOUNS&"; // the plural of the noun before
            if (k == 3)
                value = "~" + value + "+";
            if (k == 4)
                value += "! and ADJ";
            line += (k ? ";" : "") + name + "=" + value;
        }
        lines.push_back(line);
        if (d == 3)
            lines.push_back(">said=\"said the " + m.Word(2) + "\"");
    }
    names.push_back("said");
    lines.push_back("[TITLE] The {w0} and the {w6}");
    int words = 0;
    for (int l = 0; l < 60; ++l) {
        std::string line;
        for (int k = 0; k < 20; ++k, ++words) {
            if (k)
                line += ' ';
            if (m.Below(5) == 0)
                line += "{" +
                        names[static_cast<std::size_t>(m.Below(static_cast<int>(names.size())))] +
                        "}";
            else
                line += m.Word(1 + m.Below(2));
        }
        line += l % 5 == 4 ? ".\\n\\n" : ",";
        lines.push_back(line);
    }
    return lines;
}

TStoryGenerator::Files NoFiles() {
    TStoryGenerator::Files files;
    files.dataFolder = "/nonexistent-fbw-bench/";
    files.wordsFile = "/nonexistent-fbw-bench/words.dat";
    files.saveWords = false;
    files.saveSettings = false;
    return files;
}

void Tell(benchmark::State& state, TStoryGenerator& g) {
    g.SetTwistLevel(100);
    g.HeroName.clear();
    g.HeroineName.clear();
    int64_t stories = 0, chars = 0;
    int tale = 0;
    for (auto _ : state) {
        const auto& lines = g.GenerateStory(tale % TStoryGenerator::kTaleCount + 1);
        ++tale;
        ++stories;
        // Characters of the story text as the book keeps it: every line is
        // handed over followed by CR LF, which becomes one space, or nothing
        // after a paragraph marker; a marker is its two characters.
        for (const auto& line : lines) {
            const bool marker = line.size() >= 2 && line.compare(line.size() - 2, 2, "\\n") == 0;
            chars += static_cast<int64_t>(line.size()) + (marker ? 0 : 1);
        }
        benchmark::DoNotOptimize(lines.data());
    }
    state.counters["stories/s"] =
        benchmark::Counter(static_cast<double>(stories), benchmark::Counter::kIsRate);
    state.counters["chars/s"] =
        benchmark::Counter(static_cast<double>(chars), benchmark::Counter::kIsRate);
    state.counters["chars/story"] =
        benchmark::Counter(stories ? static_cast<double>(chars) / static_cast<double>(stories) : 0);
}

void BM_GenerateStory_TestTemplates(benchmark::State& state) {
    TStoryGenerator g(NoFiles());
    plat::MemoryStream words(MakeWords());
    g.Vocab().ReadWords(words);
    for (int n = 1; n <= TStoryGenerator::kTaleCount; ++n)
        g.SetTemplate(n, MakeTemplate(n));
    Tell(state, g);
}
BENCHMARK(BM_GenerateStory_TestTemplates);

// The shipped tales' plain sources, read as the line filter of the game
// keeps them (tabs become spaces, control characters are dropped).
bool LoadShippedTales(TStoryGenerator& g) {
    for (int n = 1; n <= TStoryGenerator::kTaleCount; ++n) {
        std::string text;
        if (!plat::ReadWholeFile(std::string(FBW_SOURCE_DIR) + "/assets/tales/ml" +
                                     std::to_string(n) + ".dat",
                                 text))
            return false;
        std::vector<std::string> lines(1);
        for (char c : text) {
            const auto u = static_cast<unsigned char>(c);
            if (c == '\n')
                lines.emplace_back();
            else if (c == '\t')
                lines.back() += ' ';
            else if ((u >= 32 && u <= 126) || u >= 160)
                lines.back() += c;
        }
        g.SetTemplate(n, std::move(lines));
    }
    return true;
}

void BM_GenerateStory_ShippedTales(benchmark::State& state) {
    TStoryGenerator g(NoFiles());
    // The default vocabulary when the build has made it, else the test one.
    std::string bytes;
    if (!plat::ReadWholeFile(std::string(FBW_YARNS_DIR) + "/words.dat", bytes))
        bytes = MakeWords();
    plat::MemoryStream words(bytes);
    g.Vocab().ReadWords(words);
    if (!LoadShippedTales(g)) {
        state.SkipWithError("the ten tales are not in assets/tales yet");
        return;
    }
    Tell(state, g);
}
BENCHMARK(BM_GenerateStory_ShippedTales);

} // namespace

BENCHMARK_MAIN();

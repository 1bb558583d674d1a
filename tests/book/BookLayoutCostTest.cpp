// The book layout on long paragraphs and long words: the same lines as the
// plain line breaker (LineBreakOracle.h) on varied texts and canvases, and
// work that grows linearly with the text, in what it measures and in time.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "BookInvariants.h"
#include "LineBreakOracle.h"
#include "book/Book.h"
#include "platform/FixedCanvas.h"

namespace {

const std::string M = "\\n";

// A fixed-metric canvas that also counts the characters it measures.
class CountingCanvas : public plat::FixedCanvas {
public:
    using FixedCanvas::FixedCanvas;
    int TextWidth(std::string_view text) override {
        measuredChars += static_cast<long long>(text.size());
        return FixedCanvas::TextWidth(text);
    }
    long long measuredChars = 0;
};

booktest::OraclePages Pages(plat::Canvas& canvas, const std::string& text, int w, int h) {
    TBook book;
    book.MarginX = book.MarginY = 8;
    book.Paginate(&canvas, TRect{0, 0, w, h}, text.c_str());
    booktest::OraclePages out;
    for (int p = 1; p <= book.PageCount(); ++p) {
        out.emplace_back();
        for (int l = 1; l <= book.PageLineCount(p); ++l)
            out.back().emplace_back(book.Page(p)->Line(l)->Offset, book.Page(p)->Line(l)->Length);
    }
    return out;
}

void ExpectSameAsOracle(plat::Canvas& canvas, const std::string& text, int w, int h,
                        const std::string& what) {
    const auto expected = booktest::OracleLayout(canvas, text, w, h, 8, 8);
    const auto got = Pages(canvas, text, w, h);
    ASSERT_EQ(got.size(), expected.size()) << what;
    for (std::size_t p = 0; p < got.size(); ++p)
        ASSERT_EQ(got[p], expected[p]) << what << ", page " << p + 1;
}

// A random story: a one-letter title, then words of 1 to MaxWord letters
// from Letters, runs of spaces and single or repeated markers.
std::string RandomStory(std::mt19937& rng, std::size_t length, const std::string& letters,
                        int maxWord) {
    std::string s = "T" + M + M;
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    while (s.size() < length) {
        const int kind = pick(20);
        if (kind == 0) {
            s += M;
        } else if (kind == 1) {
            s += M + M;
        } else if (kind == 2) {
            s += std::string(static_cast<std::size_t>(1 + pick(6)), ' ');
        } else {
            const int n = 1 + pick(kind == 3 ? maxWord : 9);
            for (int i = 0; i < n; ++i)
                s += letters[static_cast<std::size_t>(pick(static_cast<int>(letters.size())))];
            s += ' ';
        }
    }
    return s;
}

// Process time of laying Text out, the fastest of three.
double LayoutSeconds(plat::Canvas& canvas, const std::string& text) {
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const std::clock_t start = std::clock();
        TBook book;
        book.MarginX = book.MarginY = 8;
        book.Paginate(&canvas, TRect{0, 0, 216, 320}, text.c_str());
        best = std::min(best, static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
        EXPECT_GT(book.PageCount(), 0);
    }
    return best;
}

struct Cost {
    long long calls = 0;
    long long chars = 0;
};

Cost LayoutCost(const std::string& text) {
    CountingCanvas canvas(10, 20);
    canvas.SetCharWidth('i', 4);
    TBook book;
    book.MarginX = book.MarginY = 8;
    book.Paginate(&canvas, TRect{0, 0, 216, 320}, text.c_str());
    return Cost{canvas.MeasureCount(), canvas.measuredChars};
}

} // namespace

TEST(BookLayoutCost, SameLinesAsThePlainBreakerOnVariedTexts) {
    std::mt19937 rng(20240611);
    // Canvases: even widths; narrow, wide and zero-width letters and spaces
    // of no width; random widths.
    std::vector<std::unique_ptr<plat::FixedCanvas>> canvases;
    canvases.push_back(std::make_unique<plat::FixedCanvas>(10, 20));
    canvases.push_back(std::make_unique<plat::FixedCanvas>(7, 18));
    canvases.back()->SetCharWidth('i', 2);
    canvases.back()->SetCharWidth('W', 31);
    canvases.back()->SetCharWidth('z', 0);
    canvases.back()->SetCharWidth(' ', 0);
    canvases.push_back(std::make_unique<plat::FixedCanvas>(6, 15));
    for (int c = 'a'; c <= 'z'; ++c)
        canvases.back()->SetCharWidth(static_cast<unsigned char>(c), static_cast<int>(rng() % 25));
    canvases.back()->SetCharWidth('n', 6);
    canvases.back()->SetCharWidth('T', 6);
    const std::string letters[] = {"abcdefgh", "iiiWWzzan", "abcdefghijklmnopqrstuvwxyz"};
    const int sizes[][2] = {{216, 320}, {156, 120}, {300, 60}, {451, 700}};
    for (int round = 0; round < 40; ++round) {
        plat::FixedCanvas& canvas = *canvases[static_cast<std::size_t>(round) % canvases.size()];
        const std::string text =
            RandomStory(rng, 3000, letters[round % 3], round % 4 == 0 ? 200 : 40);
        for (const auto& s : sizes)
            ExpectSameAsOracle(canvas, text, s[0], s[1],
                               "round " + std::to_string(round) + " at " + std::to_string(s[0]) +
                                   "x" + std::to_string(s[1]));
    }
    // Exactly filled lines, a guess inside a run of spaces, leading spaces
    // before a long word, a character wider than the line, lines of many
    // narrow or zero-width letters.
    plat::FixedCanvas canvas(10, 20);
    canvas.SetCharWidth('W', 500);
    canvas.SetCharWidth('i', 1);
    canvas.SetCharWidth('z', 0);
    std::string narrow = "T" + M;
    for (int i = 0; i < 300; ++i)
        narrow += std::string(static_cast<std::size_t>(1 + i % 7), 'i') + " ";
    narrow += std::string(700, 'i') + " " + std::string(3000, 'z') + "x " + std::string(90, 'z');
    for (const std::string& text :
         {"T" + M + "aaaa bbbb cccc dddd!   eeee", "T" + M + "     " + std::string(50, 'x') + " y",
          "T" + M + "aaaaaaaaaaaaaaaaaaaa     bbb", "T" + M + "WW W " + std::string(90, 'W'),
          "T" + M + M + std::string(30, ' ') + "x", "T" + M + std::string(41, 'x') + M + "end",
          narrow})
        ExpectSameAsOracle(canvas, text, 216, 320, text);
}

TEST(BookLayoutCost, SameLinesAsThePlainBreakerOnTheTenTales) {
    // Each tale under a one-line title, so that the title takes its line as
    // every other line does.
    plat::FixedCanvas canvas(7, 18);
    canvas.SetCharWidth('W', 13);
    canvas.SetCharWidth('i', 3);
    canvas.SetCharWidth(' ', 4);
    const int sizes[][2] = {{156, 120}, {216, 320}, {300, 200}, {451, 700}, {1000, 60}};
    const auto tales = booktest::TenTales();
    for (std::size_t t = 0; t < tales.size(); ++t) {
        const std::string text = "Tale" + tales[t].substr(tales[t].find(M));
        for (const auto& s : sizes)
            ExpectSameAsOracle(canvas, text, s[0], s[1],
                               "tale " + std::to_string(t + 1) + " at " + std::to_string(s[0]) +
                                   "x" + std::to_string(s[1]));
    }
}

TEST(BookLayoutCost, MeasuringGrowsLinearlyWithAParagraphOrAWord) {
    auto paragraph = [](int words) {
        std::string s = "T" + M + M;
        for (int i = 0; i < words; ++i)
            s += (i % 3 ? "word " : "iiiii wide ");
        return s;
    };
    auto word = [](std::size_t n) { return "T" + M + M + std::string(n, 'x') + " end"; };
    const Cost p1 = LayoutCost(paragraph(20000)), p2 = LayoutCost(paragraph(40000));
    const Cost w1 = LayoutCost(word(30000)), w2 = LayoutCost(word(60000));
    for (const auto& [one, two, what] :
         {std::tuple{p1, p2, "paragraph"}, std::tuple{w1, w2, "word"}}) {
        EXPECT_LE(two.calls, 2 * one.calls + 50) << what;
        EXPECT_LE(two.chars, 2 * one.chars + 5000) << what;
    }
    // A line of the word is found from a few measurements of little more
    // than a line each.
    EXPECT_LT(w2.calls, 60000 / 20 * 10);
    EXPECT_LT(w2.chars, 60000LL * 40);
}

TEST(BookLayoutCost, OneLongParagraphTakesNoLongerThanManyShortOnes) {
    // 512 KB of words, once as one paragraph and once in paragraphs of
    // about 400 characters: the same work, within a wide margin.
    std::string one = "T" + M + M, many = one;
    const std::string words = "Once upon a time there lived a king and a queen who ";
    while (one.size() < 512 * 1024) {
        one += words;
        many += words;
        if (many.size() % 400 < words.size())
            many += M + M;
    }
    plat::FixedCanvas canvas(7, 18);
    canvas.SetCharWidth('i', 3);
    const double single = LayoutSeconds(canvas, one);
    const double split = LayoutSeconds(canvas, many);
    EXPECT_LT(single, 4 * split + 0.05) << single << " s against " << split << " s";
    TBook book;
    book.MarginX = book.MarginY = 8;
    book.Paginate(&canvas, TRect{0, 0, 216, 320}, one.c_str());
    booktest::CheckLayout(book, canvas, one, 200, "one long paragraph");
}

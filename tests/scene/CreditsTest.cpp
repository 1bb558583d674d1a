// The credit line under the scene: which lines exist, their encoding, and the
// fade of each line in and out.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

#include "scene/Credits.h"

namespace {

int Green(uint32_t colour) {
    return static_cast<int>((colour >> 8) & 0xFF);
}

} // namespace

TEST(Credits, OnlyTheTenLinesHaveTextAndEachIsItsOwn) {
    std::set<std::string> seen;
    for (int line = 0; line < TCredits::kLineCount; ++line) {
        const std::string text = TCredits::Text(line);
        EXPECT_FALSE(text.empty()) << line;
        EXPECT_TRUE(seen.insert(text).second) << "line " << line << " repeats: " << text;
    }
    for (int line : {-1, TCredits::kLineCount, TCredits::kLineCount + 1, INT_MIN, INT_MAX})
        EXPECT_STREQ(TCredits::Text(line), "") << line;
}

TEST(Credits, TextsAreLatin1) {
    // The window reads the texts as Latin-1: the copyright sign is one byte,
    // never the two of UTF-8.
    const std::string copyright = TCredits::Text(1);
    EXPECT_NE(copyright.find('\xA9'), std::string::npos);
    for (int line = 0; line < TCredits::kLineCount; ++line)
        EXPECT_EQ(std::string(TCredits::Text(line)).find('\xC2'), std::string::npos) << line;
}

TEST(Credits, FadeRisesToTheMiddlePhaseAndFallsBackTheSameWay) {
    const int middle = TCredits::kLastPhase / 2;
    for (int d = 1; d <= middle; ++d) {
        EXPECT_EQ(TCredits::Colour(middle - d), TCredits::Colour(middle + d)) << d;
        // Each step towards the middle is brighter than the one before.
        EXPECT_LT(Green(TCredits::Colour(middle - d)), Green(TCredits::Colour(middle - d + 1)))
            << d;
    }
    for (int phase = 0; phase <= TCredits::kLastPhase; ++phase)
        EXPECT_LE(TCredits::Colour(phase), 0xFFFFFFu) << "no alpha byte: " << phase;
    // The line starts and ends dark.
    EXPECT_EQ(TCredits::Colour(0), 0x00582Au);
    EXPECT_EQ(TCredits::Colour(middle), 0xC7FFC0u);
    for (int phase : {-1, TCredits::kLastPhase + 1})
        EXPECT_EQ(TCredits::Colour(phase), TCredits::Colour(middle)) << phase;
}

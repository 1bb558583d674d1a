// Template lines expanded on their own: the self-reference cut-off, and the
// swap decision that & tokens follow, carried from story to story.
#include <gtest/gtest.h>

#include <string>

#include "base/Random.h"
#include "story/DefinitionTable.h"
#include "story/StoryExpander.h"
#include "vocab/Vocab.h"

namespace {

class StoryExpanderTest : public ::testing::Test {
protected:
    // Twist at Percent, no names typed; a new story.
    void Teller(int percent) {
        expander.SetTeller(percent, "", "");
        expander.BeginStory();
    }
    std::string Expand(const std::string& line) {
        std::string out;
        expander.ExpandInto(line, out);
        return out;
    }
    TVocab vocab{"/nonexistent-fbw-test/words.dat", false}; // no words
    TDefinitionTable definitions;
    TStoryExpander expander{definitions, vocab};
};

TEST_F(StoryExpanderTest, ReferencesAreCutOffPerLine) {
    Teller(0);
    // A value that refers to itself stays as written.
    Expand(">x=\"{x}\"");
    EXPECT_EQ(Expand("[{x}]"), "[{x}]");
    // So many references, and no more, are replaced in one line.
    Expand(">d=\".\"");
    std::string line;
    for (int i = 0; i <= TStoryExpander::kMaxReferencesPerLine; ++i)
        line += "{d}";
    EXPECT_EQ(Expand(line), std::string(TStoryExpander::kMaxReferencesPerLine, '.') + "{d}");
    // Growth stops once the line is longer than the limit; the lines after
    // expand as usual.
    Expand(">a=\"" + std::string(200, 'x') + "{a}\"");
    const std::string grown = Expand("{a}");
    EXPECT_GT(grown.size(), TStoryExpander::kMaxExpandedLine);
    EXPECT_LE(grown.size(), TStoryExpander::kMaxExpandedLine + TDefinitionTable::kValueLimit);
    Expand(">y=\"ok\"");
    EXPECT_EQ(Expand("{y}"), "ok");
}

TEST_F(StoryExpanderTest, AndTokensFollowTheDecisionCarriedFromStoryToStory) {
    SetRandSeed(1);
    Teller(0);
    Expand(">a=@N;b=@N&");
    EXPECT_EQ(Expand("{a} {b}"), "a b");
    EXPECT_FALSE(expander.LastTwistDecision());
    // At full twist every token is swapped (to nothing: the vocabulary has
    // no nouns); the decision carries into the next story, told at no twist.
    Teller(100);
    Expand(">c=@N");
    EXPECT_EQ(Expand("[{c}]"), "[]");
    EXPECT_TRUE(expander.LastTwistDecision());
    Teller(0);
    Expand(">d=@N&;e=@N;f=@N&");
    EXPECT_EQ(Expand("[{d}] [{e}] [{f}]"), "[] [e] [f]");
    EXPECT_FALSE(expander.LastTwistDecision());
    // Set from outside (a story told again), it reaches the first & token.
    expander.SetLastTwistDecision(true);
    Teller(0);
    Expand(">g=@N&");
    EXPECT_EQ(Expand("[{g}]"), "[]");
}

} // namespace

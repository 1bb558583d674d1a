// The replay of a story on its own: told again from its note, with its own
// words or others, every choice draws as it first did.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StoryFixture.h"
#include "base/Random.h"
#include "story/StoryReplay.h"
#include "vocab/Vocab.h"

namespace {

class StoryReplayTest : public ::testing::Test {
protected:
    // Tells a story of six nouns, each a definition of its own; Words as for
    // TStoryReplay::Begin.
    std::vector<std::string> Tell(const std::vector<TWordChoice>* words = nullptr) {
        replay.Begin(words);
        std::vector<std::string> told;
        for (int i = 0; i < 6; ++i)
            told.push_back(replay.Choose(wcNoun, 0, "bear:" + std::to_string(i), i));
        replay.End();
        return told;
    }
    std::vector<int32_t> Positions() const {
        std::vector<int32_t> p;
        for (const TWordChoice& c : replay.Choices())
            p.push_back(c.position);
        return p;
    }
    storytest::StoryFolder folder; // four nouns
    TVocab vocab{folder.wordsFile, false};
    TStoryReplay replay{vocab};
};

TEST_F(StoryReplayTest, ToldAgainWithItsOwnWordsTheStoryIsTheSame) {
    SetRandSeed(5);
    replay.Note(1, 100, false, "", "");
    const std::vector<std::string> first = Tell();
    ASSERT_EQ(replay.Choices().size(), first.size());
    EXPECT_EQ(replay.Choices()[3].plain, "bear");
    SetRandSeed(99); // whatever happened since
    EXPECT_EQ(Tell(), first);
    const auto same = replay.WordsAt(Positions());
    ASSERT_TRUE(same);
    EXPECT_EQ(Tell(&*same), first);
}

TEST_F(StoryReplayTest, AnotherWordChangesItsOwnChoiceAlone) {
    SetRandSeed(5);
    replay.Note(1, 100, false, "", "");
    const std::vector<std::string> first = Tell();
    std::vector<int32_t> positions = Positions();
    positions[2] = (positions[2] + 1) % vocab.WordList(wcNoun).Count();
    const auto words = replay.WordsAt(positions);
    ASSERT_TRUE(words);
    const std::vector<std::string> again = Tell(&*words);
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(again[i], i == 2 ? vocab.WordAt(wcNoun, positions[2], 0) : first[i]) << i;
    // Swapping the third choice's definition again gives it a word of its
    // own and leaves the others.
    const auto swapped = replay.SwappedPositions(2);
    ASSERT_TRUE(swapped);
    const std::vector<int32_t> now = Positions();
    for (std::size_t i = 0; i < now.size(); ++i)
        if (i == 2)
            EXPECT_NE((*swapped)[i], now[i]);
        else
            EXPECT_EQ((*swapped)[i], now[i]) << i;

    // Words for another count of choices, or after the vocabulary changed,
    // are refused.
    positions.pop_back();
    EXPECT_FALSE(replay.WordsAt(positions));
    vocab.FreeAllWords();
    EXPECT_FALSE(replay.WordsAt(Positions()));
    EXPECT_FALSE(replay.SwappedPositions(0));
}

} // namespace

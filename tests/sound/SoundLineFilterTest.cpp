// The sound catalogue's line filter.
#include <gtest/gtest.h>

#include "sound/SoundLineFilter.h"

TEST(SoundLineFilter, KeepsFirstWordOfRealLines) {
    struct Case {
        std::string in, out;
        bool kept;
    } cases[] = {
        {"  bird.wav  birdsong ", "bird.wav", true},
        {"owl.wav\tan owl", "owl.wav", true},
        {"[Sounds]", "[Sounds]", false},
        {"# comment", "#", false},
        {"   ", "", false},
        {"\tframe.wav", "frame.wav", true},
    };
    for (auto& c : cases) {
        std::string line = c.in;
        EXPECT_EQ(SoundLineFilter(line), c.kept) << c.in;
        EXPECT_EQ(line, c.out) << c.in;
    }
}

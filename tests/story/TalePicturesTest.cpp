// The words for the tale pictures: every picture of every tale has its own,
// in single-byte letters a document can hold; nothing for a picture that is
// not there.
#include <gtest/gtest.h>

#include <set>

#include "story/TalePictures.h"
#include "story/TaleTable.h"

TEST(TalePictures, EveryPictureIsToldInItsOwnWords) {
    std::set<std::string> seen;
    for (int tale = 1; tale <= TTaleTable::kCount; ++tale)
        for (int level = 0; level < 3; ++level) {
            const std::string text = TTalePictures::Text(tale, level);
            EXPECT_GT(text.size(), 40u) << tale << " " << level;
            for (char c : text)
                EXPECT_GE(static_cast<unsigned char>(c), 0x20) << tale << " " << level;
            EXPECT_TRUE(seen.insert(text).second) << "told as another: " << text;
        }
    EXPECT_EQ(TTalePictures::Text(0, 0), "");
    EXPECT_EQ(TTalePictures::Text(1, 3), "");
}

// UTF-8 and Latin-1 for the files a user edits: what counts as UTF-8, the
// two conversions and the choice between them when a file is read.
#include <gtest/gtest.h>

#include "platform/TextCodec.h"

using namespace std::string_literals;

TEST(TextCodec, WellFormedUtf8Only) {
    EXPECT_TRUE(plat::IsValidUtf8(""));
    EXPECT_TRUE(plat::IsValidUtf8("plain ASCII\r\n"));
    EXPECT_TRUE(plat::IsValidUtf8("Zo\xC3\xAB \xE2\x82\xAC \xF0\x9F\x90\xBB \xF4\x8F\xBF\xBF"));
    for (const std::string& bad : {
             "Zo\xEB"s,               // Latin-1
             "\xC3"s,                 // cut short
             "\xE2\x82"s,             // cut short
             "\xC0\x80"s,             // overlong zero
             "\xC1\xBF"s,             // overlong
             "\xE0\x80\xAF"s,         // overlong
             "\xF0\x80\x80\xAF"s,     // overlong
             "\xED\xA0\x80"s,         // a surrogate
             "\xF4\x90\x80\x80"s,     // above U+10FFFF
             "\xF8\x88\x80\x80\x80"s, // five bytes
             "\x80"s,                 // a lone continuation byte
             "\xC3\x28"s,             // no continuation byte
         })
        EXPECT_FALSE(plat::IsValidUtf8(bad)) << testing::PrintToString(bad);
}

TEST(TextCodec, Latin1RoundTripsThroughUtf8) {
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    const std::string utf8 = plat::Latin1ToUtf8(all);
    EXPECT_EQ(utf8.size(), 127u + 2 * 128u);
    EXPECT_TRUE(plat::IsValidUtf8(utf8));
    EXPECT_EQ(plat::Utf8ToLatin1(utf8), all);
    EXPECT_EQ(plat::DecodeUtf8OrLatin1(utf8), all);
    EXPECT_EQ(plat::Latin1ToUtf8("Zo\xEB"), "Zo\xC3\xAB");
}

TEST(TextCodec, OutsideLatin1IsAQuestionMark) {
    EXPECT_EQ(plat::Utf8ToLatin1("\xE2\x82\xAC"
                                 "5, \xF0\x9F\x90\xBB, \xC5\xBD"),
              "?5, ?, ?");
    // Malformed bytes, one mark each.
    EXPECT_EQ(plat::Utf8ToLatin1("a\xEB"
                                 "b\xE2\x82"),
              "a?b??");
}

TEST(TextCodec, AFileIsUtf8WhenItCanBeElseLatin1) {
    EXPECT_EQ(plat::DecodeUtf8OrLatin1("Zo\xC3\xAB"), "Zo\xEB");
    EXPECT_EQ(plat::DecodeUtf8OrLatin1("\xEF\xBB\xBFZo\xC3\xAB"), "Zo\xEB") << "no byte-order mark";
    EXPECT_EQ(plat::DecodeUtf8OrLatin1("\xEF\xBB\xBF"), "");
    EXPECT_EQ(plat::DecodeUtf8OrLatin1("Zo\xEB"), "Zo\xEB");
    // One byte that is not UTF-8 makes the whole file Latin-1.
    EXPECT_EQ(plat::DecodeUtf8OrLatin1("Zo\xC3\xAB, Zo\xEB"), "Zo\xC3\xAB, Zo\xEB");
    // A byte-order mark goes whichever way the rest is read: "\xEF\xBB\xBF"
    // read as Latin-1 would show as three letters before the title.
    EXPECT_EQ(plat::DecodeUtf8OrLatin1("\xEF\xBB\xBFZo\xEB"), "Zo\xEB");
}

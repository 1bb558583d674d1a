// Scrambled line files: the byte layout, the XOR chain, readers and filters.
#include <gtest/gtest.h>

#include "base/LumException.h"
#include "data/ObfText.h"
#include "support/TestSupport.h"

using fbwtest::TempDir;

namespace {
const TLineFilter kAll = [](std::string&) { return true; };

std::vector<std::string> ReadAll(TObfText& t) {
    std::vector<std::string> out;
    std::string line;
    do {
        t.ReadLine(line);
        out.push_back(line);
    } while (!t.AtEnd());
    return out;
}

std::string LineFileOf(const std::string& plain, const TLineFilter& filter) {
    TempDir dir;
    fbwtest::WriteBytes(dir / "p.txt", plain);
    TObfText::WriteLineFile(dir / "p.txt", dir / "p.lin", filter);
    return fbwtest::ReadBytes(dir / "p.lin");
}
} // namespace

TEST(ObfText, ABBecomesKnownBytes) {
    TempDir dir;
    fbwtest::WriteBytes(dir / "ml1.dat", "ab\n");
    TObfText::WriteLineFile(dir / "ml1.dat", dir / "lines", nullptr);
    EXPECT_EQ(fbwtest::ReadBytes(dir / "lines"), std::string("\x02"
                                                             "ab\0",
                                                             4));
    TObfText::BuildScrambledFile(dir / "ml1.dat", dir / "sb1.dat", nullptr);
    EXPECT_EQ(fbwtest::ReadBytes(dir / "sb1.dat"), "\x63\x03\x62\x63");
    TObfText t(dir / "sb1.dat");
    EXPECT_EQ(ReadAll(t), (std::vector<std::string>{"ab", ""}));
}

TEST(ObfText, LineFileRules) {
    EXPECT_EQ(LineFileOf("a\nb", nullptr), std::string("\x01"
                                                       "a\0\0",
                                                       4))
        << "the unfinished last line is dropped";
    EXPECT_EQ(LineFileOf("x\r\n", nullptr), std::string("\x01"
                                                        "x\0\0",
                                                        4));
    EXPECT_EQ(LineFileOf("x\ty\n", nullptr), std::string("\x03"
                                                         "x y",
                                                         4) +
                                                 std::string(4, '\0'));
    EXPECT_EQ(LineFileOf("   \n  x  \n", nullptr), std::string("\x01"
                                                               "x\0\0",
                                                               4));
    EXPECT_EQ(LineFileOf("   \n  x  \n", kAll),
              std::string("\x03   \x05  x  ", 10) + std::string(2, '\0'));
    // A filter that rewrites and drops lines.
    TLineFilter upper = [](std::string& l) {
        if (l == "drop")
            return false;
        l = "<" + l + ">";
        return true;
    };
    EXPECT_EQ(LineFileOf("a\ndrop\n", upper), std::string("\x03<a>", 4) + std::string(4, '\0'));
}

TEST(ObfText, FillToBlockMultiple) {
    // 10 bytes of records fill to 12; 12 bytes fill to 16.
    EXPECT_EQ(LineFileOf("12345678\n", nullptr).size(), 12u);
    EXPECT_EQ(LineFileOf("12345678901\n", nullptr).size(), 16u);
    EXPECT_EQ(LineFileOf("", nullptr), std::string(4, '\0'));
}

TEST(ObfText, LongLineIsCutTo254) {
    std::string lines = LineFileOf(std::string(255, 'z') + "\nok\n", nullptr);
    ASSERT_GE(lines.size(), 258u);
    EXPECT_EQ(static_cast<unsigned char>(lines[0]), 254);
    EXPECT_EQ(lines.substr(255, 3), "\x02ok");
}

TEST(ObfText, BlockCount) {
    EXPECT_EQ(TObfText::BlockCount(0), 4u);
    EXPECT_EQ(TObfText::BlockCount(261120), 4u);
    EXPECT_EQ(TObfText::BlockCount(261123), 4u);
    EXPECT_EQ(TObfText::BlockCount(261124), 5u);
    EXPECT_EQ(TObfText::BlockCount(5 * 65280), 5u);
    EXPECT_EQ(TObfText::BlockCount(5 * 65280 + 5), 6u);
}

TEST(ObfText, ScrambleRoundTrip) {
    for (std::size_t size : {4u, 8u, 1000u, 261120u, 261125u, 326400u}) {
        ASSERT_EQ(size % TObfText::BlockCount(size), 0u) << size;
        std::string bytes(size, '\0');
        uint32_t x = static_cast<uint32_t>(size);
        for (auto& c : bytes) {
            x = x * 1103515245u + 12345u;
            c = static_cast<char>(x >> 24);
        }
        std::string copy = bytes;
        TObfText::Scramble(copy);
        EXPECT_NE(copy, bytes);
        TObfText::Unscramble(copy);
        EXPECT_EQ(copy, bytes) << size;
    }
    std::string odd = "\x01x\x00\x00\x00";
    std::string same = odd;
    TObfText::Unscramble(same);
    EXPECT_EQ(same, odd) << "a size that is no multiple of its block count stays as it is";
}

TEST(ObfText, ReaderEdges) {
    TObfText empty = TObfText::FromBytes("");
    EXPECT_TRUE(empty.AtEnd());
    std::string line = "x";
    empty.ReadLine(line);
    EXPECT_EQ(line, "");

    TempDir dir;
    TObfText missing(dir / "missing.dat");
    EXPECT_EQ(ReadAll(missing), std::vector<std::string>{""});

    // Unscrambled (size 5 is no multiple of 4): a short record yields what remains.
    TObfText cut = TObfText::FromBytes(std::string("\x01"
                                                   "a\x09"
                                                   "bc",
                                                   5));
    EXPECT_EQ(ReadAll(cut), (std::vector<std::string>{"a", "bc"}));

    // A stop mark ends the reading instead of repeating for ever.
    TObfText stop = TObfText::FromBytes(std::string("\x01"
                                                    "a\xff\x01"
                                                    "b",
                                                    5));
    EXPECT_EQ(ReadAll(stop), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(stop.AtEnd());
    stop.ReadLine(line);
    EXPECT_EQ(line, "");
}

TEST(ObfText, MissingPlainFileIsAnError) {
    TempDir dir;
    EXPECT_THROW(TObfText::BuildScrambledFile(dir / "none.txt", dir / "out.dat", nullptr),
                 LumException);
    fbwtest::WriteBytes(dir / "p.txt", "a\n");
    EXPECT_THROW(TObfText::WriteLineFile(dir / "p.txt", dir / "no/out.dat", nullptr), LumException);
}

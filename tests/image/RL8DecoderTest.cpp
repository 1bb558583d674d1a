// The segment decoders: every line code, the run-length items, the simple
// scheme, and the rejection of codes that would read or write out of bounds.
#include <gtest/gtest.h>

#include "Rl8TestUtil.h"
#include "image/RL8Decoder.h"

using rl8test::MessageOf;

namespace {

constexpr uint8_t E1 = 0xF0, E2 = 0xF1;

std::string S(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

// Decodes line codes into Rows rows of Width pixels; returns the pixels of
// each row without padding, rows joined in stored order.
std::vector<uint8_t> Lines(const std::string& src, uint32_t width, uint32_t rows,
                           bool lineCodes = true) {
    const uint32_t stride = (width + 3) & ~3u;
    std::vector<uint8_t> out(std::size_t{stride} * rows, 0xAA);
    TRL8Decoder::DecodeLineCodes(reinterpret_cast<const uint8_t*>(src.data()), src.size(),
                                 out.data(), width, stride, rows, E1, E2, lineCodes);
    std::vector<uint8_t> px;
    for (uint32_t r = 0; r < rows; ++r) {
        for (uint32_t i = width; i < stride; ++i)
            EXPECT_EQ(out[r * stride + i], 0) << "padding of row " << r;
        px.insert(px.end(), out.begin() + r * stride, out.begin() + r * stride + width);
    }
    return px;
}

std::string LinesError(const std::string& src, uint32_t width, uint32_t rows) {
    return MessageOf([&] { Lines(src, width, rows); });
}

std::vector<uint8_t> Simple(const std::string& src, uint32_t width, uint32_t rows,
                            uint8_t e1 = E1) {
    const uint32_t stride = (width + 3) & ~3u;
    std::vector<uint8_t> out(std::size_t{stride} * rows, 0xAA);
    TRL8Decoder::DecodeSimple(reinterpret_cast<const uint8_t*>(src.data()), src.size(), out.data(),
                              width, stride, rows, e1);
    std::vector<uint8_t> px;
    for (uint32_t r = 0; r < rows; ++r)
        px.insert(px.end(), out.begin() + r * stride, out.begin() + r * stride + width);
    return px;
}

using V = std::vector<uint8_t>;

} // namespace

TEST(RL8Decoder, LiteralFillAndCopyCodes) {
    // Row 0 literal, row 1 fill, row 2 copy of row 1, row 3: copy code 8 then fill.
    V expect{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    expect.insert(expect.end(), 28, 42);
    expect.insert(expect.end(), {9, 9});
    EXPECT_EQ(Lines(S({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 6, 42, 7, 8, 6, 9}), 10, 4), expect);
    // Code 0 with exactly one pixel left copies one byte.
    expect.assign(17, 5);
    expect.push_back(77);
    EXPECT_EQ(Lines(S({6, 5, 8, 0, 77}), 9, 2), expect);
    // A 1 x 1 image: codes 0, 1 and 6 each give its pixel.
    EXPECT_EQ(Lines(S({0, 3}), 1, 1), V{3});
    EXPECT_EQ(Lines(S({1, 3}), 1, 1), V{3});
    EXPECT_EQ(Lines(S({6, 3}), 1, 1), V{3});
    // Rows without line codes are literal.
    EXPECT_EQ(Lines(S({1, 2, 3, 4, 5, 6}), 3, 2, false), (V{1, 2, 3, 4, 5, 6}));
}

TEST(RL8Decoder, RunLengthItems) {
    // Plain byte, E1 0, E1 1, E1 n v, E2 E1, E2 E2, E2 v; codes 1, 3, 4, 5 alike.
    for (int code : {1, 3, 4, 5})
        EXPECT_EQ(Lines(S({code, 9, E1, 0, E1, 1, E1, 4, 7, E2, E1, E2, E2, E2, 5}), 14, 1),
                  (V{9, E1, E1, E1, 7, 7, 7, 7, E2, E2, E2, 5, 5, 5}));
    // E1 2 n copies n pixels from the previous row; E1 2 0 the rest of the row.
    EXPECT_EQ(Lines(S({0, 1, 2, 3, 4, 5, 1, 8, E1, 2, 2, E1, 2, 0}), 5, 2),
              (V{1, 2, 3, 4, 5, 8, 2, 3, 4, 5}));
    // A row starting with code 20 continues with code 1 after 20 copied pixels.
    V expect(45, 1);
    expect.insert(expect.end(), {2, 9, 9, 9, 2});
    EXPECT_EQ(Lines(S({6, 1, 20, 1, 2, E1, 3, 9, 2}), 25, 2), expect);
    // Code 6 after a copy code fills only the rest of the row.
    expect.assign(18, 1);
    expect.insert(expect.end(), 2, 4);
    EXPECT_EQ(Lines(S({6, 1, 8, 6, 4}), 10, 2), expect);
}

TEST(RL8Decoder, XorRowsGiveBackTheRow) {
    // Row 1 is the run-length coding of (row XOR previous row).
    EXPECT_EQ(Lines(S({0, 10, 20, 30, 40, 50, 60, 2, 0, 0, 1, 0, 0, 1}), 6, 2),
              (V{10, 20, 30, 40, 50, 60, 10, 20, 31, 40, 50, 61}));
    // Items that overshoot an XOR row stop at the row's end.
    EXPECT_EQ(Lines(S({0, 1, 2, 3, 2, E1, 9, 0}), 3, 2), (V{1, 2, 3, 1, 2, 3}));
}

TEST(RL8Decoder, CodesNeedingAPreviousRowAreRejectedInTheFirstRow) {
    for (int code : {2, 7, 8, 20, 255})
        EXPECT_EQ(LinesError(S({code, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}), 8, 1),
                  "Decode: invalid line code")
            << code;
    EXPECT_EQ(LinesError(S({1, E1, 2, 3, 1, 1, 1, 1, 1}), 8, 1), "Decode: invalid line code");
    // The same codes are fine in the second row.
    EXPECT_EQ(Lines(S({6, 4, 7}), 8, 2), V(16, 4));
}

TEST(RL8Decoder, OutOfBoundsCodesAreRejected) {
    const std::string overflow = "Decode: source buffer overflow";
    const std::string line = "Decode: output line overflow";
    EXPECT_EQ(LinesError("", 4, 1), overflow);
    EXPECT_EQ(LinesError(S({0, 1, 2, 3}), 4, 1), overflow);     // literal row cut short
    EXPECT_EQ(LinesError(S({6}), 4, 1), overflow);              // fill without its value
    EXPECT_EQ(LinesError(S({1, 1, 2}), 4, 1), overflow);        // items run out
    EXPECT_EQ(LinesError(S({1, E1, 5}), 4, 1), overflow);       // run without its value
    EXPECT_EQ(LinesError(S({6, 1, 1, E1, 2}), 4, 2), overflow); // copy item without its count
    EXPECT_EQ(LinesError(S({6, 1, 1, E2}), 4, 2), overflow);
    EXPECT_EQ(LinesError(S({6, 1}), 4, 2), overflow);             // second row missing
    EXPECT_EQ(LinesError(S({1, E1, 5, 7}), 4, 1), line);          // run past the row
    EXPECT_EQ(LinesError(S({1, 1, 1, E2, 7}), 4, 1), line);       // E2 v past the row
    EXPECT_EQ(LinesError(S({1, 1, 1, 1, 1, E1, 1}), 5, 1), line); // two E1, one pixel left
    EXPECT_EQ(LinesError(S({6, 1, 9, 0, 1}), 8, 2), line);        // copy code past the row
    EXPECT_EQ(LinesError(S({6, 1, 1, 1, E1, 2, 9}), 4, 2), line); // copy item past the row
}

TEST(RL8Decoder, SimpleScheme) {
    // Literals, E1 0, E1 1, E1 d v, and a run carrying over into the next rows.
    EXPECT_EQ(Simple(S({1, E1, 0, E1, 1, E1, 5, 7, 2}), 5, 2),
              (V{1, E1, E1, E1, 7, 7, 7, 7, 7, 2}));
    EXPECT_EQ(Simple(S({E1, 7, 3, 4, 5}), 3, 3), (V{3, 3, 3, 3, 3, 3, 3, 4, 5}));
    EXPECT_EQ(MessageOf([] { Simple(S({1, 2}), 3, 1); }), "Decode: source buffer overflow");
    EXPECT_EQ(MessageOf([] { Simple(S({E1, 4}), 3, 2); }), "Decode: source buffer overflow");
    EXPECT_EQ(MessageOf([] { Simple(S({E1}), 3, 1); }), "Decode: source buffer overflow");
}

TEST(RL8Decoder, LiteralRunsOfEveryLengthAroundEscapes) {
    // Literal runs cut by an escaped run at every position of a 40-pixel row,
    // and coded data that ends at every point of a literal run.
    for (uint32_t cut = 0; cut < 40; ++cut) {
        std::string src(1, '\1');
        V expect;
        for (uint32_t x = 0; x < 40;) {
            if (x == cut && x + 3 <= 40) {
                src += S({E1, 3, E1});
                expect.insert(expect.end(), 3, E1);
                x += 3;
            } else {
                src += static_cast<char>(x + 1);
                expect.push_back(static_cast<uint8_t>(x + 1));
                ++x;
            }
        }
        EXPECT_EQ(Lines(src, 40, 1), expect) << cut;
        EXPECT_EQ(LinesError(src.substr(0, cut + 1), 40, 1), "Decode: source buffer overflow")
            << cut;
        std::string simple = src.substr(1);
        EXPECT_EQ(Simple(simple, 40, 1), expect) << cut;
    }
}

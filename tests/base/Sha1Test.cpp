// SHA-1 against the standard's examples: one block, an empty message, and a
// message whose padding takes a second block.
#include <gtest/gtest.h>

#include <cstdio>

#include "base/Sha1.h"

namespace {
std::string Hex(const TSha1::Digest& d) {
    std::string out;
    char b[3];
    for (uint8_t v : d) {
        std::snprintf(b, sizeof b, "%02x", v);
        out += b;
    }
    return out;
}
} // namespace

TEST(Sha1, TheStandardsExamples) {
    EXPECT_EQ(Hex(TSha1::Of("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(Hex(TSha1::Of("")), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(Hex(TSha1::Of("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
    EXPECT_EQ(Hex(TSha1::Of(std::string(1000000, 'a'))),
              "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

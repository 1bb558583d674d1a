// The malformed library files beside this test: each fails with its message,
// when opened or when its image is got, and never reads out of bounds.
#include <gtest/gtest.h>

#include "Rl8TestUtil.h"
#include "support/TestSupport.h"

using rl8test::MessageOf;

namespace {
std::string Corpus(const std::string& name) {
    return fbwtest::SourceDir() + "/tests/image/malformed/" + name + ".rl8";
}
} // namespace

TEST(RL8Malformed, FilesThatCannotBeOpened) {
    const std::pair<const char*, const char*> cases[] = {
        {"truncated-file-header", "ValidateRL8FileHeader: header invalid"},
        {"bad-magic", "ValidateRL8FileHeader: header invalid"},
        {"bad-bit-depth", "ValidateRL8FileHeader: header invalid"},
        {"bad-version", "ValidateRL8FileHeader: header invalid"},
        {"truncated-palette", "ValidateRL8FileHeader: header invalid"},
        {"zero-width", "Invalid RL8 image header"},
        {"zero-height", "Invalid RL8 image header"},
        {"bad-storage-state", "Invalid RL8 image header"},
        {"bad-header-version", "Invalid RL8 image header"},
        {"segment-count-mismatch", "Invalid RL8 image header"},
        {"too-wide-to-band", "Invalid RL8 image header"},
        {"end-table-past-file", "Invalid RL8 image header"},
        {"truncated-record", "Invalid RL8 image header"},
        {"trailing-garbage", "Invalid RL8 image header"},
    };
    for (auto [file, message] : cases) {
        TRL8Library lib;
        EXPECT_EQ(MessageOf([&] { lib.Open(Corpus(file)); }), message) << file;
        // A failed open leaves the library closed.
        EXPECT_FALSE(lib.IsOpen()) << file;
        EXPECT_TRUE(lib.Directory().empty()) << file;
        EXPECT_EQ(MessageOf([&] { lib.GetHPal(); }), "GetHPal: global palette unavailable");
    }
}

TEST(RL8Malformed, ImagesThatCannotBeDecoded) {
    const std::pair<const char*, const char*> cases[] = {
        {"previous-row-in-row0", "Decode: invalid line code"},
        {"copy-item-in-row0", "Decode: invalid line code"},
        {"source-overflow", "Decode: source buffer overflow"},
        {"output-line-overflow", "Decode: output line overflow"},
        {"run-past-row", "Decode: output line overflow"},
        {"short-plain-segment", "Decode: source buffer overflow"},
        {"end-table-backwards", "Invalid RL8 image header"},
    };
    for (auto [file, message] : cases) {
        TRL8Library lib;
        lib.Open(Corpus(file));
        ASSERT_EQ(lib.Directory().size(), 1u) << file;
        const std::string name = lib.Directory().begin()->first;
        EXPECT_EQ(MessageOf([&] { lib.GetImage(name); }), message) << file;
        // Nothing half-decoded stays loaded.
        EXPECT_EQ(lib.Images().Count(), 0) << file;
    }
    TRL8Library lib;
    lib.Open(Corpus("valid"));
    TImageNode* node = lib.GetImage("IMG");
    TRL8ImageData* s = lib.GetImageData(node);
    ASSERT_NE(s, nullptr);
    std::vector<uint8_t> expect(20, 5);
    EXPECT_EQ(rl8test::Rows(*s), expect);
}

TEST(RL8Malformed, MissingFileFails) {
    TRL8Library lib;
    EXPECT_NE(MessageOf([&] { lib.Open(Corpus("no-such-file")); }), "");
    EXPECT_FALSE(lib.IsOpen());
}

// The zip writer: entries stored and deflated, written whole and in pieces,
// stored ones rewritten in place (the open one and one ended before), into an
// archive file that unzip tests and unpacks byte for byte; what it refuses.
#include <gtest/gtest.h>

#include "platform/FileStream.h"
#include "platform/MemoryStream.h"
#include "platform/ZipWriter.h"
#include "support/TestSupport.h"
#include "support/XSession.h"

TEST(ZipWriter, EntriesInPiecesAndRewrittenInPlaceReadBackWhole) {
    fbwtest::TempDir dir;
    const std::string path = dir / "a.zip";
    const auto file = plat::FileStream::CreateAtomic(path);
    ASSERT_TRUE(file);
    const auto zip = plat::CreateZipWriter(*file, 1796748300);
    if (!zip)
        GTEST_SKIP() << "built without zlib";
    std::string text, sound;
    for (int i = 0; i < 20000; ++i)
        text += "line " + std::to_string(i) + " of the text\n";
    for (uint32_t i = 0; i < 300000; ++i)
        sound += static_cast<char>(i * 7919 % 251);
    const std::string package = "<package/>" + std::string(54, ' ');
    EXPECT_TRUE(zip->Add({"mimetype", "application/epub+zip", true}));
    EXPECT_TRUE(zip->Add({"dir/package.xml", std::string(package.size(), '?'), true}));
    EXPECT_TRUE(zip->Begin("dir/text.txt", false));
    for (std::size_t at = 0; at < text.size(); at += 70001)
        EXPECT_TRUE(zip->Write(std::string_view(text).substr(at, 70001)));
    EXPECT_TRUE(zip->Begin("dir/sound.bin", true));
    for (std::size_t at = 0; at < sound.size(); at += 4096)
        EXPECT_TRUE(zip->Write(std::string_view(sound).substr(at, 4096)));
    EXPECT_TRUE(zip->Rewrite(3, 0, "HEAD"));
    sound.replace(0, 4, "HEAD");
    EXPECT_TRUE(zip->Add({"dir/last.txt", "the end", false}));
    EXPECT_TRUE(zip->Rewrite(1, 0, package));
    EXPECT_TRUE(zip->Finish()) << zip->Failure();
    ASSERT_TRUE(file->Commit());

    const std::string bytes = fbwtest::ReadBytes(path);
    EXPECT_EQ(bytes.substr(30, 8), "mimetype");
    EXPECT_EQ(bytes.substr(38, 20), "application/epub+zip") << "first and stored";
    if (!fbwtest::OnPath("unzip"))
        GTEST_SKIP() << "unzip is not installed";
    EXPECT_EQ(std::system(("unzip -tqq '" + path + "'").c_str()), 0) << "sizes and CRCs right";
    auto unpacked = [&](const char* name) {
        EXPECT_EQ(
            std::system(("unzip -p '" + path + "' " + name + " > '" + dir / "out" + "'").c_str()),
            0);
        return fbwtest::ReadBytes(dir / "out");
    };
    EXPECT_EQ(unpacked("dir/package.xml"), package);
    EXPECT_TRUE(unpacked("dir/text.txt") == text);
    EXPECT_TRUE(unpacked("dir/sound.bin") == sound);
    EXPECT_EQ(unpacked("dir/last.txt"), "the end");

    // A name twice, and a deflated entry to rewrite: refused, and so is all
    // that follows.
    plat::MemoryStream memory;
    const auto refusing = plat::CreateZipWriter(memory);
    EXPECT_TRUE(refusing->Add({"a", "x", false}));
    EXPECT_FALSE(refusing->Rewrite(0, 0, "y"));
    EXPECT_FALSE(refusing->Failure().empty());
    const auto twice = plat::CreateZipWriter(memory);
    EXPECT_TRUE(twice->Add({"a", "x", true}));
    EXPECT_FALSE(twice->Begin("a", true));
    EXPECT_FALSE(twice->Finish());
}

// Files: case-insensitive lookup, atomic replacement, times, streams.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FileStream.h"
#include "platform/Files.h"
#include "platform/MemoryStream.h"
#include "support/TestSupport.h"

using fbwtest::TempDir;

TEST(Files, CaseInsensitiveLastComponent) {
    TempDir dir;
    fbwtest::WriteBytes(dir / "FBWstart.rl8", "x");
    EXPECT_TRUE(plat::FileExists(dir / "fbwstart.rl8"));
    EXPECT_TRUE(plat::FileExists(dir / "FBWSTART.RL8"));
    EXPECT_EQ(plat::ResolvePath(dir / "fbwstart.rl8"), dir / "FBWstart.rl8");
    EXPECT_FALSE(plat::FileExists(dir / "fbwstart.rl"));
    EXPECT_FALSE(plat::FileExists(dir.Path())) << "a folder is not a file";
    EXPECT_TRUE(plat::FolderExists(dir.Path()));
    EXPECT_FALSE(plat::FolderExists(dir / "nope"));
    std::string data;
    EXPECT_TRUE(plat::ReadWholeFile(dir / "FBWSTART.rl8", data));
    EXPECT_EQ(data, "x");
}

TEST(Files, AtomicReplaceKeepsOldFileUntilCommit) {
    TempDir dir;
    std::string path = dir / "words.dat";
    fbwtest::WriteBytes(path, "old");
    {
        auto f = plat::FileStream::CreateAtomic(path);
        ASSERT_TRUE(f);
        f->Write("new contents", 12);
        EXPECT_EQ(fbwtest::ReadBytes(path), "old");
        // Destroyed without Commit: as if the program died mid-write.
    }
    EXPECT_EQ(fbwtest::ReadBytes(path), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator{}),
              1)
        << "no temporary file is left behind";
    EXPECT_TRUE(plat::WriteFileAtomic(path, "new"));
    EXPECT_EQ(fbwtest::ReadBytes(path), "new");
    EXPECT_FALSE(plat::WriteFileAtomic(dir / "missing/x.dat", "y"));
}

TEST(Files, AtomicReplaceWritesThroughCaseInsensitiveName) {
    TempDir dir;
    fbwtest::WriteBytes(dir / "SB1.dat", "old");
    EXPECT_TRUE(plat::WriteFileAtomic(dir / "sb1.dat", "new"));
    EXPECT_EQ(fbwtest::ReadBytes(dir / "SB1.dat"), "new");
}

TEST(Files, ModificationTimes) {
    TempDir dir;
    fbwtest::WriteBytes(dir / "a", "1");
    int64_t t = 0;
    ASSERT_TRUE(plat::FileModTime(dir / "a", t));
    ASSERT_TRUE(plat::SetFileModTime(dir / "a", t - 5'000'000'000));
    int64_t t2 = 0;
    ASSERT_TRUE(plat::FileModTime(dir / "A", t2));
    EXPECT_EQ(t2, t - 5'000'000'000);
    EXPECT_FALSE(plat::FileModTime(dir / "b", t2));
}

TEST(Files, PathHelpers) {
    EXPECT_EQ(plat::ExtractFilePath("/a/b/prog"), "/a/b/");
    EXPECT_EQ(plat::ExtractFilePath("prog"), "");
    EXPECT_EQ(plat::IncludeTrailingSeparator("/a"), "/a/");
    EXPECT_EQ(plat::IncludeTrailingSeparator("/a/"), "/a/");
    EXPECT_FALSE(plat::ExecutablePath().empty());
}

TEST(Streams, FileAndMemoryStreams) {
    TempDir dir;
    fbwtest::WriteBytes(dir / "f", "hello");
    auto f = plat::FileStream::Open(dir / "f");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->Size(), 5);
    char buf[8];
    EXPECT_EQ(f->Read(buf, 8), 5u);
    EXPECT_TRUE(f->Seek(1));
    EXPECT_TRUE(f->ReadExact(buf, 4));
    EXPECT_FALSE(f->ReadExact(buf, 1));
    EXPECT_FALSE(plat::FileStream::Open(dir / "g"));
    EXPECT_FALSE(plat::FileStream::Open(dir.Path()));

    plat::MemoryStream m;
    m.Write("abc", 3);
    m.Seek(1);
    m.Write("X", 1);
    EXPECT_EQ(m.Data(), "aXc");
    m.Seek(0);
    EXPECT_EQ(m.Read(buf, 10), 3u);
    EXPECT_EQ(m.Read(buf, 10), 0u);
}

TEST(Files, AtomicWriteThroughSymbolicLinks) {
    // A link to a link to the real file, in another folder: the real file is
    // replaced and the links stay links.
    TempDir dir;
    std::filesystem::create_directory(dir / "real");
    fbwtest::WriteBytes(dir / "real/words.dat", "old");
    std::filesystem::create_symlink("real/words.dat", dir / "inner");
    std::filesystem::create_symlink(dir / "inner", dir / "words.dat");
    ASSERT_TRUE(plat::WriteFileAtomic(dir / "words.dat", "new"));
    EXPECT_EQ(fbwtest::ReadBytes(dir / "real/words.dat"), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "words.dat"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "inner"));

    // A link loop is refused rather than replaced.
    std::filesystem::create_symlink(dir / "loop2", dir / "loop1");
    std::filesystem::create_symlink(dir / "loop1", dir / "loop2");
    EXPECT_FALSE(plat::WriteFileAtomic(dir / "loop1", "x"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "loop1"));
}

TEST(Files, WritesInPlaceWhenTheFolderIsReadOnly) {
    TempDir dir;
    const std::string path = dir / "words.dat";
    fbwtest::WriteBytes(path, "old contents, longer than the new");
    namespace fs = std::filesystem;
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::owner_exec |
                               fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(dir.Path(), readOnly);
    fs::permissions(path, fs::perms::all);
    const int result = fbwtest::RunUnprivileged([&] {
        if (plat::WriteFileAtomic(dir / "new.dat", "x"))
            return 1; // the folder should refuse new files
        if (!plat::WriteFileAtomic(path, "new"))
            return 2;
        auto f = plat::FileStream::CreateAtomic(path);
        if (!f || f->Write("unfinished", 10) != 10)
            return 3;
        return 0; // destroyed without Commit: the file keeps "new"
    });
    fs::permissions(dir.Path(), fs::perms::owner_all);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(fbwtest::ReadBytes(path), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator{}),
              1);
}

TEST(Streams, OpenNeverThrows) {
    TempDir dir;
    std::filesystem::create_symlink(dir / "b", dir / "a");
    std::filesystem::create_symlink(dir / "a", dir / "b");
    EXPECT_FALSE(plat::FileStream::Open(dir / "a"));
    EXPECT_FALSE(plat::FileStream::Open(dir / std::string(300, 'n')));
    EXPECT_FALSE(plat::FileStream::Open(dir / (std::string(300, 'n') + "/x")));
    std::string data;
    EXPECT_FALSE(plat::ReadWholeFile(dir / "a", data));
    EXPECT_FALSE(plat::FileExists(dir / "A"));
    EXPECT_FALSE(plat::FileMissing(dir / "a")) << "a link loop is there, only unreadable";
    EXPECT_TRUE(plat::FileMissing(dir / "c"));
    fbwtest::WriteBytes(dir / "C.txt", "c");
    EXPECT_FALSE(plat::FileMissing(dir / "c.txt"));
}

// Files: case-insensitive lookup, atomic replacement, times, streams.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/FileStream.h"
#include "platform/Files.h"
#include "platform/MemoryStream.h"
#include "support/TestSupport.h"

using fbwtest::TempDir;
namespace fs = std::filesystem;

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
    // Told from the Unix epoch, as the file was written now.
    EXPECT_LE(std::abs(t / 1'000'000'000 - int64_t(std::time(nullptr))), 60);
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

namespace {
std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    return names;
}
} // namespace

TEST(Files, AFolderThatTakesNoNewFileFailsTheWriteAndKeepsTheFile) {
    // The file itself is writable, the folder is not: no temporary can be
    // made beside it, and the file is never written in place instead.
    TempDir dir;
    const std::string path = dir / "Goldilox.txt";
    const std::string old = "old contents, longer than the new";
    fbwtest::WriteBytes(path, old);
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::owner_exec |
                               fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(dir.Path(), readOnly);
    fs::permissions(path, fs::perms::all);
    const int result = fbwtest::RunUnprivileged([&] {
        std::string why;
        if (plat::WriteFileAtomic(path, "new", &why) || why != "permission denied")
            return 1;
        why.clear();
        if (plat::FileStream::CreateAtomic(path, &why) || why != "permission denied")
            return 2;
        why.clear();
        if (plat::WriteNewFileAtomic(dir / "new.pdf", "x", &why) != plat::NewFile::Failed ||
            why != "permission denied")
            return 3;
        return 0;
    });
    fs::permissions(dir.Path(), fs::perms::owner_all);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(fbwtest::ReadBytes(path), old) << "byte for byte";
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"Goldilox.txt"});
}

TEST(Files, AFullDeviceFailsTheWriteAndKeepsTheFileWhole) {
    TempDir dir;
    bool mounted = false;
    // 64 KB: the old file fits, the new one does not.
    const int result = fbwtest::RunOnSmallDevice(
        dir.Path(), 64 * 1024,
        [&] {
            const std::string path = dir / "book.pdf";
            const std::string old(30 * 1024, 'o');
            if (!plat::WriteFileAtomic(path, old))
                return 1;
            std::string why;
            if (plat::WriteFileAtomic(path, std::string(80 * 1024, 'n'), &why))
                return 2;
            if (why != "no space left on device" && why != "file too large")
                return 3;
            if (fbwtest::ReadBytes(path) != old)
                return 4;
            if (Entries(dir.Path()) != std::vector<std::string>{"book.pdf"})
                return 5; // no temporary is left taking the room
            // The stream says why too, and the next write that fits goes in.
            auto f = plat::FileStream::CreateAtomic(path);
            if (!f)
                return 6;
            const std::string big(80 * 1024, 'n');
            if ((f->WriteExact(big.data(), big.size()) && f->Commit()) || f->Failure().empty())
                return 6;
            f.reset();
            if (!plat::WriteFileAtomic(path, "new") || fbwtest::ReadBytes(path) != "new")
                return 7;
            return 0;
        },
        &mounted);
    std::printf("full device: %s\n", mounted ? "a 64 KB tmpfs" : "a 64 KB file size limit");
    EXPECT_EQ(result, 0);
}

TEST(Files, StaleTemporariesGoWhenTheFolderIsNextWritten) {
    // A temporary no writer holds goes at once; one a living writer holds
    // stays, unless nothing has been written to it for more than a day.
    TempDir dir;
    const std::string dead = dir / ".words.dat.fbwtmp-AAAAAA";
    const std::string held = dir / ".words.dat.fbwtmp-BBBBBB";
    const std::string old = dir / ".yarns.ini.fbwtmp-CCCCCC";
    for (const std::string& t : {dead, held, old})
        fbwtest::WriteBytes(t, "partial");
    const int heldFd = ::open(held.c_str(), O_RDONLY);
    const int oldFd = ::open(old.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(heldFd, LOCK_EX), 0);
    ASSERT_EQ(::flock(oldFd, LOCK_EX), 0);
    const timespec twoDaysAgo[2] = {{::time(nullptr) - 2 * 86400, 0},
                                    {::time(nullptr) - 2 * 86400, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, old.c_str(), twoDaysAgo, 0), 0);
    ASSERT_TRUE(plat::WriteFileAtomic(dir / "words.dat", "words"));
    EXPECT_FALSE(std::filesystem::exists(dead));
    EXPECT_TRUE(std::filesystem::exists(held));
    EXPECT_FALSE(std::filesystem::exists(old));
    ::close(heldFd);
    ::close(oldFd);
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

TEST(Files, ThingsThatAreNoFileAreNeverWaitedOnNorTakenForOne) {
    TempDir dir;
    // A FIFO where a file was: opening it must neither block nor read it.
    ASSERT_EQ(::mkfifo((dir / "Goldilox.txt").c_str(), 0600), 0);
    EXPECT_FALSE(plat::FileStream::Open(dir / "Goldilox.txt"));
    std::string data = "kept";
    EXPECT_FALSE(plat::ReadWholeFile(dir / "Goldilox.txt", data, plat::Lookup::Exact));
    EXPECT_EQ(plat::KindAt(dir / "Goldilox.txt"), plat::EntryKind::Other);
    fs::create_symlink(dir / "gone.txt", dir / "link.txt");
    fs::create_symlink(dir / "loop.txt", dir / "loop.txt");
    fbwtest::WriteBytes(dir / "story.txt", "abc");
    fs::create_directory(dir / "folder.txt");
    std::map<std::string, plat::EntryKind> kinds;
    for (const plat::FolderEntry& e : plat::ListFolder(dir.Path()))
        kinds[e.name] = e.kind;
    EXPECT_EQ(kinds,
              (std::map<std::string, plat::EntryKind>{{"Goldilox.txt", plat::EntryKind::Other},
                                                      {"folder.txt", plat::EntryKind::Folder},
                                                      {"link.txt", plat::EntryKind::Dangling},
                                                      {"loop.txt", plat::EntryKind::Dangling},
                                                      {"story.txt", plat::EntryKind::File}}));
}

TEST(Files, NewNamesAndRemovalsTakeTheExactNameOnly) {
    TempDir dir;
    fbwtest::WriteBytes(dir / "goldilox.txt", "lower");
    // Nothing is at "Goldilox.txt": a new file goes there, not into the other.
    EXPECT_TRUE(plat::FileMissing(dir / "Goldilox.txt", plat::Lookup::Exact));
    EXPECT_EQ(plat::WriteNewFileAtomic(dir / "Goldilox.txt", "upper"), plat::NewFile::Written);
    EXPECT_EQ(fbwtest::ReadBytes(dir / "goldilox.txt"), "lower");
    EXPECT_FALSE(plat::DeleteFile(dir / "GOLDILOX.TXT")) << "no other name is removed";
    EXPECT_EQ(fbwtest::ReadBytes(dir / "Goldilox.txt"), "upper");
    // A second name for a file, made only where none is; a link's own file.
    fs::create_symlink(dir / "goldilox.txt", dir / "via.txt");
    EXPECT_EQ(plat::LinkNewName(dir / "via.txt", dir / "kept.txt"), plat::NewFile::Written);
    EXPECT_TRUE(plat::SameFile(dir / "kept.txt", dir / "goldilox.txt"));
    EXPECT_FALSE(fs::is_symlink(dir / "kept.txt"));
    EXPECT_EQ(plat::LinkNewName(dir / "via.txt", dir / "Goldilox.txt"), plat::NewFile::Exists);
    // A link is removed itself, never the file it leads to.
    EXPECT_TRUE(plat::DeleteFile(dir / "via.txt"));
    EXPECT_EQ(fbwtest::ReadBytes(dir / "goldilox.txt"), "lower");
}

// Writing a file only where there is none: whole or not at all, and never
// over what is there.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Files.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

TEST(WriteNewFileAtomic, WritesOnlyWhereThereIsNoneAndLeavesNothingBehind) {
    fbwtest::TempDir dir;
    const std::string path = dir / "book.pdf";
    EXPECT_EQ(plat::WriteNewFileAtomic(path, "first"), plat::NewFile::Written);
    EXPECT_EQ(fbwtest::ReadBytes(path), "first");
    EXPECT_EQ(plat::WriteNewFileAtomic(path, "second"), plat::NewFile::Exists);
    EXPECT_EQ(fbwtest::ReadBytes(path), "first") << "never replaced";
    fs::create_directory(dir / "sub");
    EXPECT_EQ(plat::WriteNewFileAtomic(dir / "sub", "x"), plat::NewFile::Exists);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2)
        << "no temporary left";

    // A folder that cannot be written: nothing made.
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::owner_exec |
                               fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(dir.Path(), readOnly);
    fs::permissions(dir / "sub", readOnly);
    const int result = fbwtest::RunUnprivileged([&] {
        return plat::WriteNewFileAtomic(dir / "sub/new.pdf", "x") == plat::NewFile::Failed ? 0 : 1;
    });
    fs::permissions(dir / "sub", fs::perms::owner_all);
    fs::permissions(dir.Path(), fs::perms::owner_all);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(fs::is_empty(dir / "sub"));
    EXPECT_EQ(plat::WriteNewFileAtomic(dir / "no/such/folder.pdf", "x"), plat::NewFile::Failed);
}

// Taking a file back out of a trash laid out as the desktop lays it out: the
// place its .trashinfo names (percent-encoded, absolute in the home trash,
// relative to the top in a device's own trash), never over something that
// stands there now, and a file no longer in the trash.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Files.h"
#include "platform/Trash.h"
#include "support/TestSupport.h"

using fbwtest::ReadBytes;
using fbwtest::TempDir;
using fbwtest::WriteBytes;

namespace {

// Puts the file at Place into the trash at Trash as the desktop does, its
// .trashinfo saying PathLine.
std::string Trash(const std::string& place, const std::string& trash, const std::string& name,
                  const std::string& pathLine) {
    std::filesystem::create_directories(trash + "files");
    std::filesystem::create_directories(trash + "info");
    std::filesystem::rename(place, trash + "files/" + name);
    WriteBytes(trash + "info/" + name + ".trashinfo",
               "[Trash Info]\nPath=" + pathLine + "\nDeletionDate=2027-01-15T12:00:00\n");
    return trash + "files/" + name;
}

} // namespace

TEST(Trash, AFileGoesBackToThePlaceItsTrashInfoNamesAndNeverOverAnother) {
    TempDir dir;
    const std::string stories = dir / "My Stories \xC3\xA9/";
    std::filesystem::create_directories(stories);
    const std::string place = stories + "Goldilox 2027-01-15 12.00.txt";
    WriteBytes(place, "The bears");
    const std::string inTrash =
        Trash(place, dir / "Trash/", "Goldilox 2027-01-15 12.00.txt",
              dir.Path() + "My%20Stories%20%C3%A9/Goldilox%202027-01-15%2012.00.txt");

    // Something stands there again: nothing moves.
    WriteBytes(place, "A new story");
    std::string original;
    EXPECT_EQ(plat::RestoreFromTrash(inTrash, &original), plat::TrashRestore::Taken);
    EXPECT_EQ(original, place);
    EXPECT_EQ(ReadBytes(place), "A new story");
    EXPECT_EQ(ReadBytes(inTrash), "The bears");

    std::filesystem::remove(place);
    EXPECT_EQ(plat::RestoreFromTrash(inTrash), plat::TrashRestore::Restored);
    EXPECT_EQ(ReadBytes(place), "The bears");
    EXPECT_EQ(plat::KindAt(inTrash), plat::EntryKind::Missing);
    EXPECT_EQ(plat::KindAt(dir / "Trash/info/Goldilox 2027-01-15 12.00.txt.trashinfo"),
              plat::EntryKind::Missing);
    // Once out, it is gone from the trash.
    EXPECT_EQ(plat::RestoreFromTrash(inTrash), plat::TrashRestore::Gone);

    // A device's own trash names the place under its top.
    const std::string top = dir / "usb/";
    std::filesystem::create_directories(top + "stories");
    WriteBytes(top + "stories/Jack.txt", "The beanstalk");
    const std::string onDevice =
        Trash(top + "stories/Jack.txt", top + ".Trash-1000/", "Jack.txt", "stories/Jack.txt");
    EXPECT_EQ(plat::RestoreFromTrash(onDevice), plat::TrashRestore::Restored);
    EXPECT_EQ(ReadBytes(top + "stories/Jack.txt"), "The beanstalk");

    // Not in a trash at all, or a .trashinfo that names nothing.
    EXPECT_EQ(plat::RestoreFromTrash(top + "stories/Jack.txt"), plat::TrashRestore::Failed);
    EXPECT_EQ(plat::TrashInfoPlace("[Other]\nPath=/x\n", "/top/"), "");
}

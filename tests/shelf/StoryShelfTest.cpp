// The stories folder without a window: the dated names, which files are on
// the shelf, its order, the tale filter, titles of stories and picture
// books, files that cannot be read, a folder not made yet, and saving so
// that a replaced story is kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Files.h"
#include "shelf/DatedName.h"
#include "shelf/SavedStory.h"
#include "shelf/StoryShelf.h"
#include "story/StoryText.h"
#include "support/TestSupport.h"

namespace {

constexpr int64_t kSecond = 1000000000;

std::string Saved(const std::string& title, const std::string& body = "Once upon a time.") {
    return MakeSavedStoryFile(title + "\\n\\n" + body);
}

void Put(const std::string& path, const std::string& bytes, int64_t time) {
    fbwtest::WriteBytes(path, bytes);
    ASSERT_TRUE(plat::SetFileModTime(path, time));
}

// Saves Bytes as a story of Goldilocks; the name the old story was kept as.
std::string Kept(const std::string& folder, const std::string& bytes,
                 const TSavedStory::Source* source = nullptr) {
    return TSavedStory::Save(folder, "Goldilox", bytes, source, 1800000000 * kSecond).kept;
}

std::vector<std::string> Names(const std::vector<const TStoryShelf::Item*>& items) {
    std::vector<std::string> out;
    for (const TStoryShelf::Item* i : items)
        out.push_back(i->fileName);
    return out;
}

} // namespace

TEST(DatedName, MadeAndTakenApart) {
    const TDatedName::Moment m{2026, 12, 8, 17, 5};
    EXPECT_EQ(TDatedName::Make("Goldilox", m, ".txt"), "Goldilox 2026-12-08 17.05.txt");
    EXPECT_EQ(TDatedName::Make("RR-Hood", m, ".pdf", 12), "RR-Hood 2026-12-08 17.05 (12).pdf");
    for (const auto& [name, tale, copy] : std::vector<std::tuple<std::string, std::string, int>>{
             {"Goldilox 2026-12-08 17.05.txt", "Goldilox", 1},
             {"RR-Hood 2026-12-08 17.05 (12).pdf", "RR-Hood", 12},
             {"My own 2026-12-08 17.05 (2).txt", "My own", 2}}) {
        const auto p = TDatedName::Split(name);
        ASSERT_TRUE(p) << name;
        EXPECT_EQ(p->tale, tale);
        EXPECT_EQ(p->copy, copy);
        EXPECT_EQ(p->when, m);
        EXPECT_EQ(TDatedName::Make(p->tale, p->when, p->extension, p->copy), name);
    }
    for (const char* other :
         {"Goldilox.txt", "Goldilox 2026-12-08.txt", "Goldilox 2026-13-08 17.05.txt",
          "Goldilox 2026-12-08 17.05 (1).txt", "Goldilox 2026-12-08 17.05 (02).txt",
          "Goldilox 2026-12-08 17.05 (x).txt", " 2026-12-08 17.05.txt", "2026-12-08 17.05.txt",
          "Goldilox 2026-12-08 17:05.txt", "Goldilox 2026-12-08 17.05"})
        EXPECT_FALSE(TDatedName::Split(other)) << other;
}

TEST(StoryShelf, NamesOnTheShelf) {
    using K = TStoryShelf::Kind;
    const auto is = [](const char* name, int tale, K kind) {
        const auto s = TStoryShelf::Classify(name);
        return s && s->tale == tale && s->kind == kind;
    };
    EXPECT_TRUE(is("Goldilox.txt", 2, K::Story));
    EXPECT_TRUE(is("Tortoise 2026-12-08 17.05.txt", 10, K::Story));
    EXPECT_TRUE(is("RR-Hood 2026-12-08 17.05 (3).pdf", 5, K::Book));
    // Names in other letter case are stories like any other.
    EXPECT_TRUE(is("goldilox.txt", 2, K::Story));
    EXPECT_TRUE(is("GOLDILOX 2026-12-08 17.05.PDF", 2, K::Book));
    for (const char* other : {"Goldilox.pdf", "Wolf.txt", "Wolf 2026-12-08 17.05.pdf",
                              "Goldilox 2026-12-08 17.05.doc", ".Goldilox.txt.fbwtmp-abc123",
                              "Goldilox.txt~", "Goldilox 2026-12-08 17.05.pdf.part", "notes.txt"})
        EXPECT_FALSE(TStoryShelf::Classify(other)) << other;
}

TEST(StoryShelf, ListsNewestFirstFiltersByTaleAndFollowsTheFolder) {
    fbwtest::TempDir dir;
    const std::string folder = dir / "Stories/";
    TStoryShelf shelf(folder);
    // A folder not made yet is an empty shelf.
    EXPECT_FALSE(shelf.Refresh());
    EXPECT_TRUE(shelf.Items().empty());
    EXPECT_FALSE(TStoryShelf::HasAny(folder));

    std::filesystem::create_directory(folder);
    const int64_t t = 1800000000 * kSecond;
    Put(folder + "Goldilox.txt", Saved("The newest bears"), t + 50 * kSecond);
    Put(folder + "Goldilox 2026-12-08 17.05.txt", Saved("Older bears"), t);
    Put(folder + "Hansel 2027-01-02 10.00.pdf",
        "%PDF-1.4\n1 0 obj\n<<\n/Title (\\376\\377\\000G\\000r\\000e\\000t\\000e\\000l)\n>>",
        t + 20 * kSecond);
    Put(folder + "Jack.txt", std::string("\xEF\xBB\xBF") + "  Beanstalk\r\nbody", t + 20 * kSecond);
    // Not on the shelf: other files, a folder named as a story.
    Put(folder + "notes.txt", "x", t + 90 * kSecond);
    Put(folder + "Goldilox.pdf", "%PDF", t + 90 * kSecond);
    std::filesystem::create_directory(folder + "Cinders.txt");
    EXPECT_TRUE(TStoryShelf::HasAny(folder));

    EXPECT_TRUE(shelf.Refresh());
    EXPECT_EQ(Names(shelf.Filter(0)),
              (std::vector<std::string>{"Goldilox.txt", "Hansel 2027-01-02 10.00.pdf", "Jack.txt",
                                        "Goldilox 2026-12-08 17.05.txt"}));
    EXPECT_EQ(Names(shelf.Filter(2)),
              (std::vector<std::string>{"Goldilox.txt", "Goldilox 2026-12-08 17.05.txt"}));
    EXPECT_TRUE(shelf.Filter(7).empty());
    const auto& items = shelf.Items();
    EXPECT_EQ(items[0].title, "The newest bears");
    EXPECT_EQ(items[1].title, "Gretel");
    EXPECT_EQ(items[1].kind, TStoryShelf::Kind::Book);
    EXPECT_EQ(items[2].title, "Beanstalk");
    EXPECT_EQ(items[3].title, "Older bears");
    EXPECT_TRUE(items[0].readable);
    EXPECT_FALSE(shelf.Refresh()) << "nothing changed";

    // A file that changes, one that goes, one that cannot be read.
    Put(folder + "Goldilox 2026-12-08 17.05.txt", Saved("Older bears, edited"), t + 99 * kSecond);
    std::filesystem::remove(folder + "Jack.txt");
    std::filesystem::create_symlink(folder + "gone", folder + "Rumpel.txt");
    EXPECT_TRUE(shelf.Refresh());
    ASSERT_EQ(Names(shelf.Filter(0)),
              (std::vector<std::string>{"Goldilox 2026-12-08 17.05.txt", "Goldilox.txt",
                                        "Hansel 2027-01-02 10.00.pdf", "Rumpel.txt"}));
    EXPECT_EQ(items[0].title, "Older bears, edited");
    EXPECT_FALSE(items[3].readable);
    EXPECT_EQ(items[3].title, "");
}

TEST(StoryShelf, PdfTitles) {
    EXPECT_EQ(TStoryShelf::PdfTitle("<< /Title (Plain \\(one\\)) >>"), "Plain (one)");
    EXPECT_EQ(TStoryShelf::PdfTitle("<< /Title <FEFF0041006E0020012B> >>"), "An \u012B");
    // Every character, those beyond the first 65,536 too.
    EXPECT_EQ(TStoryShelf::PdfTitle("<< /Title <FEFFD83DDC3B0021> >>"), "\U0001F43B!");
    EXPECT_EQ(TStoryShelf::PdfTitle("<< /Title (Caf\351) >>"), "Caf\u00E9");
    EXPECT_EQ(TStoryShelf::PdfTitle("<< /Title << /X 1 >> /Title (Late) >>"), "Late");
    EXPECT_EQ(TStoryShelf::PdfTitle("<< /Title (unended"), "unended");
    EXPECT_EQ(TStoryShelf::PdfTitle("%PDF no title"), "");
}

// A title ends at its first zero byte, as a story does, however the file
// spells the zero.
TEST(StoryShelf, TitlesEndAtAZeroByte) {
    using namespace std::string_literals;
    EXPECT_EQ(TStoryShelf::PdfTitle("<< /Title (Bears\\000 and more) >>"), "Bears");
    EXPECT_EQ(TStoryShelf::PdfTitle("<< /Title (Bears\0 and more) >>"s), "Bears");
    EXPECT_EQ(TStoryShelf::PdfTitle("<< /Title <FEFF004200000043> >>"), "B");
    EXPECT_EQ(TStoryShelf::EpubTitle("<dc:title>Bears\0 &amp; more</dc:title>"s), "Bears");
}

TEST(SavedStory, ASaveOverADifferentStoryKeepsItUnderItsDatedName) {
    fbwtest::TempDir dir;
    const std::string folder = dir.Path();
    const std::string path = folder + "Goldilox.txt";
    // The first save keeps nothing.
    EXPECT_EQ(Kept(folder, Saved("First")), "");
    const int64_t t = 1800000000 * kSecond;
    ASSERT_TRUE(plat::SetFileModTime(path, t));
    const std::string dated = TDatedName::Make("Goldilox", TDatedName::LocalMoment(t), ".txt");

    // The same story again, even as an editor left it, keeps no copy.
    EXPECT_EQ(Kept(folder, Saved("First")), "");
    fbwtest::WriteBytes(path, "First\n\nOnce upon a time.\n");
    ASSERT_TRUE(plat::SetFileModTime(path, t));
    EXPECT_EQ(Kept(folder, Saved("First")), "");
    EXPECT_FALSE(plat::FileExists(folder + dated));
    ASSERT_TRUE(plat::SetFileModTime(path, t));

    // A different one keeps the first under the old file's time, with it.
    EXPECT_EQ(Kept(folder, Saved("Second")), dated);
    EXPECT_EQ(fbwtest::ReadBytes(folder + dated), Saved("First"));
    EXPECT_EQ(fbwtest::ReadBytes(path), Saved("Second"));
    int64_t kept = 0;
    ASSERT_TRUE(plat::FileModTime(folder + dated, kept));
    EXPECT_EQ(kept, t);

    // A name taken gets " (2)", then " (3)".
    ASSERT_TRUE(plat::SetFileModTime(path, t));
    const std::string second = TDatedName::Make("Goldilox", TDatedName::LocalMoment(t), ".txt", 2);
    EXPECT_EQ(Kept(folder, Saved("Third")), second);
    EXPECT_EQ(fbwtest::ReadBytes(folder + second), Saved("Second"));
    EXPECT_EQ(fbwtest::ReadBytes(folder + dated), Saved("First"));
    EXPECT_EQ(fbwtest::ReadBytes(path), Saved("Third"));
}

TEST(SavedStory, BytesTheBookDidNotShowWholeAreKeptBeforeTheyAreReplaced) {
    fbwtest::TempDir dir;
    const std::string folder = dir.Path(), path = folder + "Goldilox.txt";
    const int64_t t = 1800000000 * kSecond;
    const std::string dated = TDatedName::Make("Goldilox", TDatedName::LocalMoment(t), ".txt");
    // Letters beyond Latin-1, and text after a zero byte, that an editor left.
    for (const std::string& edited :
         {std::string("\xC5\x81ucja \xE2\x9D\xA4 \xE4\xBD\xA0\xE5\xA5\xBD\r\n\r\nOnce.\r\n"),
          Saved("First") + std::string(1, '\0') + "the rest"}) {
        Put(path, edited, t);
        bool whole = true;
        const std::string text = ReadSavedStoryText(edited, &whole);
        EXPECT_FALSE(whole);
        const TSavedStory::Source read{path, edited, whole};
        EXPECT_EQ(Kept(folder, MakeSavedStoryFile(text), &read), dated);
        EXPECT_EQ(fbwtest::ReadBytes(folder + dated), edited) << "kept byte for byte";
        std::filesystem::remove(folder + dated);
        // The same as a story the book told: kept too.
        Put(path, edited, t);
        EXPECT_EQ(Kept(folder, MakeSavedStoryFile(text)), dated);
        EXPECT_EQ(fbwtest::ReadBytes(folder + dated), edited);
        std::filesystem::remove(folder + dated);
    }
    // What the book read in and showed whole is replaced without a copy.
    const std::string lf = "First\n\nOnce upon a time.\n";
    Put(path, lf, t);
    const TSavedStory::Source read{path, lf, true};
    EXPECT_EQ(Kept(folder, Saved("First, edited"), &read), "");
    EXPECT_EQ(fbwtest::ReadBytes(path), Saved("First, edited"));
}

TEST(SavedStory, AStoryGoesBackToItsFileAndOtherNamesAreLeftAlone) {
    fbwtest::TempDir dir;
    const std::string folder = dir.Path();
    const int64_t t = 1800000000 * kSecond;
    // Opened from a dated file: saved back there, and nowhere else.
    const std::string dated = TDatedName::Make("Goldilox", TDatedName::LocalMoment(t), ".txt");
    Put(folder + dated, Saved("Older"), t);
    const TSavedStory::Source read{folder + dated, Saved("Older"), true};
    for (const char* title : {"Older", "Older, swapped"}) {
        const auto saved = TSavedStory::Save(folder, "Goldilox", Saved(title), &read, t);
        EXPECT_EQ(saved.path, folder + dated);
        EXPECT_EQ(saved.kept, "");
        EXPECT_EQ(fbwtest::ReadBytes(folder + dated), Saved(title));
        EXPECT_FALSE(plat::FileExists(folder + "Goldilox.txt"));
    }
    // A name in other letters is not the tale's file.
    Put(folder + "goldilox.txt", Saved("Lower"), t);
    EXPECT_EQ(Kept(folder, Saved("Upper")), "");
    EXPECT_EQ(fbwtest::ReadBytes(folder + "goldilox.txt"), Saved("Lower"));
    EXPECT_EQ(fbwtest::ReadBytes(folder + "Goldilox.txt"), Saved("Upper"));
    // A folder in the tale's name's way: the story takes its dated name.
    std::filesystem::remove(folder + "Goldilox.txt");
    std::filesystem::create_directory(folder + "Goldilox.txt");
    const int64_t now = t + 3600 * kSecond;
    const auto saved = TSavedStory::Save(folder, "Goldilox", Saved("Detour"), nullptr, now);
    EXPECT_TRUE(saved.detour);
    EXPECT_EQ(saved.path,
              folder + TDatedName::Make("Goldilox", TDatedName::LocalMoment(now), ".txt"));
    EXPECT_EQ(fbwtest::ReadBytes(saved.path), Saved("Detour"));
}

TEST(SavedStory, KeepingAndWritingAreOneStepThatLeavesNoDuplicates) {
    fbwtest::TempDir dir;
    const std::string folder = dir.Path(), path = folder + "Goldilox.txt";
    const int64_t t = 1800000000 * kSecond;
    const std::string dated = TDatedName::Make("Goldilox", TDatedName::LocalMoment(t), ".txt");
    const auto entries = [&] {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    // A save killed between keeping and renaming left the old story under
    // its dated name too: the next save takes that copy, makes no "(2)".
    Put(path, Saved("First"), t);
    ASSERT_EQ(plat::LinkNewName(path, folder + dated), plat::NewFile::Written);
    EXPECT_EQ(Kept(folder, Saved("Second")), dated);
    EXPECT_EQ(entries(), (std::vector<std::string>{dated, "Goldilox.txt"}));
    EXPECT_EQ(fbwtest::ReadBytes(folder + dated), Saved("First"));

    // A write that fails (past a file-size limit) keeps no copy and leaves
    // the old story and nothing else.
    Put(path, Saved("Second"), t + 120 * kSecond);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8192, 8192};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            Kept(folder, Saved("Third", std::string(64 * 1024, 'x')));
        } catch (const std::runtime_error& e) {
            _exit(std::string(e.what()).find("file too large") == std::string::npos ? 2 : 0);
        }
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the save went through; 2: another reason";
    EXPECT_EQ(entries(), (std::vector<std::string>{dated, "Goldilox.txt"}));
    EXPECT_EQ(fbwtest::ReadBytes(path), Saved("Second"));
}

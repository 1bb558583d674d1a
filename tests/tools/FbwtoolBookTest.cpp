// fbwtool book: the picture book of a told story checked with poppler's
// tools (its pages, words, cover picture and title), the folded booklet's
// sheets, the easy letters, and the failures that make nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "support/TestSupport.h"
#include "support/XSession.h"

using fbwtest::RunTool;
using fbwtest::ShellOutput;
using fbwtest::TempDir;

namespace {

bool HavePoppler() {
    return fbwtest::OnPath("pdfinfo") && fbwtest::OnPath("pdftotext") &&
           fbwtest::OnPath("pdfimages") && fbwtest::OnPath("pdffonts");
}

std::string Info(const std::string& pdf, const std::string& field) {
    const std::string info = ShellOutput("pdfinfo '" + pdf + "' 2>/dev/null");
    const std::size_t at = info.find(field + ":");
    if (at == std::string::npos)
        return {};
    std::size_t from = info.find_first_not_of(' ', at + field.size() + 1);
    return info.substr(from, info.find('\n', from) - from);
}

std::string PageText(const std::string& pdf, int page, const std::string& crop = "") {
    const std::string n = std::to_string(page);
    return ShellOutput("pdftotext " + crop + " -f " + n + " -l " + n + " '" + pdf +
                       "' - 2>/dev/null");
}

std::vector<std::string> Tokens(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

const std::vector<std::string> kStory = {"--seed", "11", "--twist", "50", "--hero", "Bob"};

std::vector<std::string> With(std::vector<std::string> args, std::vector<std::string> more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

} // namespace

TEST(FbwtoolBook, ThePictureBookOfAToldStory) {
    if (!HavePoppler())
        GTEST_SKIP() << "poppler's pdfinfo, pdftotext, pdfimages and pdffonts are not installed";
    TempDir dir;
    const std::string pdf = dir / "book.pdf";
    const auto made = RunTool(With({"book"}, With(kStory, {"4", pdf})));
    ASSERT_EQ(made.status, 0) << made.err;
    const auto told = RunTool(With({"tell"}, With(kStory, {"4"})));
    ASSERT_EQ(told.status, 0) << told.err;

    // Its title is the story's, on the cover too.
    const std::string title = told.out.substr(0, told.out.find('\n'));
    EXPECT_EQ(Info(pdf, "Title"), title);
    EXPECT_EQ(Tokens(PageText(pdf, 1)), Tokens(title)) << "the cover's only words";

    // Cover, the story's pages numbered 1, 2, ..., and "The End".
    const int pages = std::atoi(Info(pdf, "Pages").c_str());
    ASSERT_GE(pages, 4);
    EXPECT_EQ(Tokens(PageText(pdf, pages)), (std::vector<std::string>{"The", "End"}));
    std::vector<std::string> words;
    for (int p = 2; p < pages; ++p) {
        std::vector<std::string> t = Tokens(PageText(pdf, p));
        ASSERT_FALSE(t.empty());
        EXPECT_EQ(t.back(), std::to_string(p - 1)) << "the number at the foot";
        words.insert(words.end(), t.begin(), t.end() - 1);
    }
    EXPECT_EQ(words, Tokens(told.out)) << "the story's words in order";

    // One picture, on the cover, each of its 150 pixels a whole number of
    // device pixels, not smoothed.
    std::istringstream list(ShellOutput("pdfimages -list '" + pdf + "'"));
    std::vector<std::vector<std::string>> images;
    for (std::string row; std::getline(list, row);) {
        const std::vector<std::string> t = Tokens(row);
        if (!t.empty() && std::isdigit(static_cast<unsigned char>(t[0][0])))
            images.push_back(t);
    }
    ASSERT_EQ(images.size(), 1u) << "one image";
    const std::vector<std::string>& image = images[0];
    ASSERT_GE(image.size(), 14u);
    EXPECT_EQ(image[0], "1") << "on the cover";
    const int width = std::atoi(image[3].c_str()), height = std::atoi(image[4].c_str());
    EXPECT_EQ(width, height);
    EXPECT_EQ(width % 150, 0);
    EXPECT_GE(width / 150, 4);
    EXPECT_EQ(image[8], "image") << "lossless";
    EXPECT_EQ(image[9], "no") << "not interpolated";
    EXPECT_EQ(image[12], image[13]);
    EXPECT_EQ(image[12], "300") << "one image pixel a device pixel";

    // Every font embedded; the size of A5 or half a Letter sheet.
    const std::string fonts = ShellOutput("pdffonts '" + pdf + "'");
    EXPECT_NE(fonts.find("LiberationSerif"), std::string::npos) << fonts;
    std::istringstream rows(fonts);
    std::string row;
    std::getline(rows, row);
    std::getline(rows, row);
    int fontRows = 0;
    while (std::getline(rows, row)) {
        ++fontRows;
        EXPECT_NE(row.find(" yes "), std::string::npos) << "embedded: " << row;
    }
    EXPECT_GE(fontRows, 2) << "the story's letters and the bold title";
    const std::string size = Info(pdf, "Page size");
    EXPECT_TRUE(size.find("(A5)") != std::string::npos || size.find("396 x 612") == 0) << size;
}

TEST(FbwtoolBook, TheFoldedBookletAndTheEasyLetters) {
    if (!HavePoppler())
        GTEST_SKIP() << "poppler's pdfinfo, pdftotext, pdfimages and pdffonts are not installed";
    TempDir dir;
    ASSERT_EQ(RunTool(With({"book"}, With(kStory, {"4", dir / "book.pdf"}))).status, 0);
    const auto booklet = RunTool(With({"book", "--booklet"}, With(kStory, {"4", dir / "b.pdf"})));
    ASSERT_EQ(booklet.status, 0) << booklet.err;
    const int pages = std::atoi(Info(dir / "book.pdf", "Pages").c_str());
    const int padded = (pages + 3) / 4 * 4;
    EXPECT_EQ(std::atoi(Info(dir / "b.pdf", "Pages").c_str()), padded / 4 * 2);
    const std::string sheet = Info(dir / "b.pdf", "Page size");
    EXPECT_TRUE(sheet.find("(A4)") != std::string::npos || sheet.find("792 x 612") == 0) << sheet;

    // The first sheet's front: the last page on the left, the first (the
    // cover) on the right.
    const std::string title = Info(dir / "book.pdf", "Title");
    const int w = std::atoi(Info(dir / "b.pdf", "Page size").c_str());
    const std::string half = std::to_string(w / 2);
    const std::string left = PageText(dir / "b.pdf", 1, "-x 0 -y 0 -W " + half + " -H 2000");
    const std::string right =
        PageText(dir / "b.pdf", 1, "-x " + half + " -y 0 -W " + half + " -H 2000");
    EXPECT_EQ(Tokens(right), Tokens(title));
    EXPECT_EQ(Tokens(left), padded == pages ? (std::vector<std::string>{"The", "End"})
                                            : std::vector<std::string>{})
        << "the padded book's last page";
    // Its back: pages 2 and P - 1 (story page 1 with the title, then number P - 2).
    const std::string backLeft = PageText(dir / "b.pdf", 2, "-x 0 -y 0 -W " + half + " -H 2000");
    EXPECT_EQ(Tokens(backLeft).back(), "1");

    // The easy letters are Andika's.
    ASSERT_EQ(
        RunTool(With({"book", "--letters", "easy"}, With(kStory, {"4", dir / "e.pdf"}))).status, 0);
    EXPECT_NE(ShellOutput("pdffonts '" + (dir / "e.pdf") + "'").find("Andika"), std::string::npos);
}

TEST(FbwtoolBook, FailuresSayWhyAndMakeNothing) {
    TempDir dir;
    const std::string pdf = dir / "x.pdf";
    for (const std::vector<std::string>& args : {std::vector<std::string>{"book", "0", pdf},
                                                 {"book", "11", pdf},
                                                 {"book", "2"},
                                                 {"book", "--letters", "fancy", "2", pdf},
                                                 {"book", "--twist", "120", "2", pdf},
                                                 {"book", "--data", dir / "none", "2", pdf},
                                                 {"book", "2", dir / "no/such/x.pdf"}}) {
        const auto r = RunTool(args);
        EXPECT_EQ(r.status, 1) << args[1];
        EXPECT_EQ(r.err.rfind("fbwtool: ", 0), 0u) << r.err;
        EXPECT_FALSE(std::filesystem::exists(pdf));
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path())) << "nothing half-written";
}

TEST(FbwtoolBook, AFailedWriteSaysWhyAndKeepsTheBookThereByteForByte) {
    // A folder that takes no new file (the tool run as an unprivileged user):
    // the old book stays, never written over in place.
    TempDir dir;
    const std::string pdf = dir / "book.pdf";
    const std::string old = "%PDF-1.4 the book made before\n";
    fbwtest::WriteBytes(pdf, old);
    namespace fs = std::filesystem;
    fs::permissions(pdf, fs::perms::all);
    fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    std::string err;
    const int status = fbwtest::RunUnprivileged([&] {
        const auto r = RunTool(With({"book"}, With(kStory, {"2", pdf})));
        // (Qt and fontconfig may warn before, of folders that are root's.)
        const std::string said = "fbwtool: cannot write " + pdf + ": permission denied\n";
        return r.status == 1 && r.err.find(said) != std::string::npos ? 0 : 1;
    });
    fs::permissions(dir.Path(), fs::perms::owner_all);
    EXPECT_EQ(status, 0) << "exit 1 with the system's reason";
    EXPECT_EQ(fbwtest::ReadBytes(pdf), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator{}), 1);

    // A full device: the book does not fit, the old one stays whole.
    bool mounted = false;
    const int full = fbwtest::RunOnSmallDevice(
        dir.Path(), 16 * 1024,
        [&] {
            fbwtest::WriteBytes(pdf, old);
            const auto r = RunTool(With({"book"}, With(kStory, {"2", pdf})));
            if (r.status != 1 ||
                r.err.find("fbwtool: cannot write " + pdf + ": ") == std::string::npos)
                return 1;
            if (fbwtest::ReadBytes(pdf) != old)
                return 2;
            return std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator{}) == 1
                       ? 0
                       : 3;
        },
        &mounted);
    std::printf("full device: %s\n", mounted ? "a 16 KB tmpfs" : "a 16 KB file size limit");
    EXPECT_EQ(full, 0);
}

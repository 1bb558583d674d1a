// fbwtool paginate: the listing of pages and lines, saved stories, pages too
// small, unreadable files and the font canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "support/TestSupport.h"

namespace {

fbwtest::ToolResult Paginate(std::vector<std::string> args, const std::string& file) {
    std::vector<std::string> all = {"paginate"};
    all.insert(all.end(), args.begin(), args.end());
    all.push_back(file);
    return fbwtest::RunTool(all);
}

const std::vector<std::string> kFixed = {"--char-width", "10",     "--line-height",
                                         "20",           "--page", "216x320"};

} // namespace

TEST(PaginateTool, ListsPagesOfTheResolvedText) {
    fbwtest::TempDir dir;
    fbwtest::WriteBytes(dir / "story.txt", "Title\\n\\n\r\nOne short sentence.\r\nAnd a second "
                                           "one that is long.\r\n");
    const auto r = Paginate(kFixed, dir / "story.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "page 1\n0 5\tTitle\n7 0\t\n9 19\tOne short sentence.\n29 16\tAnd a second "
                     "one\n46 14\tthat is long. \n");

    // Margins of 58 leave 100 pixels: too narrow for 20 widths of "n".
    auto args = kFixed;
    args.insert(args.end(), {"--margins", "58,8"});
    const auto narrow = Paginate(args, dir / "story.txt");
    EXPECT_EQ(narrow.status, 0);
    EXPECT_EQ(narrow.out, "");
    // Three lines a page.
    args = {"--char-width", "10", "--line-height", "20", "--page", "216x76", "--margins", "8,8"};
    const auto pages = Paginate(args, dir / "story.txt");
    EXPECT_EQ(pages.out.substr(pages.out.find("page 2")), "page 2\n29 16\tAnd a second one\n"
                                                          "46 14\tthat is long. \n");
}

TEST(PaginateTool, SavedStories) {
    fbwtest::TempDir dir;
    fbwtest::WriteBytes(dir / "Jack.txt", "Title\r\n\r\nText\nwith a bare line feed\r\n");
    auto args = kFixed;
    args.push_back("--saved");
    const auto r = Paginate(args, dir / "Jack.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    // The bare line feed ends a line as CR LF does.
    EXPECT_EQ(r.out, "page 1\n0 5\tTitle\n7 0\t\n9 4\tText\n15 16\twith a bare line\n32 4\tfeed\n");
}

TEST(PaginateTool, AWrappingTitle) {
    fbwtest::TempDir dir;
    fbwtest::WriteBytes(dir / "s.txt", "Queen Marigold and the Three Gnomes\\n\\n\r\nText.\r\n");
    auto args = kFixed;
    args[1] = "5";
    const auto r = Paginate(args, dir / "s.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "page 1, title of 2 lines in 4 rows\n0 22\tQueen Marigold and the\n23 12\t"
                     "Three Gnomes\n37 0\t\n39 6\tText. \n");
}

TEST(PaginateTool, Errors) {
    fbwtest::TempDir dir;
    const auto missing = Paginate(kFixed, dir / "none.txt");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("none.txt"), std::string::npos) << missing.err;
    fbwtest::WriteBytes(dir / "s.txt", "Title");
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--page", "216x320"},
          {"--char-width", "10", "--line-height", "20", "--page", "216"},
          {"--font", "Arial", "--page", "216x320"}}) {
        const auto r = Paginate(bad, dir / "s.txt");
        EXPECT_EQ(r.status, 1) << bad[0] << " " << bad.size();
        EXPECT_NE(r.err, "");
    }
    const auto noValue = fbwtest::RunTool({"paginate", "--page"});
    EXPECT_EQ(noValue.status, 1);
    EXPECT_NE(noValue.err.find("--page needs a value"), std::string::npos) << noValue.err;
}

TEST(PaginateTool, FontCanvas) {
    fbwtest::TempDir dir;
    fbwtest::WriteBytes(dir / "s.txt", "A Title\\n\\n\r\nOnce upon a time there lived a king "
                                       "who had three daughters.\r\n");
    const auto r =
        Paginate({"--font", "Times New Roman", "--size", "12", "--page", "216x320"}, dir / "s.txt");
    if (r.status == 1 && r.err.find("unavailable") != std::string::npos)
        GTEST_SKIP() << "fbwtool was built without Qt: " << r.err;
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 24), "page 1\n0 7\tA Title\n9 0\t\n");
    EXPECT_EQ(r.err, "");
    // A larger dpi means larger pixels: more lines.
    const auto big =
        Paginate({"--font", "Times New Roman", "--size", "12", "--dpi", "192", "--page", "432x640"},
                 dir / "s.txt");
    EXPECT_EQ(big.status, 0) << big.err;
    EXPECT_EQ(big.out, r.out);
}

TEST(PaginateTool, AFourMegabyteParagraphOnTheSmallestPageIsListedInTwoSeconds) {
    // One character a pixel on a page of 20 across and one line down: a
    // line a page, 200,000 pages. The listing walks them once.
    fbwtest::TempDir dir;
    std::string story = "A Long Story\\n\\n";
    const std::string words = "there were three koalas in a tree ";
    while (story.size() < 4 * 1024 * 1024)
        story += words;
    fbwtest::WriteBytes(dir / "story.txt", story);
    const auto start = std::chrono::steady_clock::now();
    const auto r =
        Paginate({"--char-width", "1", "--line-height", "1", "--page", "36x17"}, dir / "story.txt");
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("4 MB paragraph, smallest page: listed in %.2f s\n", seconds);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_LT(seconds, 2.0);
    // Every page is listed, with its one line.
    const std::size_t pages =
        static_cast<std::size_t>(std::count(r.out.begin(), r.out.end(), '\n') / 2);
    EXPECT_GT(pages, 4u * 1024 * 1024 / 20);
    EXPECT_NE(r.out.find("page " + std::to_string(pages) + "\n"), std::string::npos);
}

// The storybook's text rules: CR LF resolution, the export text and reading
// a saved story back.
#include <gtest/gtest.h>

#include "book/Book.h"
#include "book/PrintFont.h"
#include "platform/FixedCanvas.h"
#include "story/StoryText.h"

using namespace std::string_literals;

TEST(StoryText, LineEndsResolveToSpacesExceptAfterMarkers) {
    const std::vector<std::string> lines = {"Title\\n\\n", "Line one", "Line two\\n", "  Next"};
    EXPECT_EQ(JoinStoryLines(lines), "Title\\n\\n\r\nLine one\r\nLine two\\n\r\n  Next\r\n");
    EXPECT_EQ(ResolveStoryLineEnds(JoinStoryLines(lines)),
              "Title\\n\\nLine one Line two\\n  Next ");
    // Lone CR and LF stay; the text ends at a zero byte.
    EXPECT_EQ(ResolveStoryLineEnds("a\rb\nc\n\r"), "a\rb\nc\n\r");
    EXPECT_EQ(ResolveStoryLineEnds("ab\r\nc\0d\r\n"s), "ab c");
    EXPECT_EQ(ResolveStoryLineEnds(""), "");
}

TEST(StoryText, ExportText) {
    EXPECT_EQ(MakeExportText("Title\\n\\nOne paragraph."), "Title\r\n\r\nOne paragraph.\r\n");
    EXPECT_EQ(MakeExportText("Title\\n"), "Title\r\n");
    EXPECT_EQ(MakeExportText("ab"), "ab");
    EXPECT_EQ(MakeExportText("a"), "a");
    EXPECT_EQ(MakeExportText("abc\n"), "abc\n");
    EXPECT_EQ(MakeExportText("a\\\\nb"), "a\\\r\nb\r\n");
}

TEST(StoryText, TheTitleIsTheFirstParagraphTheBookShows) {
    EXPECT_EQ(StoryTitle("Goldilox and the Bears\\n\\nOnce upon a time."),
              "Goldilox and the Bears");
    EXPECT_EQ(StoryTitle(" \\n\\n  A Title  \\nOnce."), "A Title")
        << "a saved story an editor opened with blank lines";
    EXPECT_EQ(StoryTitle("Only a title"), "Only a title");
    EXPECT_EQ(StoryTitle("\\n  \\n"), "");
}

TEST(StoryText, SavedStoryFileIsUtf8WithCrLf) {
    EXPECT_EQ(MakeSavedStoryFile("Zo\xEB and the Bears\\n\\nOnce."),
              "Zo\xC3\xAB and the Bears\r\n\r\nOnce.\r\n");
    EXPECT_EQ(MakeSavedStoryFile("\xFF\x80"), "\xC3\xBF\xC2\x80") << "two characters, no line end";
    EXPECT_EQ(MakeSavedStoryFile(""), "");
}

TEST(StoryText, SavedStoryReadsBackWhateverTheEditorDid) {
    EXPECT_EQ(ReadSavedStoryText("Title\r\n\r\nText\r\n"), "Title\\n\\nText\\n");
    // A line feed ends a line with or without its CR; a lone CR stays a
    // character; a zero byte ends the text.
    EXPECT_EQ(ReadSavedStoryText("Title\n\nText\n"), "Title\\n\\nText\\n");
    EXPECT_EQ(ReadSavedStoryText("one\ntwo\rthree\r\r\n"), "one\\ntwo\rthree\r\\n");
    EXPECT_EQ(ReadSavedStoryText("ab\r\n\0\r\n"s), "ab\\n");
    EXPECT_EQ(ReadSavedStoryText("ab\n\0\n"s), "ab\\n");

    // UTF-8 as an editor saves it, with or without a byte-order mark; a
    // character outside Latin-1 becomes "?".
    EXPECT_EQ(ReadSavedStoryText("Zo\xC3\xAB\n"), "Zo\xEB\\n");
    EXPECT_EQ(ReadSavedStoryText("\xEF\xBB\xBFZo\xC3\xAB\r\n"), "Zo\xEB\\n");
    EXPECT_EQ(ReadSavedStoryText("5 \xE2\x82\xAC or \xF0\x9F\x90\xBB"), "5 ? or ?");
    // Not UTF-8: Latin-1, as every earlier save was written.
    EXPECT_EQ(ReadSavedStoryText("Zo\xEB\r\n"), "Zo\xEB\\n");
    EXPECT_EQ(ReadSavedStoryText("Zo\xEB and Zo\xC3\xAB"), "Zo\xEB and Zo\xC3\xAB");
    EXPECT_EQ(ReadSavedStoryText("\xC3\xAB\0\xEB"s), "\xEB") << "only the text before the zero";
    // A byte-order mark before Latin-1 text (an editor that marks a file it
    // did not convert) is no part of the title.
    EXPECT_EQ(ReadSavedStoryText("\xEF\xBB\xBFZo\xEB and the Bears\r\n"),
              "Zo\xEB and the Bears\\n");
}

TEST(StoryText, SavedStoryReadsBackToTheSamePages) {
    const std::string story = "Zo\xEB and the Bears\\n\\nOne paragraph of several words that "
                              "fills more than one line.\\n\\nAnother.";
    const std::string file = MakeSavedStoryFile(story);
    // As saved, and as an editor that writes bare line feeds saves it again.
    std::string edited;
    for (const char c : file)
        if (c != '\r')
            edited += c;
    for (const std::string& bytes : {file, edited}) {
        const std::string back = ReadSavedStoryText(bytes);
        EXPECT_EQ(back, story + "\\n");
        plat::FixedCanvas canvas(10, 20);
        TBook a, b;
        a.Paginate(&canvas, TRect{0, 0, 216, 320}, story.c_str());
        b.Paginate(&canvas, TRect{0, 0, 216, 320}, back.c_str());
        ASSERT_EQ(a.PageCount(), b.PageCount());
        for (int p = 1; p <= a.PageCount(); ++p) {
            ASSERT_EQ(a.PageLineCount(p), b.PageLineCount(p));
            for (int l = 1; l <= a.PageLineCount(p); ++l)
                EXPECT_EQ(a.Page(p)->LineText(story.c_str(), l),
                          b.Page(p)->LineText(back.c_str(), l));
        }
    }
}

TEST(PrintFont, FiftyToSixtyWidthsOfNAcrossThePaper) {
    // 12 points on a 216-pixel page, paper 4800 pixels wide: 266 points to
    // start; at 10 pixels an "n" per 12 points the search settles in range.
    EXPECT_EQ(TPrintFont::StartSize(12, 4800, 216), 266);
    EXPECT_EQ(TPrintFont::StartSize(12, 4800, 0), 12);
    plat::FixedCanvas canvas(10, 20);
    const int ps = TPrintFont::Fit(canvas, 4800, 266);
    EXPECT_EQ(canvas.FontSize(), ps);
    const int k = 4800 / canvas.TextWidth("n");
    EXPECT_GE(k, 50);
    EXPECT_LE(k, 60);
    // No width for "n", or a paper too narrow for any size: the search ends.
    plat::FixedCanvas none(0, 20);
    EXPECT_EQ(TPrintFont::Fit(none, 4800, 40), 40);
    EXPECT_EQ(TPrintFont::Fit(canvas, 5, 40), 1);
}

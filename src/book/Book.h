// The book layout: one story text laid out into pages of lines for a canvas
// and a page size, and any of those pages drawn. Page 0 is the cover (double
// frame, tale picture, cover words); pages 1, 2, ... hold the story.
//
// Story text: zero-terminated single-byte characters; the two characters
// backslash and n (the paragraph marker) end a line, two in a row make an
// empty line; words are separated by spaces; the first paragraph is the
// title.
//
// The title stands at the top of page 1, bold at 5/3 of the font's size and
// centred, and never over another line. A title that fits on one line at that
// size takes as many lines of the page as its height needs, rounded up; the
// empty lines right under it lend it theirs (so a generated story's title,
// with its empty line, takes one). A longer one is broken at spaces into
// lines measured at the title's size, one title line height apart, and takes
// as many lines of the page as that height needs, rounded up. Its size
// shrinks only while a word of it is wider than the line, and not below the
// font's size. A title that would need more lines than page 1 holds is drawn
// at the text's own size: the first line of its paragraph, laid out as any
// line is, bold and centred in a line of its own.
// CR LF must already be resolved (ResolveStoryLineEnds, book/StoryText.h).
// A laid-out line stores only its offset and length in the text, so the
// caller keeps the text unchanged while the pages are used and lays it out
// again whenever the text, the font or the page size changes.
//
// Usage (the storybook window):
//   book.MarginX = book.MarginY = 8;
//   book.Paginate(&canvas, TRect{0, 0, w, h}, story.c_str());
//   book.DrawPage(&canvas, w, story.c_str(), pageNumber, h);
// Printing lays out into a list of its own with PaginateInto and draws with
// DrawPageFrom. Every call that lays out or draws uses the margins set last.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/LumList.h"
#include "book/BookLine.h"
#include "book/BookPage.h"
#include "platform/Canvas.h"
#include "platform/Point.h"
#include "platform/Rect.h"

class TRL8ImageData;

class TBook {
public:
    TBook() = default;
    TBook(const TBook&) = delete;
    TBook& operator=(const TBook&) = delete;

    // Fewest widths of "n" a line must hold for a layout to have pages.
    static constexpr int kMinCharsPerLine = 20;
    // Gap in pixels between the cover words before fitting them.
    static constexpr int kCoverGap = 15;
    // The ink the pages are written in (0x00RRGGBB).
    static constexpr uint32_t kInk = 0x000000;
    // The cover's width at which its words stand at their normal size, twice
    // the font's (the storybook's first page); a wider cover sets them larger
    // in proportion, up to kCoverWordsGrowth times that.
    static constexpr int kCoverWidth = 216;
    static constexpr int kCoverWordsGrowth = 3;

    TLumList Pages;        // of TPage; page N is Pages.Items(N)
    std::string CoverText; // cover words, separated by single spaces
    int32_t MarginX = 0;   // left and right margin, device pixels
    int32_t MarginY = 0;   // top and bottom margin, device pixels
    // How much further in than MarginX the story pages' lines stand on each
    // side, device pixels: a wide page keeps comfortable lines, centred. The
    // cover keeps the margins.
    int32_t LineInset = 0;
    TRL8ImageData* Picture = nullptr; // cover picture, not owned; may be nullptr
    TPoint PicturePos;                // where the cover drawing last put the picture
    int PictureScale = 1;             // and how many pixels each of its pixels took across
    TRect PictureRect;                // the part of Picture shown (half-open)

    // The cover's picture scale for a Width x Height cover and a picture of
    // PictureW x PictureH: the largest whole number (at least 1) at which the
    // picture fits the cover's picture area, the lower half of the page
    // inside the frame (8 pixels in from the inner frame at the sides, its
    // foot 12 above the page's bottom margin).
    static int CoverPictureScale(int width, int height, int pictureW, int pictureH, int marginX,
                                 int marginY);

    // Removes and frees all pages.
    void Clear() { Pages.Clear(); }

    // Clears PageList, then fills it with the pages of Text laid out in the
    // canvas's current font for a page of PageRect's width and height (its
    // position does not matter). Does nothing, not even the clearing, when
    // PageList, Canvas or Text is nullptr. A page fitting fewer than 20
    // widths of "n" across or not one line down (or a font whose "n" has no
    // width or whose line has no height) leaves the list empty.
    void PaginateInto(TLumList* pageList, plat::Canvas* canvas, const char* text,
                      const TRect& pageRect) const;
    // PaginateInto on Pages.
    void Paginate(plat::Canvas* canvas, const TRect& pageRect, const char* text) {
        PaginateInto(&Pages, canvas, text, pageRect);
    }

    // Draws page PageNumber of PageList onto Canvas, whose drawing area is
    // Width x Height pixels: 0 draws the cover (PageList and Text may then be
    // nullptr); 1 .. count draw that story page of Text; any other number
    // draws nothing. The background is not painted. The canvas's font size
    // and bold style are as before afterwards. Sets PicturePos and
    // PictureScale when the cover is drawn with a picture; the picture is
    // drawn in whole pixels (CoverPictureScale), the cover's words as large
    // as the cover's width allows (kCoverWidth).
    void DrawPageFrom(const TLumList* pageList, plat::Canvas* canvas, int width, int height,
                      int pageNumber, const char* text);
    // DrawPageFrom on Pages.
    void DrawPage(plat::Canvas* canvas, int width, const char* text, int pageNumber, int height) {
        DrawPageFrom(&Pages, canvas, width, height, pageNumber, text);
    }

    // DrawPageFrom for story page PageNumber, only the lines that reach into
    // the rows [Top, Bottom): a part of the page drawn again.
    void DrawPageRowsFrom(const TLumList* pageList, plat::Canvas* canvas, int width, int pageNumber,
                          const char* text, int top, int bottom) const;

    // Where characters [Start, End) of line LineNumber of story page
    // PageNumber stand when DrawPageFrom draws that page Width wide: from the
    // left edge of character Start to the right edge of character End - 1,
    // one line high (the title's lines at their own size and place). Start and End are
    // clamped to the line; an empty rectangle when there is no such line or
    // nothing is left between them. The canvas's font is as before afterwards.
    TRect LinePartRectFrom(const TLumList* pageList, plat::Canvas* canvas, int width,
                           int pageNumber, int lineNumber, int start, int end,
                           const char* text) const;

    // Counting and finding by number walk the list: O(n) each. A caller that
    // visits every page walks Pages (or PagesOf) once instead.
    int PageCount() const { return Pages.Count(); }
    // Page N (1-based) of Pages, nullptr when there is none.
    const TPage* Page(int n) const { return static_cast<const TPage*>(Pages.Items(n)); }
    // Number of lines of page N; 0 when there is no page N.
    int PageLineCount(int n) const;
    // The pages of PageList in order, for lookups by number that cost nothing.
    static std::vector<const TPage*> PagesOf(const TLumList& pageList);
    // Where each page of PageList starts in the story text, page 1 first:
    // the offset of its first line (0 for a page without lines).
    static std::vector<int32_t> PageStarts(const TLumList& pageList);

    // DrawPageFrom for a story page already at hand (a page of a list laid
    // out from Text); only the lines that reach into rows [Top, Bottom).
    void DrawStoryPage(const TPage& page, plat::Canvas& canvas, int width, const char* text,
                       int top = INT32_MIN, int bottom = INT32_MAX) const;

private:
    void DrawCover(plat::Canvas& canvas, int width, int height);
    // Makes Canvas bold at Points, or smaller until Line starts at the
    // margin or later when centred on a page Width wide, and returns its left
    // edge.
    int FitTitle(plat::Canvas& canvas, int width, const std::string& line, int points) const;
    // Top of the line at 0-based Index of Page, given the normal line height
    // and the title's.
    int LineTop(const TPage& page, int index, int lineHeight, int titleHeight) const;
    // Where the story pages' lines start.
    int TextLeft() const { return MarginX + LineInset; }
    // Line height of Page's title at its size (0 when it has none); the
    // canvas's font is as before afterwards.
    static int TitleHeight(const TPage& page, plat::Canvas& canvas);
};

// The picture book of a story, without the device it is drawn on: the page
// size, the cover's geometry, which page of the book holds what, and the
// drawing of every page but the cover's picture on a canvas.
//
// The book's pages, 1-based: page 1 is the cover (the story's title over the
// tale's picture, inside a double frame), pages 2 to n + 1 hold the story's
// n pages as the book lays them out for the page size (the title on story
// page 1 as the storybook draws it, the page's number at its foot), and the
// last page says "The End". A booklet may pad the book with blank pages.
//
// Co-ordinates are device pixels of one page, (0, 0) at its top-left corner.
// The story text is kept unchanged by the caller while the plan is used.
#pragma once
#include <string>
#include <vector>

#include "base/LumList.h"
#include "book/Book.h"
#include "platform/Canvas.h"
#include "platform/Rect.h"
#include "shelf/DatedName.h"

class TPictureBookPlan {
public:
    // A5 portrait (148 x 210 mm), or half a Letter sheet (5.5 x 8.5 in)
    // where the printer's locale uses Letter paper.
    enum class Paper { A5, HalfLetter };
    static Paper PaperFor(bool localeUsesLetter) {
        return localeUsesLetter ? Paper::HalfLetter : Paper::A5;
    }
    struct Size {
        int width = 0, height = 0;
        friend bool operator==(const Size&, const Size&) = default;
    };
    // A page of Paper in device pixels at Dpi, rounded to the nearest.
    static Size PagePixels(Paper paper, int dpi);

    // Which of the tale's three pictures (0, 1, 2 from the top; each
    // TTaleTable::kPictureSide square) shows a story told with Percent
    // twist: the nearest of none, half and full.
    static int PictureLevel(int percent);
    static constexpr const char* kTheEnd = "The End";

    // The moment a picture book is made, in local time.
    using Moment = TDatedName::Moment;
    // The picture book's file name: the tale's short name and the moment,
    // "Goldilox 2026-12-08 17.05.pdf"; Copy 2 and up are told apart by
    // " (2)" and so on before the extension (TDatedName). The talking book
    // takes the same name with the extension ".epub".
    static std::string FileName(const std::string& tale, const Moment& when, int copy = 1,
                                const char* extension = ".pdf") {
        return TDatedName::Make(tale, when, extension, copy);
    }

    // Lays Story (a story text, its title first) out on Canvas for pages of
    // Width x Height pixels at Dpi, in the canvas's font at Points scaled
    // for the page (TextPoints). Canvas measures as the device draws.
    TPictureBookPlan(plat::Canvas& canvas, const char* story, int width, int height, int dpi,
                     int points);
    TPictureBookPlan(const TPictureBookPlan&) = delete;
    TPictureBookPlan& operator=(const TPictureBookPlan&) = delete;

    // The story's size on the page: the book's size in points, half again.
    static int TextPoints(int points) { return points < 1 ? 1 : points * 3 / 2; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    int TextSize() const { return textPoints_; }
    int32_t MarginX() const { return book_.MarginX; }
    int32_t MarginY() const { return book_.MarginY; }
    int StoryPages() const { return static_cast<int>(index_.size()); }
    // Cover, story pages and "The End".
    int PageCount() const { return StoryPages() + 2; }
    // The story's title (StoryTitle).
    const std::string& Title() const { return title_; }

    struct Page {
        enum class Kind { Cover, Story, TheEnd, Blank } kind = Kind::Blank;
        int storyPage = 0; // Story: the story's page, also the number at its foot
        friend bool operator==(const Page&, const Page&) = default;
    };
    // What page N of the book holds; Blank beyond "The End" (and below 1).
    Page At(int n) const;

    struct Line {
        std::string text;
        int x = 0, y = 0; // top-left corner
    };
    struct Cover {
        TRect outer, inner; // the double frame's two outlines, half-open
        int rule = 1;       // the frame lines' thickness
        int titlePoints = 1;
        // Bold, centred, one line height apart, all above the picture: a
        // title too long for the room at the story's size shows the lines
        // that fit, the last ending in "...".
        std::vector<Line> title;
        TRect picture;        // where the picture goes
        int pictureScale = 1; // device pixels per picture pixel
    };
    const Cover& CoverGeometry() const { return cover_; }

    // Draws page N of the book on Canvas (its font's face as when laid out):
    // the cover's frame and title (its picture is the caller's), a story
    // page with its number, "The End", or nothing. The canvas's size and
    // style are as before afterwards.
    void DrawPage(plat::Canvas& canvas, int n);

private:
    void PlanCover(plat::Canvas& canvas);
    // The title's lines at Canvas's current font, broken at spaces within
    // Width; a word wider than Width stands alone. Stops after MaxLines.
    std::vector<std::string> BreakTitle(plat::Canvas& canvas, int width,
                                        std::size_t maxLines) const;

    const char* story_;
    int width_, height_, dpi_;
    int textPoints_;
    std::string title_;
    TBook book_;
    TLumList pages_;
    std::vector<const TPage*> index_; // pages_ by number - 1: a book walks it once
    Cover cover_;
};

// Where the storybook's controls stand for a client area: the resize step
// that moves the anchors by what the window grew since the last layout, the
// page areas and the controls centred on the right page. Rectangles are
// left, top, width, height in client pixels.
#pragma once

struct TBookBox {
    int left = 0, top = 0, width = 0, height = 0;
    int Bottom() const { return top + height; }
    int Right() const { return left + width; }
    friend bool operator==(const TBookBox&, const TBookBox&) = default;
};

class TBookGeometry {
public:
    static constexpr int kPageTop = 49;
    static constexpr int kMargin = 8;

    // The hidden page-turn buttons that anchor the layout.
    TBookBox prevPage{0, 0, 24, 24};
    TBookBox nextPage{0, 0, 24, 24};

    // The anchors of a W x H client area at creation.
    void Create(int w, int h);

    struct Step {
        int dx = 0, dy = 0; // growth since the last layout
        TBookBox leftPage, rightPage;
    };
    // Moves the anchors to a W x H client area; returns the growth and the
    // page areas for controls at Scale.
    Step Resize(int w, int h, int scale = 1);

    // Left of a control of width Width centred on the right page.
    static int CentredLeft(const TBookBox& rightPage, int width) {
        return rightPage.left + 10 + (rightPage.width - width) / 2;
    }
    // Where the turn-page hint (Width x Height) stands: centred on the right
    // page, at its foot but never lower than the top of the forward arrow
    // (ArrowTop), so that its text does not run over the arrow it points to.
    static TBookBox TurnPageHint(const TBookBox& rightPage, int arrowTop, int width, int height) {
        const int foot = rightPage.Bottom() < arrowTop ? rightPage.Bottom() : arrowTop;
        return {rightPage.left + (rightPage.width - width) / 2, foot - height, width, height};
    }
    // The cover spread's controls, stacked upward from 10 pixels above the
    // foot of the right page with 8 pixels between them: "Read saved story"
    // lowest when it stands (24 pixels below "Create story"), then "Create
    // story", the hero's panel when it stands, the heroine's when it stands,
    // and the twist panel on top. Heights in, tops out; a control that does
    // not stand keeps top 0 and takes no room.
    struct CoverControls {
        int readSaved = 0, newStory = 0, hero = 0, heroine = 0, twist = 0;
    };
    // Gap and SavedGap replace the 8 and the 24 pixels.
    static CoverControls StackCover(const TBookBox& rightPage, const CoverControls& heights,
                                    bool readSaved, bool hero, bool heroine, int gap = 8,
                                    int savedGap = 24) {
        CoverControls top;
        int y = rightPage.Bottom() - 10;
        if (readSaved) {
            top.readSaved = y - heights.readSaved;
            y -= heights.newStory + savedGap;
        }
        top.newStory = y - heights.newStory;
        y -= heights.newStory + gap;
        if (hero) {
            top.hero = y - heights.hero;
            y -= heights.hero + gap;
        }
        if (heroine) {
            top.heroine = y - heights.heroine;
            y -= heights.heroine + gap;
        }
        top.twist = y - heights.twist;
        return top;
    }
    // The cover stack with the letters panel (LettersHeight high) on top, 8
    // pixels above the twist panel. When that would rise more than 10
    // pixels above the page (onto the book's edge), the stack closes up: 4
    // pixels between the controls and 8 below "Create story". Returns the
    // letters panel's top; Top gets the others'.
    // Scale multiplies the gaps, for controls shown Scale times their size.
    static int StackCoverWithLetters(const TBookBox& rightPage, const CoverControls& heights,
                                     int lettersHeight, bool readSaved, bool hero, bool heroine,
                                     CoverControls& top, int scale = 1) {
        top = StackCover(rightPage, heights, readSaved, hero, heroine, 8 * scale, 24 * scale);
        if (top.twist - 8 * scale - lettersHeight >= rightPage.top - 10)
            return top.twist - 8 * scale - lettersHeight;
        top = StackCover(rightPage, heights, readSaved, hero, heroine, 4 * scale, 8 * scale);
        return top.twist - 4 * scale - lettersHeight;
    }
    // The smallest client area, in the proportions of the first one (Width x
    // Height), whose pages' lines are at least Line pixels wide between the
    // margins.
    static TBookBox ClientForLine(int line, int width, int height);
    // Where a window whose client area is Client stands once grown to hold
    // a client of Width x Height, within Area (the screen's free area, in
    // the same co-ordinates, less the window's frame): never smaller than
    // it was, no larger than Area, centred on where it stood and then moved
    // wholly inside Area. A window already as large stays where it is.
    static TBookBox GrowWithin(const TBookBox& client, int width, int height, const TBookBox& area);

    // The row of "Read saved story" (ReadWidth) and "My stories" (MineWidth)
    // at the foot of the cover stack: side by side, 4 pixels apart, centred
    // on the right page as one control, or the one that stands alone.
    struct SavedRow {
        int readSaved = 0, myStories = 0; // lefts
    };
    static SavedRow PlaceSavedRow(const TBookBox& rightPage, int readWidth, int mineWidth,
                                  bool readSaved, bool myStories) {
        if (!readSaved)
            return {0, CentredLeft(rightPage, mineWidth)};
        if (!myStories)
            return {CentredLeft(rightPage, readWidth), 0};
        const int left = CentredLeft(rightPage, readWidth + 4 + mineWidth);
        return {left, left + readWidth + 4};
    }
    // The page areas of a W x H client area whose controls show at the
    // whole-number Scale: each step of the scale takes 32 pixels from the
    // pages' outer edges (the close ribbon grows over the right one) and 25
    // from their feet (the controls there grow upward).
    static constexpr TBookBox LeftPage(int w, int h, int scale = 1) {
        const int s = scale < 1 ? 0 : scale - 1;
        return {60 + 32 * s, kPageTop, w / 2 - 80 - 32 * s, h - 98 - 25 * s};
    }
    static constexpr TBookBox RightPage(int w, int h, int scale = 1) {
        const int s = scale < 1 ? 0 : scale - 1;
        return {w - (w / 2 - 80) - 50, kPageTop, w / 2 - 80 - 32 * s, h - 98 - 25 * s};
    }
};

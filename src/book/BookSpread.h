// What the storybook shows for a spread: which way the reader can turn,
// which controls stand, whether the turn-page hint stands, and which cursor
// the window's own surface takes. CurrentPage is the left page of the spread:
// 0 for the cover spread, otherwise odd.
#pragma once

class TBook;

class TBookSpread {
public:
    struct Input {
        int currentPage = 0;
        int pageCount = 0;
        bool hasHero = false;
        bool hasHeroine = false;
        bool savedStoryExists = false;
        bool shelfHasAny = false;  // the stories folder holds a story or a book
        bool canReadAloud = false; // a voice, a device and the button's picture
    };
    struct Controls {
        bool canTurnBack = false;
        bool canTurnForward = false;
        bool readSaved = false;
        bool myStories = false;
        bool hero = false;
        bool heroine = false;
        bool twistAndNewStory = false;
        bool commands = false;
        bool readToMe = false; // story spreads only
        bool twists = false;   // "Show the twists": story spreads
    };
    static Controls Compute(const Input& in);

    // Whether the hint to turn the page for the commands stands at the foot
    // of right page R: R is even, the story's last page, and at least two
    // lines shorter than the page before it.
    static bool TurnPageHint(const TBook& book, int r);

    // The odd page whose spread holds the commands of a book of Count pages.
    static int CommandsSpread(int count) { return count | 1; }

    enum class Side { None, Left, Right };
    // The page whose cursor the window's own surface takes at (X, Y) of a
    // W x H client area.
    static Side SurfaceSide(int x, int y, int w, int h);
};

// The letters the story is shown and printed in: the classic letters (Times
// New Roman) or the easy-read letters (Andika, whose "a" and "g" are the
// ones children learn to write), at the normal size or one and a half times
// it. The cover page keeps its own letters whatever is chosen.
//
// Kept in the settings file, section "Book": "Letters" ("0" classic, "1"
// easy-read) and "BigLetters" ("1" bigger, "0" normal). Any other value
// reads as the default, classic letters at the normal size.
#pragma once
#include <string_view>

#include "book/PrintFont.h"
#include "platform/Canvas.h"

class TBookLetters {
public:
    enum class Face { Classic, EasyRead };

    static constexpr const char* kClassicFamily = "Times New Roman";
    static constexpr const char* kEasyReadFamily = "Andika";
    static constexpr int kNormalPoints = 12; // 16 pixels at 96 dpi
    static constexpr int kBigPoints = 18;    // one and a half times
    static constexpr const char* kSection = "Book";
    static constexpr const char* kLettersKey = "Letters";
    static constexpr const char* kBigLettersKey = "BigLetters";

    Face face = Face::Classic;
    bool big = false;

    // The choice kept as Letters and BigLetters.
    static TBookLetters FromSettings(std::string_view letters, std::string_view bigLetters);
    const char* LettersValue() const { return face == Face::EasyRead ? "1" : "0"; }
    const char* BigLettersValue() const { return big ? "1" : "0"; }

    // The face's family name and the size chosen, in points.
    const char* Family() const { return face == Face::EasyRead ? kEasyReadFamily : kClassicFamily; }
    int Points() const { return big ? kBigPoints : kNormalPoints; }

    // The size a page whose lines are Avail pixels wide shows, with Canvas
    // in this face: the size chosen, one point smaller at a time while a
    // line holds fewer than the layout's fewest widths of "n"
    // (TBook::kMinCharsPerLine), never below the normal size. Canvas is left
    // at that size.
    int FitPoints(plat::Canvas& canvas, int avail) const;
    // How wide a page's lines must be for the size chosen to stand whole:
    // the layout's fewest widths of "n" at that size, measured with Canvas
    // in this face (left at that size).
    int LineNeeded(plat::Canvas& canvas) const;

    // The screen's lines, in characters of a story's text: Fewest to Most,
    // the text narrowed to hold Aim where the page is wider. 45 to 70 for
    // the normal size, 35 to 55 for the bigger letters.
    struct LineBand {
        int fewest = 45, most = 70, aim = 64;
    };
    LineBand ScreenBand() const { return big ? LineBand{35, 55, 50} : LineBand{}; }
    // A page's letters and lines for a page whose lines may be Avail pixels
    // wide, on a window showing its controls at the whole-number Scale:
    // the size chosen grows with the scale, as far as a line still holds
    // the band's fewest characters (never below the size chosen; a page too
    // narrow for that at the size chosen keeps FitPoints), and a line wider
    // than the band's aim is narrowed to it, centred (Inset on each side).
    // Canvas is left at the size.
    struct ScreenFit {
        int points = kNormalPoints;
        int inset = 0; // pixels each side
    };
    ScreenFit FitScreen(plat::Canvas& canvas, int avail, int scale) const;
    // The width of an average character of a story at Canvas's size, in
    // 1/16 pixels.
    static int CharWidth16(plat::Canvas& canvas);

    // How many widths of "n" the printed lines span: 50 to 60 for the
    // normal size, two thirds of that for the bigger letters, so that the
    // paper shows them one and a half times as large.
    TPrintFont::Band PrintBand() const;

    friend bool operator==(const TBookLetters&, const TBookLetters&) = default;
};

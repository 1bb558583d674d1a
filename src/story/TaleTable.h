// The ten tales by number (1 to 10): each tale's title, by which the player
// knows it (the scene, the shelf and screen readers say it), and its short
// name, which names its picture in the game library and its saved-story file.
#pragma once
#include <string>

class TTaleTable {
public:
    static constexpr int kCount = 10;
    // A tale's picture in the game library: three squares this many pixels
    // on a side, one above the other, for a story told with no twist, half
    // and full (top to bottom).
    static constexpr int kPictureSide = 150;

    // Whether N numbers a tale (1 to kCount).
    static bool IsTale(int n) { return n >= 1 && n <= kCount; }
    // The short name of tale N ("Cinders" ... "Tortoise"); any other number
    // raises std::runtime_error "Invalid book number".
    static std::string ShortName(int n);
    // The title of tale N as its cover gives it ("Cinderella" ... "The
    // Tortoise and the Hare"); any other number raises as ShortName does.
    static std::string Title(int n);
    // The saved-story file name of tale N: its short name and ".txt". Raises
    // as ShortName does.
    static std::string SavedStoryFileName(int n) { return ShortName(n) + ".txt"; }
    // The file that tale N's story is printed to when there is no printer:
    // its short name and ".pdf". Raises as ShortName does.
    static std::string PrintedStoryFileName(int n) { return ShortName(n) + ".pdf"; }
};

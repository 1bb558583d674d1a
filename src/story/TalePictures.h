// What each tale's pictures show, in words: the alternative text of a tale
// picture in the keepsakes. The table is assets/art/tales/pictures.txt, kept
// beside the drawings and built into the program.
#pragma once
#include <string>

class TTalePictures {
public:
    // What picture Level (0: no twist, 1: half twist, 2: full twist) of tale
    // Tale shows, Latin-1; empty when the table says nothing of it (or Tale
    // or Level is out of range).
    static std::string Text(int tale, int level);
};

// The picture book of fbwtool book and the talking book's cover: drawn with Qt when fbwtool is
// built with it (qt/BookPdf.cpp), otherwise unavailable (noqt/BookPdf.cpp).
#pragma once
#include <string>

struct BookPdfInput {
    std::string story;       // the story text (markers, no CR LF), Latin-1
    std::string face;        // the letters' face
    int points = 12;         // and size, as the book shows them
    std::string libraryPath; // the image library with the tale's picture
    std::string pictureName; // the tale's short name
    int pictureLevel = 2;    // which of its three pictures, 0 to 2
    bool booklet = false;    // the folded booklet's sheets instead
};

// The PDF's bytes in Pdf; false with Error set on any failure.
bool MakeBookPdf(const BookPdfInput& input, std::string& pdf, std::string& error);
// The tale's picture for the talking book's cover as PNG bytes, each pixel
// Scale x Scale; false with Error set on any failure (without Qt: empty).
bool MakeCoverPng(const BookPdfInput& input, int scale, std::string& png, std::string& error);

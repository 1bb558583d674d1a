// fbwtool without Qt: no picture book, and a talking book without a cover.
#include "BookPdf.h"

bool MakeBookPdf(const BookPdfInput&, std::string&, std::string& error) {
    error = "book is unavailable: this fbwtool was built without Qt";
    return false;
}

bool MakeCoverPng(const BookPdfInput&, int, std::string& png, std::string&) {
    png.clear();
    return true;
}

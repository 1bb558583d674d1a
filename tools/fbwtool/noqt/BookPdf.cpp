// fbwtool without Qt: no picture book.
#include "BookPdf.h"

bool MakeBookPdf(const BookPdfInput&, std::string&, std::string& error) {
    error = "book is unavailable: this fbwtool was built without Qt";
    return false;
}

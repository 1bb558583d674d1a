// A data file that reaches up to the book: configuring must refuse it.
#include "book/Book.h"

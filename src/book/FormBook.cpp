// TFormBook: the storybook window.
#include "book/FormBook.h"

TFormBook::TFormBook(TStoryGenerator& generator, TRL8Library& library, QWidget* parent)
    : QDialog(parent), generator_(generator), library_(library) {
    setObjectName("FormBook");
    setWindowTitle("Storybook");
}

void TFormBook::SetStory(const std::string& text) {
    story_ = text;
}

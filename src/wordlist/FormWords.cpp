// TFormWords: the word-list editor window.
#include "wordlist/FormWords.h"

TFormWords::TFormWords(TVocab& vocab, QWidget* parent) : QDialog(parent), vocab_(vocab) {
    setObjectName("FormWords");
    setWindowTitle("Whirled Lists");
}

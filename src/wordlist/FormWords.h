// TFormWords: the word-list editor window, shown modally from the scene.
#pragma once
#include <QDialog>

class TVocab;

class TFormWords : public QDialog {
    Q_OBJECT
public:
    // Vocab belongs to the story generator and outlives this window.
    explicit TFormWords(TVocab& vocab, QWidget* parent = nullptr);

private:
    TVocab& vocab_;
};

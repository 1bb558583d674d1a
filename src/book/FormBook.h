// TFormBook: the storybook window, shown modally by the main window's OpenTale.
#pragma once
#include <QDialog>
#include <string>

class TRL8Library;
class TStoryGenerator;

class TFormBook : public QDialog {
    Q_OBJECT
public:
    // Generator and Library belong to the main window and outlive this window.
    TFormBook(TStoryGenerator& generator, TRL8Library& library, QWidget* parent = nullptr);

    // Text: the story's lines joined by CR LF (Latin-1).
    void SetStory(const std::string& text);
    int TaleNumber = 0; // 1..10, set before the window is shown

private:
    TStoryGenerator& generator_;
    TRL8Library& library_;
    std::string story_;
};

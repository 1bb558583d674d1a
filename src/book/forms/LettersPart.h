// TLettersPart: the letters of the story's pages. It owns the cover's panel
// of three toggles (classic, easy-read, bigger; stacked above the twist
// panel), the choice (TBookLetters) and its setting ("Book"/"Letters" and
// "BigLetters", written when it changes), and the size the pages are laid
// out in: the chosen one, smaller on a page too narrow for it.
#pragma once
#include <QButtonGroup>
#include <QFrame>
#include <QObject>
#include <QToolButton>

#include "book/BookLetters.h"

class TBookHost;
namespace plat {
class Canvas;
}

class TLettersPart : public QObject {
public:
    // Host and Window outlive the part; the panel is Window's child. Reads
    // the choice kept in the settings.
    TLettersPart(TBookHost& host, QWidget& window);

    QFrame pnlLetters;
    QToolButton sbClassicLetters, sbEasyLetters, sbBigLetters;
    QButtonGroup grpLetters;

    // A letters button was pressed: the choice of the three buttons.
    void sbLettersClick();
    // The story is laid out again in Letters, and the choice kept.
    void SetLetters(const TBookLetters& letters);
    const TBookLetters& Letters() const { return letters_; }
    // Fits the size to a page whose lines are Avail pixels wide (Canvas in
    // the chosen face; left at the size fitted).
    void Fit(plat::Canvas& canvas, int avail) { points_ = letters_.FitPoints(canvas, avail); }
    // The size the story's pages are laid out and drawn in.
    int PagePoints() const { return points_; }

private:
    void ShowChoice();

    TBookHost& host_;
    TBookLetters letters_;
    int points_ = TBookLetters::kNormalPoints;
};

// TLettersPart: the letters of the story's pages. It owns the cover's panel
// of three toggles (classic, easy-read, bigger; stacked above the twist
// panel), the choice (TBookLetters) and its setting ("Book"/"Letters" and
// "BigLetters", written when it changes), and the size the pages are laid
// out in: the chosen one, smaller on a page too narrow for it. When the
// bigger letters need wider pages than the window has, it grows the window.
#pragma once
#include <QButtonGroup>
#include <QFrame>
#include <QObject>
#include <QToolButton>
#include <functional>
#include <vector>

#include "book/BookLetters.h"
#include "book/BookSpread.h"

class TBookHost;
namespace plat {
class Canvas;
}

class TLettersPart : public QObject {
public:
    // Host and Window outlive the part; the panel is Window's child. Reads
    // the choice kept in the host's settings.
    TLettersPart(TBookHost& host, QWidget& window);

    // The panel, for the cover's stack that places it.
    QWidget& Panel() { return pnlLetters; }
    // Shows the panel where the cover's twist stands.
    void Show(const TBookSpread::Controls& controls);
    std::vector<QWidget*> TabStops();
    // The screen's free area the window may grow into, in the co-ordinates
    // of its geometry: the available area of the window's screen unless
    // replaced (tests). An empty area lets it grow nowhere.
    std::function<QRect()> ScreenArea;
    // When the bigger letters need wider pages than the window has, grows
    // the window to the size where they stand whole, as far as ScreenArea
    // allows (the letters then step down to what fits). A maximized or full
    // screen window keeps its size, and nothing shrinks the window again.
    void GrowWindow();

    // A letters button was pressed: the choice of the three buttons.
    void sbLettersClick();
    // The story is laid out again in Letters, and the choice kept.
    void SetLetters(const TBookLetters& letters);
    const TBookLetters& Letters() const { return letters_; }
    // Fits the size to a page whose lines may be Avail pixels wide, in a
    // window at the whole-number Scale (Canvas in the chosen face; left at
    // the size fitted); returns the size and how far the lines stand in.
    TBookLetters::ScreenFit Fit(plat::Canvas& canvas, int avail, int scale) {
        const TBookLetters::ScreenFit fit = letters_.FitScreen(canvas, avail, scale);
        points_ = fit.points;
        return fit;
    }
    // The size the story's pages are laid out and drawn in.
    int PagePoints() const { return points_; }

private:
    void ShowChoice();

    QFrame pnlLetters;
    QToolButton sbClassicLetters, sbEasyLetters, sbBigLetters;
    QButtonGroup grpLetters;
    TBookHost& host_;
    QWidget& window_;
    TBookLetters letters_;
    int points_ = TBookLetters::kNormalPoints;
};

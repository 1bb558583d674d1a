// What the reader (TReadAloud) asks of the window that shows the book. The
// reader calls these on the user-interface thread, from its own calls and
// the wave manager's done messages.
#pragma once
#include <vector>

#include "reading/StorySentences.h"

// The reader as the button shows it.
enum class TReadState { Idle, Speaking, Paused };

class TReadAloudOwner {
public:
    virtual ~TReadAloudOwner() = default;
    // Show the spread whose left page is LeftPage (odd, 1 or more; one past
    // the last story page for the commands spread) and carry on reading: the
    // window's ShowPages. A Stop the window makes while doing so is ignored.
    virtual void ReadAloudShowSpread(int leftPage) = 0;
    // The highlight of story page Page changed: repaint it if it is shown.
    virtual void ReadAloudRepaintPage(int page) = 0;
    // The lit word changed within the sentence: repaint where Parts stand,
    // on the pages shown (the word that went dark, then the one lit).
    virtual void ReadAloudRepaintParts(const std::vector<TLinePart>& parts) = 0;
    // Reading began, paused, went on or ended: show the button's picture for
    // State.
    virtual void ReadAloudStateChanged(TReadState state) = 0;
};

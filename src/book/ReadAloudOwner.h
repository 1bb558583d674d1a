// What the reader (TReadAloud) asks of the window that shows the book. The
// reader calls these on the user-interface thread, from Start, Stop, Relayout
// and the wave manager's done messages.
#pragma once

class TReadAloudOwner {
public:
    virtual ~TReadAloudOwner() = default;
    // Show the spread whose left page is LeftPage (odd, 1 or more; one past
    // the last story page for the commands spread) and carry on reading: the
    // window's ShowPages. A Stop the window makes while doing so is ignored.
    virtual void ReadAloudShowSpread(int leftPage) = 0;
    // The highlight of story page Page changed: repaint it if it is shown.
    virtual void ReadAloudRepaintPage(int page) = 0;
    // Reading began (true) or ended (false): show the button's speaking or
    // idle picture.
    virtual void ReadAloudStateChanged(bool reading) = 0;
};

// The review contact sheet: every picture of the game in the state a player
// sees it, on one true-colour PNG (never shipped, never committed).
#pragma once
#include <QImage>
#include <string>

class TContactSheet {
public:
    // artDir holds yarns/NAME.png and fbwstart/NAME.png as the build writes
    // them; cursorDir the cursor PNGs. Missing pictures show as a labelled gap.
    static QImage Render(const std::string& artDir, const std::string& cursorDir);
    // The book assembled from the pieces of "book" for a window client area
    // of width x height, the way the storybook window paints it.
    static QImage AssembleBook(const QImage& book, int width, int height);
};

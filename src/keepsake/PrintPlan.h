// Printing a story without the printer: the printed font size, the margins,
// the story laid out for the paper (one list of its own; the book's screen
// pages stay as they are) and the order of the sheets for a page range and a
// number of copies. The window hands it a canvas of the printer, or one that
// measures at the printer's resolution, and draws the sheets it lists.
#pragma once
#include <cstdint>
#include <vector>

#include "base/LumList.h"
#include "book/Book.h"
#include "book/PrintFont.h"
#include "platform/Canvas.h"

class TPrintPlan {
public:
    // Lays Text (a story text, kept unchanged by the caller while the plan is
    // used) out on Canvas for a sheet of PaperWidth x PaperHeight device
    // pixels: the font is fitted from the screen's ScreenPoints over a screen
    // page ScreenPageWidth pixels wide to Band (TPrintFont), the margins are
    // an eighth of the paper. The book's own margins are as before
    // afterwards.
    TPrintPlan(TBook& book, plat::Canvas& canvas, const char* text, int paperWidth, int paperHeight,
               int screenPoints, int screenPageWidth,
               const TPrintFont::Band& band = TPrintFont::Band{});
    TPrintPlan(const TPrintPlan&) = delete;
    TPrintPlan& operator=(const TPrintPlan&) = delete;

    int FontSize() const { return fontSize_; }
    int PageCount() const { return static_cast<int>(index_.size()); }
    int32_t MarginX() const { return marginX_; }
    int32_t MarginY() const { return marginY_; }

    // The pages of Copies copies of pages From..To, in the order they are
    // printed: one whole range after the other. A From or To below 1 asks
    // for every page; To is cut to the page count; fewer than one copy is
    // one copy. Empty when the range holds no page.
    std::vector<int> Sheets(int copies, int from, int to) const;

    // Draws page Page of the plan on Canvas at the paper's size, in the
    // plan's font size (not bold) and margins. The book's margins are as
    // before afterwards, also when drawing throws.
    void DrawPage(TBook& book, plat::Canvas& canvas, int page) const;

private:
    const char* text_;
    int paperWidth_, paperHeight_;
    int32_t marginX_, marginY_;
    int fontSize_ = 1;
    TLumList pages_;
    std::vector<const TPage*> index_; // pages_ by number - 1: printing walks it once
};

// The print plan of a story.
#include "keepsake/PrintPlan.h"

#include <algorithm>

#include "book/BookMarginScope.h"
#include "book/PrintFont.h"

TPrintPlan::TPrintPlan(TBook& book, plat::Canvas& canvas, const char* text, int paperWidth,
                       int paperHeight, int screenPoints, int screenPageWidth,
                       const TPrintFont::Band& band)
    : text_(text), paperWidth_(paperWidth), paperHeight_(paperHeight), marginX_(paperWidth / 8),
      marginY_(paperHeight / 8) {
    fontSize_ = TPrintFont::Fit(
        canvas, paperWidth, TPrintFont::StartSize(screenPoints, paperWidth, screenPageWidth), band);
    const TBookMarginScope margins(book, marginX_, marginY_);
    book.PaginateInto(&pages_, &canvas, text, TRect{0, 0, paperWidth, paperHeight});
    index_ = TBook::PagesOf(pages_);
}

std::vector<int> TPrintPlan::Sheets(int copies, int from, int to) const {
    const int count = PageCount();
    if (from < 1 || to < 1) {
        from = 1;
        to = count;
    }
    to = std::min(to, count);
    std::vector<int> sheets;
    if (from > to)
        return sheets;
    copies = std::max(copies, 1);
    sheets.reserve(static_cast<std::size_t>(copies) * static_cast<std::size_t>(to - from + 1));
    for (int i = 0; i < copies; ++i)
        for (int page = from; page <= to; ++page)
            sheets.push_back(page);
    return sheets;
}

void TPrintPlan::DrawPage(TBook& book, plat::Canvas& canvas, int page) const {
    if (page < 1 || page > PageCount())
        return;
    const TBookMarginScope margins(book, marginX_, marginY_);
    canvas.SetBold(false);
    canvas.SetFontSize(fontSize_);
    book.DrawStoryPage(*index_[static_cast<std::size_t>(page - 1)], canvas, paperWidth_, text_);
}

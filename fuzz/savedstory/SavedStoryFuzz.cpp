// Fuzz target: a saved story file read back and laid out into pages with the
// fixed-metric canvas. The first eight bytes choose the page size, margins,
// character width and line height (some characters get widths of their
// own); the rest is the file. The layout ends, every line lies inside the
// text, lines follow in text order without overlap, never cross a marker,
// fit the page's width unless they hold one character, and no page holds
// more lines than fit; every page then draws. Saved again and read back, the
// text is the same (with a line end added when it lacked one).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "book/Book.h"
#include "platform/FixedCanvas.h"
#include "story/StoryText.h"

namespace {
void Check(bool ok) {
    if (!ok)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8)
        return 0;
    const int width = 1 + data[0] * 4 + (data[1] & 3) * 1024; // 1 .. 4093
    const int height = 1 + data[2] * 4;
    const int mx = data[3] % 64;
    const int my = data[4] % 64;
    const int charWidth = data[5] % 16;        // 0 guards a font without widths
    const int lineHeight = (data[6] % 40) - 4; // the layout takes its absolute value
    plat::FixedCanvas canvas(charWidth, lineHeight);
    // Byte 7 picks a character that gets a width of its own.
    canvas.SetCharWidth(data[7], (data[7] % 5) * 9);

    const std::string text =
        ReadSavedStoryText(std::string_view(reinterpret_cast<const char*>(data) + 8, size - 8));
    const std::string again = ReadSavedStoryText(MakeSavedStoryFile(text));
    Check(again == text || (text.size() > 2 && again == text + "\\n"));

    TBook book;
    book.MarginX = mx;
    book.MarginY = my;
    book.Paginate(&canvas, TRect{0, 0, width, height}, text.c_str());

    const int avail = width - 2 * mx;
    const int lh = lineHeight < 0 ? -lineHeight : lineHeight;
    const int lpp = lh > 0 ? (height - 2 * my) / lh : 0;
    std::size_t next = 0;
    for (int p = 1; p <= book.PageCount(); ++p) {
        const TPage* page = book.Page(p);
        Check(page != nullptr && page->LineCount() >= 1 && page->LineCount() <= lpp);
        for (int l = 1; l <= page->LineCount(); ++l) {
            const TLine* line = page->Line(l);
            Check(line->Offset >= 0 && line->Length >= 0);
            const std::size_t off = static_cast<std::size_t>(line->Offset);
            const std::size_t len = static_cast<std::size_t>(line->Length);
            Check(off >= next && off <= text.size() && len <= text.size() - off);
            const std::string s = line->GetText(text.c_str());
            Check(s.size() == len && s.find("\\n") == std::string::npos);
            Check(s.size() <= 1 || canvas.TextWidth(s) <= avail);
            next = off + len;
        }
    }
    for (int p = 0; p <= book.PageCount() + 1; ++p) {
        canvas.ClearCalls();
        book.DrawPage(&canvas, width, text.c_str(), p, height);
        Check(canvas.FontSize() == 12 && !canvas.Bold());
    }
    return 0;
}

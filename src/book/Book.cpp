// The book layout: breaking a story into lines and pages, and drawing the
// story pages and the cover.
#include "book/Book.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "image/RL8ImageData.h"

namespace {

// The font-size loops (title, cover width and height fit) stop at this size.
constexpr int kMinFontSize = 1;

bool IsMarker(const char* s) {
    return s[0] == '\\' && s[1] == 'n';
}

// The paragraph's end at or after S: the next marker or the terminating zero.
const char* ParagraphEnd(const char* s) {
    for (;;) {
        s += std::strcspn(s, "\\");
        if (!*s || s[1] == 'n')
            return s;
        ++s;
    }
}

// Breaks one line off the start of a paragraph: the guess from Est widths of
// "n", grown word by word while narrower than Avail and shrunk space by space
// while wider; a single word wider than the line gives its longest prefix
// that fits. Never 0 when Size > 0.
//
// The work stays within what can fit. Prefix widths only grow with the
// prefix, so once a prefix of Limit characters is known to be wider than
// Avail, no character at or after Limit changes where the line breaks: the
// breaker then treats the paragraph as ending there, and neither scans nor
// measures beyond it. Scans that reach Probe measure that prefix first,
// doubling Probe while it still fits.
class LineBreaker {
public:
    LineBreaker(plat::Canvas& canvas, const char* s, int32_t size, int32_t est, int avail)
        : canvas_(canvas), s_(s), limit_(size), est_(est), avail_(avail),
          probe_(static_cast<int32_t>(std::min<int64_t>(2 * int64_t{est}, size))) {}

    int32_t Break() {
        int32_t pos = est_ < limit_ ? NextSpace(est_) : limit_;

        while (pos < limit_ && Width(pos) < avail_)
            pos = NextSpace(SkipSpaces(pos));

        while (pos > 0 && Width(pos) > avail_) {
            do
                --pos;
            while (pos > 0 && s_[pos] != ' ');
            while (pos > 0 && s_[pos - 1] == ' ')
                --pos;
            if (pos > 0)
                continue;
            // One word wider than the line: its longest prefix that fits. A
            // first character wider than the whole line still takes the line
            // on its own; otherwise the layout would never advance.
            return std::max<int32_t>(LongestFit(), 1);
        }
        // A guess that stood in a run of spaces at exactly the available
        // width would end the line with spaces: a line broken inside a
        // paragraph ends at its last word.
        if (pos < limit_) {
            int32_t end = pos;
            while (end > 0 && s_[end - 1] == ' ')
                --end;
            if (end > 0)
                pos = end;
        }
        return pos;
    }

private:
    // Width of the first N characters, measured only when not known to be
    // wider than the line already.
    int Width(int32_t n) {
        if (n >= over_)
            return avail_ + 1;
        if (n == lastN_)
            return lastWidth_;
        const int w = canvas_.TextWidth(std::string_view(s_, std::size_t(n)));
        lastN_ = n;
        lastWidth_ = w;
        if (w > avail_)
            over_ = n;
        else
            fit_ = std::max(fit_, n);
        return w;
    }

    // Measures the prefix at Probe: wider than the line, it becomes the
    // limit; otherwise the next probe lies twice as far.
    void Probe() {
        if (Width(probe_) > avail_)
            limit_ = probe_;
        else
            probe_ = probe_ <= limit_ / 2 ? probe_ * 2 : limit_;
    }

    // The first space at or after From, or the limit when there is none.
    int32_t NextSpace(int32_t from) {
        for (;;) {
            const int32_t end = std::min(limit_, probe_);
            if (from < end) {
                const void* q = std::memchr(s_ + from, ' ', std::size_t(end - from));
                if (q)
                    return static_cast<int32_t>(static_cast<const char*>(q) - s_);
                from = end;
            }
            if (from >= limit_)
                return limit_;
            Probe();
        }
    }

    // The first character at or after From that is not a space, or the limit.
    int32_t SkipSpaces(int32_t from) {
        for (;;) {
            const int32_t end = std::min(limit_, probe_);
            while (from < end && s_[from] == ' ')
                ++from;
            if (from < end || from >= limit_)
                return from;
            Probe();
        }
    }

    // The longest prefix not wider than the line, by halving the range
    // between the longest prefix measured that fits and the shortest one
    // measured that does not.
    int32_t LongestFit() {
        int32_t lo = fit_, hi = over_;
        while (hi - lo > 1) {
            const int32_t mid = lo + (hi - lo) / 2;
            if (Width(mid) <= avail_)
                lo = mid;
            else
                hi = mid;
        }
        return lo;
    }

    plat::Canvas& canvas_;
    const char* s_;
    int32_t limit_; // the paragraph's length, or a prefix known wider than the line
    int32_t est_;
    int avail_;
    int32_t probe_;
    int32_t over_ = INT32_MAX; // shortest prefix measured wider than the line
    int32_t fit_ = 0;          // longest prefix measured no wider than the line
    int32_t lastN_ = -1;
    int lastWidth_ = 0;
};

// Steps S over every space and marker.
const char* SkipBlank(const char* s) {
    while (*s == ' ' || IsMarker(s))
        s += *s == ' ' ? 1 : 2;
    return s;
}

// Normal lines that Lines title lines TitleHeight apart take, rounded up.
int64_t TitleRows(int64_t lines, int titleHeight, int lineHeight) {
    return std::max<int64_t>(1, (lines * titleHeight + lineHeight - 1) / lineHeight);
}

// The title broken into lines of its own size.
struct TitleLayout {
    int size = 0;     // points the title is drawn at (shrunk only to fit its line)
    int64_t rows = 1; // normal lines its own lines take, before any empty line lends its row
    // (offset from the title's start, length) of each of the title's own
    // lines; empty when the title is the first line of its paragraph, laid
    // out as the text is (a title that does not fit on the page at its size).
    std::vector<std::pair<int32_t, int32_t>> lines;
    const char* next = nullptr; // where the text after the title's own lines starts
    bool styled = true;         // false: not even the text's size gives it a row of its own
};

// Height of one line of bold text at Points; the canvas's font is left so.
int BoldHeight(plat::Canvas& canvas, int points) {
    canvas.SetBold(true);
    canvas.SetFontSize(std::max(points, kMinFontSize));
    return std::abs(canvas.TextHeight("A"));
}

// Lays out the title, the paragraph that starts at P, in the canvas's font
// made bold and 5/3 of its size, or as many points less (but not less than
// its size) as it takes for no word to be cut. Lines of that size take the
// rows their height needs. A title that would need more than LinesPerPage
// rows at that size is drawn at the text's own size instead, as the first
// line of its paragraph laid out as any paragraph is, in a row of its own.
// So no title line ever stands over another line. Leaves the canvas's font
// as it was.
TitleLayout LayOutTitle(plat::Canvas& canvas, const char* p, int avail, int lineHeight,
                        int64_t linesPerPage) {
    TitleLayout title;
    const int normal = canvas.FontSize();
    const bool wasBold = canvas.Bold();
    const char* end = ParagraphEnd(p);
    const auto size = static_cast<int32_t>(end - p);
    title.size = std::max(normal * 5 / 3, kMinFontSize);
    title.next = IsMarker(end) ? end + 2 : end;
    canvas.SetBold(true);
    int points = title.size;
    for (;; --points) {
        canvas.SetFontSize(points);
        const int nWidth = canvas.TextWidth("n");
        const int titleHeight = std::abs(canvas.TextHeight("A"));
        const int32_t est = nWidth > 0 ? std::max(avail / nWidth, 1) : size;
        title.lines.clear();
        bool cut = false;
        for (int32_t q = 0; q < size;) {
            const int32_t pos = LineBreaker(canvas, p + q, size - q, est, avail).Break();
            if (q + pos < size && p[q + pos] != ' ' && points > normal) {
                cut = true;
                break;
            }
            title.lines.emplace_back(q, pos);
            title.rows =
                TitleRows(static_cast<int64_t>(title.lines.size()), titleHeight, lineHeight);
            if (title.rows > linesPerPage) {
                title.lines.clear();
                break;
            }
            q += pos;
            while (q < size && p[q] == ' ')
                ++q;
        }
        if (!cut)
            break;
    }
    if (title.lines.size() == 1) {
        // One line: drawn centred at the title's size, shrunk until it fits
        // the line (TBook::FitTitle); its rows are those of that height.
        int fit = title.size;
        canvas.SetFontSize(fit);
        const std::string_view whole(p, static_cast<std::size_t>(size));
        while (fit > kMinFontSize && canvas.TextWidth(whole) > avail)
            canvas.SetFontSize(--fit);
        title.rows = TitleRows(1, std::abs(canvas.TextHeight("A")), lineHeight);
        if (title.rows > linesPerPage)
            title.lines.clear();
    } else if (!title.lines.empty()) {
        title.size = points;
    }
    if (title.lines.empty()) {
        // At the text's size, one line: the paragraph's first.
        title.size = normal;
        title.next = p;
        title.rows = TitleRows(1, BoldHeight(canvas, normal), lineHeight);
        if (title.rows > linesPerPage) {
            title.styled = false;
            title.rows = 1;
        }
    }
    canvas.SetFontSize(normal);
    canvas.SetBold(wasBold);
    return title;
}

} // namespace

int TBook::PageLineCount(int n) const {
    const TPage* page = Page(n);
    return page ? page->LineCount() : 0;
}

std::vector<const TPage*> TBook::PagesOf(const TLumList& pageList) {
    std::vector<const TPage*> pages;
    for (const TLumNode* n = pageList.First; n; n = n->Next)
        pages.push_back(static_cast<const TPage*>(n));
    return pages;
}

std::vector<int32_t> TBook::PageStarts(const TLumList& pageList) {
    std::vector<int32_t> starts;
    for (const TLumNode* n = pageList.First; n; n = n->Next) {
        const auto* first = static_cast<const TLine*>(static_cast<const TPage*>(n)->Lines.First);
        starts.push_back(first ? first->Offset : 0);
    }
    return starts;
}

void TBook::PaginateInto(TLumList* pageList, plat::Canvas* canvas, const char* text,
                         const TRect& pageRect) const {
    if (!pageList || !canvas || !text)
        return;
    pageList->Clear();

    const int64_t pageW = int64_t{pageRect.Right} - pageRect.Left;
    const int64_t pageH = int64_t{pageRect.Bottom} - pageRect.Top;
    const int64_t avail = pageW - 2 * (int64_t{MarginX} + LineInset);
    const int nWidth = canvas->TextWidth("n");
    const int lineHeight = std::abs(canvas->TextHeight("A"));
    // A font whose "n" has no width, or whose lines no height, lays out
    // nothing.
    if (nWidth <= 0 || lineHeight <= 0 || avail <= 0)
        return;
    const int64_t est = avail / nWidth;
    const int64_t linesPerPage = (pageH - 2 * int64_t{MarginY}) / lineHeight;
    if (est < kMinCharsPerLine || linesPerPage < 1)
        return;
    const int availWidth = static_cast<int>(std::min<int64_t>(avail, INT32_MAX));
    const int32_t estChars = static_cast<int32_t>(std::min<int64_t>(est, INT32_MAX));

    // Blank lines and spaces never open a page, the first one included.
    const char* p = SkipBlank(text);
    if (!*p)
        return;
    const TitleLayout title = LayOutTitle(*canvas, p, availWidth, lineHeight, linesPerPage);
    const char* paraEnd = nullptr; // the end of the paragraph P stands in
    bool firstPage = true;
    int64_t firstLineRows = 1; // rows the next line laid out takes
    while (*p) {
        auto page = std::make_unique<TPage>();
        int64_t line = 1;
        if (firstPage) {
            firstPage = false;
            page->TitleSize = title.size;
            page->TitleLines = title.styled ? 1 : 0;
            page->TitleRows = page->TitleLines;
            if (!title.lines.empty()) {
                const auto start = static_cast<int32_t>(p - text);
                for (const auto& [offset, length] : title.lines)
                    page->AddLine(start + offset, length);
                p = title.next;
                int64_t rows = title.rows;
                // Empty lines right under a one-line title lend it their rows
                // (a generated story's title keeps its one line).
                if (title.lines.size() == 1)
                    for (const char* q = p; rows > 1 && IsMarker(q); q += 2)
                        --rows;
                page->TitleLines = static_cast<int>(title.lines.size());
                page->TitleRows = static_cast<int>(rows);
                line = rows + 1;
            } else if (title.styled) {
                page->TitleRows = static_cast<int>(title.rows);
                firstLineRows = title.rows;
            }
        }
        for (; line <= linesPerPage && *p; ++line) {
            if (!paraEnd || p > paraEnd)
                paraEnd = ParagraphEnd(p);
            const auto size = static_cast<int32_t>(paraEnd - p);
            const int32_t pos =
                size > 0 ? LineBreaker(*canvas, p, size, estChars, availWidth).Break() : 0;
            page->AddLine(static_cast<int32_t>(p - text), pos);
            line += firstLineRows - 1;
            firstLineRows = 1;
            p += pos;
            while (*p == ' ')
                ++p;
            if (IsMarker(p))
                p += 2;
        }
        p = SkipBlank(p);
        if (page->LineCount() > 0)
            pageList->AddLast(page.release());
    }
}

void TBook::DrawPageFrom(const TLumList* pageList, plat::Canvas* canvas, int width, int height,
                         int pageNumber, const char* text) {
    if (!canvas || pageNumber < 0)
        return;
    if (pageNumber == 0) {
        DrawCover(*canvas, width, height);
        return;
    }
    if (!pageList)
        return;
    const auto* page = static_cast<const TPage*>(pageList->Items(pageNumber));
    if (page)
        DrawStoryPage(*page, *canvas, width, text);
}

int TBook::FitTitle(plat::Canvas& canvas, int width, const std::string& line, int points) const {
    // Bold at the title's size, centred, shrunk until it starts at the margin
    // or later (down to the smallest size, where it is put at the margin).
    canvas.SetBold(true);
    int size = std::max(points, kMinFontSize);
    canvas.SetFontSize(size);
    for (;;) {
        const int x = (width - canvas.TextWidth(line)) / 2;
        if (x >= TextLeft())
            return x;
        if (size <= kMinFontSize)
            return TextLeft();
        canvas.SetFontSize(--size);
    }
}

int TBook::LineTop(const TPage& page, int index, int lineHeight, int titleHeight) const {
    if (index < page.TitleLines)
        return MarginY + index * titleHeight;
    return MarginY + (page.TitleRows + index - page.TitleLines) * lineHeight;
}

int TBook::TitleHeight(const TPage& page, plat::Canvas& canvas) {
    if (page.TitleLines <= 0)
        return 0;
    const int normal = canvas.FontSize();
    const bool wasBold = canvas.Bold();
    canvas.SetBold(true);
    canvas.SetFontSize(std::max(page.TitleSize, kMinFontSize));
    const int height = std::abs(canvas.TextHeight("A"));
    canvas.SetBold(wasBold);
    canvas.SetFontSize(normal);
    return height;
}

TRect TBook::LinePartRectFrom(const TLumList* pageList, plat::Canvas* canvas, int width,
                              int pageNumber, int lineNumber, int start, int end,
                              const char* text) const {
    if (!pageList || !canvas || !text || pageNumber < 1)
        return {};
    const auto* page = static_cast<const TPage*>(pageList->Items(pageNumber));
    const TLine* line = page ? page->Line(lineNumber) : nullptr;
    if (!line)
        return {};
    start = std::clamp(start, 0, line->Length);
    end = std::clamp(end, 0, line->Length);
    if (start >= end)
        return {};
    const std::string lineText = line->GetText(text);
    const int normal = canvas->FontSize();
    const bool wasBold = canvas->Bold();
    const int lineHeight = std::abs(canvas->TextHeight("A"));
    const int top = LineTop(*page, lineNumber - 1, lineHeight, TitleHeight(*page, *canvas));
    int x = TextLeft();
    if (lineNumber <= page->TitleLines)
        x = FitTitle(*canvas, width, lineText, page->TitleSize);
    const std::string_view s(lineText);
    const TRect rect{x + canvas->TextWidth(s.substr(0, start)), top,
                     x + canvas->TextWidth(s.substr(0, end)),
                     top + std::abs(canvas->TextHeight("A"))};
    canvas->SetBold(wasBold);
    canvas->SetFontSize(normal);
    return rect;
}

void TBook::DrawPageRowsFrom(const TLumList* pageList, plat::Canvas* canvas, int width,
                             int pageNumber, const char* text, int top, int bottom) const {
    if (!pageList || !canvas || !text || pageNumber < 1)
        return;
    if (const auto* page = static_cast<const TPage*>(pageList->Items(pageNumber)))
        DrawStoryPage(*page, *canvas, width, text, top, bottom);
}

void TBook::DrawStoryPage(const TPage& page, plat::Canvas& canvas, int width, const char* text,
                          int top, int bottom) const {
    canvas.SetPenColour(TBook::kInk);
    const int normal = canvas.FontSize();
    const bool wasBold = canvas.Bold();
    const int lineHeight = std::abs(canvas.TextHeight("A"));
    const int titleHeight = TitleHeight(page, canvas);
    int index = 0;
    for (const TLumNode* n = page.Lines.First; n; n = n->Next, ++index) {
        const int y = LineTop(page, index, lineHeight, titleHeight);
        const int height = index < page.TitleLines ? titleHeight : lineHeight;
        if (y >= bottom || y + height <= top)
            continue;
        const std::string line = static_cast<const TLine*>(n)->GetText(text);
        if (index < page.TitleLines) {
            canvas.TextOut(FitTitle(canvas, width, line, page.TitleSize), y, line);
            canvas.SetBold(wasBold);
            canvas.SetFontSize(normal);
        } else {
            canvas.TextOut(TextLeft(), y, line);
        }
    }
}

int TBook::CoverPictureScale(int width, int height, int pictureW, int pictureH, int marginX,
                             int marginY) {
    if (pictureW <= 0 || pictureH <= 0)
        return 1;
    const int64_t across = int64_t{width} - 2 * (int64_t{marginX} + 3 + 8);
    const int64_t down = int64_t{height} - height / 2 - int64_t{marginY} - 12;
    const int64_t k = std::min(across / pictureW, down / pictureH);
    return static_cast<int>(std::clamp<int64_t>(k, 1, plat::DrawTarget::kMaxScale));
}

void TBook::DrawCover(plat::Canvas& canvas, int width, int height) {
    canvas.SetPenColour(TBook::kInk);
    const int normal = canvas.FontSize();
    const int W = width, H = height;

    for (int inset = 0; inset <= 3; inset += 3) {
        const int mx = MarginX + inset, my = MarginY + inset;
        canvas.MoveTo(mx, my);
        canvas.LineTo(mx, H - my - 1);
        canvas.LineTo(W - mx - 1, H - my - 1);
        canvas.LineTo(W - mx - 1, my);
        canvas.LineTo(mx, my);
    }

    int bottom = H;
    if (Picture) {
        const int k = CoverPictureScale(W, H, PictureRect.Right - PictureRect.Left,
                                        PictureRect.Bottom - PictureRect.Top, MarginX, MarginY);
        const int pw = (PictureRect.Right - PictureRect.Left) * k;
        const int ph = (PictureRect.Bottom - PictureRect.Top) * k;
        bottom = 5 * ph <= 2 * H ? H * 3 / 5 : H - ph - 8;
        PicturePos = TPoint{(W - pw) / 2, bottom - MarginY - 4};
        PictureScale = k;
        if (plat::DrawTarget* target = canvas.Target()) {
            const int before = target->Scale();
            target->SetScale(k, PicturePos.X, PicturePos.Y);
            Picture->DisplayRect(*target, PicturePos, PictureRect);
            target->SetScale(before);
        }
    }

    // The words: one more than there are spaces; two spaces in a row make an
    // empty word.
    std::vector<std::string_view> words;
    {
        std::string_view rest = CoverText;
        for (;;) {
            const std::size_t space = rest.find(' ');
            words.push_back(rest.substr(0, space));
            if (space == std::string_view::npos)
                break;
            rest.remove_prefix(space + 1);
        }
    }
    const int n = static_cast<int>(words.size());

    int gap = kCoverGap;
    // The normal size, or larger in proportion to a wider cover.
    const int64_t grown = int64_t{2} * normal *
                          std::clamp(W, kCoverWidth, kCoverWordsGrowth * kCoverWidth) / kCoverWidth;
    const int normalSize = std::max(2 * normal, kMinFontSize);
    int size = std::max(static_cast<int>(std::min<int64_t>(grown, INT32_MAX)), normalSize);
    canvas.SetFontSize(size);

    for (;;) {
        int widest = 0;
        for (std::string_view w : words)
            widest = std::max(widest, canvas.TextWidth(w));
        if (widest <= W - 2 * MarginX - 8 || size <= kMinFontSize)
            break;
        canvas.SetFontSize(--size);
    }

    // Words grown past the normal size shrink, the gap kept, until the block
    // fits inside the frame with a gap's room above the picture; grown words
    // that fit stand so.
    const auto block = [&] {
        return int64_t{std::abs(canvas.TextHeight("A"))} * n + int64_t{n - 1} * gap;
    };
    const auto blockTop = [&] { return static_cast<int>((bottom - block()) * 2 / 5); };
    const auto blockFits = [&] {
        const int64_t top = blockTop();
        const int64_t foot = Picture ? bottom - MarginY - 4 - kCoverGap : bottom - MarginY - 4;
        return top >= MarginY + 4 && top + 8 + block() <= foot;
    };
    while (size > normalSize && !blockFits())
        canvas.SetFontSize(--size);

    int y = 0;
    if (size > normalSize) {
        y = blockTop();
    } else {
        // Each pass tests the position it computed before making the gap
        // (and, for tall fonts, the size) smaller; the gap's last decrease
        // is undone.
        for (;;) {
            const int lineHeight = std::abs(canvas.TextHeight("A"));
            y = static_cast<int>(
                (int64_t{bottom} - int64_t{lineHeight} * n - int64_t{n - 1} * gap) * 2 / 5);
            --gap;
            if (lineHeight - 30 > gap && size > kMinFontSize)
                canvas.SetFontSize(--size);
            if (y >= MarginY + 4)
                break;
            // A single word at the smallest size gains nothing from a smaller
            // gap: it stays where it is.
            if (n == 1 && size <= kMinFontSize)
                break;
        }
        ++gap;
    }
    y += 8;
    const int lineHeight = std::abs(canvas.TextHeight("A"));

    for (std::string_view w : words) {
        canvas.TextOut((W - canvas.TextWidth(w)) / 2, y, w);
        y += lineHeight + gap;
    }
    canvas.SetFontSize(normal);
}

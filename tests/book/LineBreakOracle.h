// A plain, slow rendering of the book's line and page breaking, kept as an
// oracle for the tests: for every line it looks for the paragraph's end
// again, and it measures every candidate prefix in full. The layout must
// give the same lines on any text whose title stands on one line at its size
// (the title's own line taking the lines of its height, OracleTitleRows).
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Canvas.h"

namespace booktest {

// (offset, length) of each line, page by page.
using OracleLines = std::vector<std::pair<int32_t, int32_t>>;
using OraclePages = std::vector<OracleLines>;

inline bool OracleMarker(const char* s) {
    return s[0] == '\\' && s[1] == 'n';
}

inline int32_t OracleBreakLine(plat::Canvas& canvas, const char* s, int32_t size, int32_t est,
                               int avail) {
    auto width = [&](int32_t n) { return canvas.TextWidth(std::string_view(s, std::size_t(n))); };
    auto nextSpace = [&](int32_t from) {
        while (from < size && s[from] != ' ')
            ++from;
        return from;
    };
    int32_t pos = est < size ? nextSpace(est) : size;
    while (pos < size && width(pos) < avail) {
        while (pos < size && s[pos] == ' ')
            ++pos;
        pos = nextSpace(pos);
    }
    while (pos > 0 && width(pos) > avail) {
        do
            --pos;
        while (pos > 0 && s[pos] != ' ');
        while (pos > 0 && s[pos - 1] == ' ')
            --pos;
        if (pos > 0)
            continue;
        pos = 1;
        while (pos <= size && width(pos) <= avail)
            ++pos;
        --pos;
        return std::max<int32_t>(pos, 1);
    }
    if (pos < size) {
        int32_t end = pos;
        while (end > 0 && s[end - 1] == ' ')
            --end;
        if (end > 0)
            pos = end;
    }
    return pos;
}

// The lines of the page a title of Size characters at Title takes: its
// height bold at 5/3 of the font's size, or smaller until it fits Avail, in
// whole lines of LineHeight, less the empty lines right under it (at least
// one); one when that height needs more lines than a page holds (it is drawn
// at the text's size then).
inline int OracleTitleRows(plat::Canvas& canvas, const char* title, int32_t size, int avail,
                           int lineHeight, int linesPerPage) {
    const int normal = canvas.FontSize();
    const bool bold = canvas.Bold();
    canvas.SetBold(true);
    int points = std::max(normal * 5 / 3, 1);
    canvas.SetFontSize(points);
    while (points > 1 && canvas.TextWidth(std::string_view(title, std::size_t(size))) > avail)
        canvas.SetFontSize(--points);
    int rows = std::max(1, (std::abs(canvas.TextHeight("A")) + lineHeight - 1) / lineHeight);
    canvas.SetFontSize(normal);
    canvas.SetBold(bold);
    if (rows > linesPerPage)
        return 1;
    const char* after = title + size + (OracleMarker(title + size) ? 2 : 0);
    for (; rows > 1 && OracleMarker(after); after += 2)
        --rows;
    return rows;
}

// The pages of Text for a page Width x Height with margins MX and MY, in
// the canvas's current font, every line at the normal size (the title's
// taking the lines of its height).
inline OraclePages OracleLayout(plat::Canvas& canvas, const std::string& text, int width,
                                int height, int mx, int my) {
    OraclePages pages;
    const int avail = width - 2 * mx;
    const int nWidth = canvas.TextWidth("n");
    const int lineHeight = std::abs(canvas.TextHeight("A"));
    if (nWidth <= 0 || lineHeight <= 0 || avail <= 0)
        return pages;
    const int est = avail / nWidth;
    const int linesPerPage = (height - 2 * my) / lineHeight;
    if (est < 20 || linesPerPage < 1)
        return pages;
    auto skipBlank = [](const char* s) {
        while (*s == ' ' || OracleMarker(s))
            s += *s == ' ' ? 1 : 2;
        return s;
    };
    const char* t = text.c_str();
    const char* p = skipBlank(t);
    bool title = true;
    while (*p) {
        OracleLines page;
        for (int line = 1; line <= linesPerPage && *p; ++line) {
            int32_t size = 0;
            while (p[size] && !OracleMarker(p + size))
                ++size;
            const int32_t pos = size > 0 ? OracleBreakLine(canvas, p, size, est, avail) : 0;
            page.emplace_back(static_cast<int32_t>(p - t), pos);
            if (title)
                line += OracleTitleRows(canvas, p, size, avail, lineHeight, linesPerPage) - 1;
            title = false;
            p += pos;
            while (*p == ' ')
                ++p;
            if (OracleMarker(p))
                p += 2;
        }
        p = skipBlank(p);
        pages.push_back(std::move(page));
    }
    return pages;
}

} // namespace booktest

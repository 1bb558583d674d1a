// The twists of the story a storybook shows.
#include "book/StoryTwists.h"

#include <algorithm>

#include "book/BookPage.h"
#include "story/Generate.h"
#include "story/StoryText.h"

void TStoryTwists::Take(const TStoryGenerator& generator, std::string_view joined) {
    spans_.clear();
    const std::vector<std::string>& lines = generator.StoryLines();
    const std::vector<TWordSpan>& spans = generator.StorySpans();
    if (spans.empty() || joined != JoinStoryLines(lines))
        return;
    const std::vector<std::size_t> starts = JoinedLineStarts(lines);
    std::vector<std::size_t> where;
    ResolveStoryLineEnds(joined, where);
    spans_.reserve(spans.size());
    for (const TWordSpan& s : spans) {
        const std::size_t b = starts[s.line] + s.start;
        const std::size_t e = b + s.length;
        if (e >= where.size())
            continue;
        const auto begin = static_cast<int32_t>(where[b]);
        const auto end = static_cast<int32_t>(where[e]);
        if (begin < end)
            spans_.push_back({begin, end, s.choice});
    }
}

int TStoryTwists::SpanAt(int32_t offset) const {
    const auto it = std::upper_bound(spans_.begin(), spans_.end(), offset,
                                     [](int32_t o, const Span& s) { return o < s.End; });
    if (it == spans_.end() || offset < it->Begin)
        return -1;
    return static_cast<int>(it - spans_.begin());
}

std::string TStoryTwists::Was(const TStoryGenerator& generator, int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= spans_.size())
        return {};
    const auto& choices = generator.StoryChoices();
    const uint32_t c = spans_[static_cast<std::size_t>(i)].Choice;
    return c < choices.size() ? choices[c].plain : std::string();
}

std::vector<TStoryTwists::PagePart> TStoryTwists::PageParts(const TBook& book, int page) const {
    std::vector<PagePart> parts;
    const TPage* p = page >= 1 ? book.Page(page) : nullptr;
    if (!p || spans_.empty())
        return parts;
    int lineNumber = 0;
    for (const TLumNode* ln = p->Lines.First; ln; ln = ln->Next) {
        ++lineNumber;
        const auto* line = static_cast<const TLine*>(ln);
        const int32_t lineBegin = line->Offset;
        const int32_t lineEnd = line->Offset + line->Length;
        auto it = std::upper_bound(spans_.begin(), spans_.end(), lineBegin,
                                   [](int32_t o, const Span& s) { return o < s.End; });
        for (; it != spans_.end() && it->Begin < lineEnd; ++it) {
            const int32_t b = std::max(it->Begin, lineBegin);
            const int32_t e = std::min(it->End, lineEnd);
            if (b < e)
                parts.push_back({TLinePart{page, lineNumber, b - lineBegin, e - lineBegin},
                                 static_cast<int>(it - spans_.begin())});
        }
    }
    return parts;
}

TRect TStoryTwists::PartRect(const TBook& book, plat::Canvas& canvas, int width,
                             const TLinePart& part, const char* text) {
    return part.Rect(book, canvas, width, text, kPadX);
}

void TStoryTwists::Draw(const TBook& book, plat::Canvas& canvas, int width, int page,
                        const char* text) const {
    for (const PagePart& p : PageParts(book, page)) {
        const TRect r = PartRect(book, canvas, width, p.part, text);
        canvas.FillRect(r.Left, r.Top, r.Right, r.Bottom, kColour);
    }
}

bool TStoryTwists::SwapAgain(TStoryGenerator& generator, int i, std::string& joined) const {
    if (i < 0 || static_cast<std::size_t>(i) >= spans_.size())
        return false;
    if (!generator.SwapAgain(spans_[static_cast<std::size_t>(i)].Choice))
        return false;
    joined = JoinStoryLines(generator.StoryLines());
    return true;
}

int TStoryTwists::PageOf(const TBook& book, int32_t offset) {
    int n = 0;
    for (const TLumNode* pn = book.Pages.First; pn; pn = pn->Next) {
        ++n;
        for (const TLumNode* ln = static_cast<const TPage*>(pn)->Lines.First; ln; ln = ln->Next) {
            const auto* line = static_cast<const TLine*>(ln);
            if (offset < line->Offset + line->Length)
                return n;
        }
    }
    return 0;
}

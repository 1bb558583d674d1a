// fbwtool paginate's arguments, file and listing (PaginateInput.h).
#include "PaginateInput.h"

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "book/Book.h"
#include "story/StoryText.h"

namespace {

constexpr const char* kUsage =
    "usage: fbwtool paginate (--char-width N --line-height N | --font FAMILY --size POINTS "
    "[--dpi N]) --page WxH [--margins X,Y] [--saved] FILE";

// A whole decimal integer in [Low, High] making up all of Text from Start to
// the end or to Stop; advances Start past it.
bool ParseInt(const std::string& text, std::size_t& start, char stop, int low, int high,
              int& value) {
    const std::size_t end = stop ? text.find(stop, start) : text.size();
    if (end == std::string::npos || end == start)
        return false;
    const std::string part = text.substr(start, end - start);
    errno = 0;
    char* after = nullptr;
    const long v = std::strtol(part.c_str(), &after, 10);
    if (errno != 0 || *after != '\0' || part[0] == '+' || part[0] == ' ' || v < low || v > high)
        return false;
    value = static_cast<int>(v);
    start = end + (stop ? 1 : 0);
    return true;
}

bool ParseInt(const std::string& text, int low, int high, int& value) {
    std::size_t start = 0;
    return ParseInt(text, start, 0, low, high, value);
}

bool ParsePair(const std::string& text, char sep, int low, int high, int& a, int& b) {
    std::size_t start = 0;
    return ParseInt(text, start, sep, low, high, a) && ParseInt(text, start, 0, low, high, b);
}

} // namespace

bool ParsePaginateArgs(const Args& given, PaginateRequest& r, std::string& error) {
    Args args = given;
    std::string charWidth, lineHeight, size, dpiText, page, margins;
    bool fixed, haveLineHeight, font, haveSize, haveDpi, havePage, haveMargins;
    try {
        fixed = TakeOption(args, "--char-width", charWidth);
        haveLineHeight = TakeOption(args, "--line-height", lineHeight);
        font = TakeOption(args, "--font", r.family);
        haveSize = TakeOption(args, "--size", size);
        haveDpi = TakeOption(args, "--dpi", dpiText);
        havePage = TakeOption(args, "--page", page);
        haveMargins = TakeOption(args, "--margins", margins);
    } catch (const std::runtime_error& e) {
        error = e.what();
        return false;
    }
    r.saved = TakeFlag(args, "--saved");
    r.fixed = fixed;
    if (args.size() != 1 || fixed == font || fixed != haveLineHeight || font != haveSize ||
        (haveDpi && !font) || !havePage) {
        error = kUsage;
        return false;
    }
    r.path = args[0];
    if (!ParsePair(page, 'x', 0, kPaginateMaxPixels, r.width, r.height)) {
        error = "--page takes WIDTHxHEIGHT in pixels, for example 216x320";
        return false;
    }
    if (haveMargins && !ParsePair(margins, ',', 0, kPaginateMaxPixels, r.marginX, r.marginY)) {
        error = "--margins takes X,Y in pixels, for example 8,8";
        return false;
    }
    if (fixed) {
        if (!ParseInt(charWidth, 0, kPaginateMaxPixels, r.charWidth) ||
            !ParseInt(lineHeight, 0, kPaginateMaxPixels, r.lineHeight)) {
            error = "--char-width and --line-height take pixels";
            return false;
        }
        return true;
    }
    if (!ParseInt(size, 1, 10000, r.points)) {
        error = "--size takes points from 1 to 10000";
        return false;
    }
    if (haveDpi && !ParseInt(dpiText, 1, 10000, r.dpi)) {
        error = "--dpi takes dots per inch from 1 to 10000";
        return false;
    }
    return true;
}

std::string PaginateText(const PaginateRequest& request, std::string_view bytes) {
    return request.saved ? ReadSavedStoryText(bytes) : ResolveStoryLineEnds(bytes);
}

std::string PaginateListing(const PaginateRequest& request, plat::Canvas& canvas,
                            const std::string& text) {
    TBook book;
    book.MarginX = request.marginX;
    book.MarginY = request.marginY;
    book.Paginate(&canvas, TRect{0, 0, request.width, request.height}, text.c_str());
    // The pages and their lines walked once, in order: asking the lists for
    // an item by number walks them from the start each time.
    std::string out;
    int p = 0;
    for (const TLumNode* pn = book.Pages.First; pn; pn = pn->Next) {
        const auto* pg = static_cast<const TPage*>(pn);
        out += "page " + std::to_string(++p);
        if (pg->TitleLines > 1)
            out += ", title of " + std::to_string(pg->TitleLines) + " lines in " +
                   std::to_string(pg->TitleRows) + " rows";
        out += "\n";
        for (const TLumNode* ln = pg->Lines.First; ln; ln = ln->Next) {
            const auto* line = static_cast<const TLine*>(ln);
            out += std::to_string(line->Offset) + " " + std::to_string(line->Length) + "\t" +
                   line->GetText(text.c_str()) + "\n";
        }
    }
    return out;
}

// fbwtool paginate: lays a story out into book pages as the storybook does
// and lists every page's lines, for authors checking how a tale paginates.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "Command.h"
#include "FontCanvas.h"
#include "book/Book.h"
#include "book/StoryText.h"
#include "platform/Files.h"
#include "platform/FixedCanvas.h"

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

constexpr int kMaxPixels = 1000000;

int RunPaginate(const Args& given) {
    Args args = given;
    std::string charWidth, lineHeight, family, size, dpiText, page, margins;
    const bool fixed = TakeOption(args, "--char-width", charWidth);
    const bool haveLineHeight = TakeOption(args, "--line-height", lineHeight);
    const bool font = TakeOption(args, "--font", family);
    const bool haveSize = TakeOption(args, "--size", size);
    const bool haveDpi = TakeOption(args, "--dpi", dpiText);
    const bool havePage = TakeOption(args, "--page", page);
    const bool haveMargins = TakeOption(args, "--margins", margins);
    const bool saved = TakeFlag(args, "--saved");
    if (args.size() != 1 || fixed == font || fixed != haveLineHeight || font != haveSize ||
        (haveDpi && !font) || !havePage)
        return Fail(kUsage);

    int width = 0, height = 0, mx = 8, my = 8;
    if (!ParsePair(page, 'x', 0, kMaxPixels, width, height))
        return Fail("--page takes WIDTHxHEIGHT in pixels, for example 216x320");
    if (haveMargins && !ParsePair(margins, ',', 0, kMaxPixels, mx, my))
        return Fail("--margins takes X,Y in pixels, for example 8,8");

    std::unique_ptr<plat::Canvas> own;
    std::unique_ptr<FontCanvasSession> session;
    plat::Canvas* canvas = nullptr;
    if (fixed) {
        int cw = 0, lh = 0;
        if (!ParseInt(charWidth, 0, kMaxPixels, cw) || !ParseInt(lineHeight, 0, kMaxPixels, lh))
            return Fail("--char-width and --line-height take pixels");
        own = std::make_unique<plat::FixedCanvas>(cw, lh);
        canvas = own.get();
    } else {
        int points = 0, dpi = 96;
        if (!ParseInt(size, 1, 10000, points))
            return Fail("--size takes points from 1 to 10000");
        if (haveDpi && !ParseInt(dpiText, 1, 10000, dpi))
            return Fail("--dpi takes dots per inch from 1 to 10000");
        std::string error;
        session = OpenFontCanvas(family, points, dpi, error);
        if (!session)
            return Fail(error);
        canvas = &session->Canvas();
    }

    const std::string& path = args[0];
    std::string bytes;
    if (!plat::FileExists(path) || !plat::ReadWholeFile(path, bytes))
        return Fail("cannot read \"" + path + "\"");
    const std::string text = saved ? ReadSavedStoryText(bytes) : ResolveStoryLineEnds(bytes);

    TBook book;
    book.MarginX = mx;
    book.MarginY = my;
    book.Paginate(canvas, TRect{0, 0, width, height}, text.c_str());

    std::string out;
    for (int p = 1; p <= book.PageCount(); ++p) {
        out += "page " + std::to_string(p) + "\n";
        const TPage* pg = book.Page(p);
        for (int l = 1; l <= pg->LineCount(); ++l) {
            const TLine* line = pg->Line(l);
            out += std::to_string(line->Offset) + " " + std::to_string(line->Length) + "\t" +
                   line->GetText(text.c_str()) + "\n";
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

RegisterCommand paginateCmd(
    {"paginate",
     "  fbwtool paginate (--char-width N --line-height N | --font FAMILY --size POINTS [--dpi N])\n"
     "                   --page WxH [--margins X,Y] [--saved] FILE\n"
     "      lay the story in FILE out into book pages and list each page's lines as\n"
     "      OFFSET LENGTH, a tab and the text (offsets in the resolved text). FILE holds\n"
     "      the generator's lines joined by CR LF, or with --saved a saved story. Every\n"
     "      character is N pixels wide, or measured in FAMILY at POINTS and DPI (96);\n"
     "      margins default to 8,8",
     RunPaginate});

} // namespace

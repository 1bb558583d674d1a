// fbwtool paginate: lays a story out into book pages as the storybook does
// and lists every page's lines, for authors checking how a tale paginates.
#include <cstdio>
#include <memory>

#include "Command.h"
#include "FontCanvas.h"
#include "PaginateInput.h"
#include "platform/Files.h"
#include "platform/FixedCanvas.h"

namespace {

int RunPaginate(const Args& args) {
    PaginateRequest request;
    std::string error;
    if (!ParsePaginateArgs(args, request, error))
        return Fail(error);

    std::unique_ptr<plat::Canvas> own;
    std::unique_ptr<FontCanvasSession> session;
    plat::Canvas* canvas = nullptr;
    if (request.fixed) {
        own = std::make_unique<plat::FixedCanvas>(request.charWidth, request.lineHeight);
        canvas = own.get();
    } else {
        session = OpenFontCanvas(request.family, request.points, request.dpi, error);
        if (!session)
            return Fail(error);
        canvas = &session->Canvas();
    }

    std::string bytes;
    if (!plat::FileExists(request.path) || !plat::ReadWholeFile(request.path, bytes))
        return Fail("cannot read \"" + request.path + "\"");
    const std::string out = PaginateListing(request, *canvas, PaginateText(request, bytes));
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

RegisterCommand paginateCmd(
    {"paginate",
     "  fbwtool paginate (--char-width N --line-height N | --font FAMILY --size POINTS [--dpi N])\n"
     "                   --page WxH [--margins X,Y] [--saved] FILE\n"
     "      lay the story in FILE out into book pages and list each page's lines as\n"
     "      OFFSET LENGTH, a tab and the text (offsets in the resolved text); a title\n"
     "      broken into lines of its size is told after \"page 1\". FILE holds\n"
     "      the generator's lines joined by CR LF, or with --saved a saved story. Every\n"
     "      character is N pixels wide, or measured in FAMILY at POINTS and DPI (96);\n"
     "      margins default to 8,8",
     RunPaginate});

} // namespace

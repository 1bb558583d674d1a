// What fbwtool paginate makes of its arguments and its file, apart from the
// process: the tool and its fuzz target both call these.
#pragma once
#include <string>
#include <string_view>

#include "Command.h"
#include "platform/Canvas.h"

struct PaginateRequest {
    bool fixed = false; // fixed metrics (charWidth, lineHeight) rather than a font
    int charWidth = 0;  // pixels per character, fixed metrics only
    int lineHeight = 0; // pixels, fixed metrics only
    std::string family; // font family, font only
    int points = 0;     // font size, font only
    int dpi = 96;       // font only
    int width = 0;      // page size in pixels
    int height = 0;
    int marginX = 8; // margins in pixels
    int marginY = 8;
    bool saved = false; // FILE is a saved story rather than the generator's lines
    std::string path;   // FILE
};

// Largest page size, margin, character width and line height taken, in pixels.
constexpr int kPaginateMaxPixels = 1000000;

// Parses paginate's arguments (those after the subcommand's name) into
// Request; false with Error set to the message for the user when they are
// wrong.
bool ParsePaginateArgs(const Args& args, PaginateRequest& request, std::string& error);

// The story text laid out from FILE's bytes.
std::string PaginateText(const PaginateRequest& request, std::string_view bytes);

// The listing of Text laid out on Canvas for Request's page: "page N" lines,
// each followed by that page's lines as OFFSET LENGTH, a tab and the text. A
// title broken into lines of its own size is told on page 1's line as
// "page 1, title of L lines in R rows".
std::string PaginateListing(const PaginateRequest& request, plat::Canvas& canvas,
                            const std::string& text);

// The credit line's texts and fade colours.
#include "scene/Credits.h"

#include <string>

#include "scene/ProjectVersion.h"

namespace {
// The lines after the first.
const char* const kLines[TCredits::kLineCount - 1] = {
    "Copyright \xA9 2000 Lumwright Software. All rights reserved.",
    "Game design by the Lumwright Software story team",
    "Programming by the Lumwright Software engineering team",
    "Illustrations by the Lumwright Software art studio",
    "Stories retold by the Lumwright Software writers' circle",
    "Thanks for testing to the Tuesday story club, the bedtime...",
    "...readers' panel, the young critics of the lending shelf...",
    "...and every family who asked for just one more story",
    "Visit the Lumwright Software web site for more stories!",
};
} // namespace

const char* TCredits::Text(int line) {
    static const std::string title = std::string("Fablewhirl ") + TProjectVersion::kMajorMinor;
    if (line == 0)
        return title.c_str();
    return line > 0 && line < kLineCount ? kLines[line - 1] : "";
}

uint32_t TCredits::Colour(int phase) {
    switch (phase) {
    case 0:
    case 8:
        return 0x00582A;
    case 1:
    case 7:
        return 0x008740;
    case 2:
    case 6:
        return 0x5AAD6D;
    case 3:
    case 5:
        return 0xB2E308;
    default:
        return 0xC7FFC0;
    }
}

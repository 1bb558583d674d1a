// The screen's palette description: a true-colour display with black and white
// at the ends of its system palette.
#include "platform/SystemPalette.h"

namespace plat {

namespace {
std::optional<SystemPalette>& Override() {
    static std::optional<SystemPalette> palette;
    return palette;
}
} // namespace

SystemPalette SystemPalette::Current() {
    if (Override())
        return *Override();
    SystemPalette p;
    p.Entries[255] = LogPalette::Entry{255, 255, 255, 0};
    return p;
}

void SystemPalette::SetForTest(std::optional<SystemPalette> palette) {
    Override() = std::move(palette);
}

} // namespace plat

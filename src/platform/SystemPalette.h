// What the screen reports about its palette: whether the system colours are
// static, how many colours the device has and the system palette entries.
// Our displays are true-colour devices whose palette use is not static; tests
// may substitute another screen.
#pragma once
#include <optional>

#include "platform/LogPalette.h"

namespace plat {

class SystemPalette {
public:
    bool Static = false; // system palette use is "static"
    int NumColors = -1;  // the device's NUMCOLORS capability (-1: more than 256)
    std::array<LogPalette::Entry, 256> Entries{}; // the system palette

    // The screen's palette as the drawing code sees it now.
    static SystemPalette Current();
    // Replaces the screen's answer (nullopt restores the real one).
    static void SetForTest(std::optional<SystemPalette> palette);
};

} // namespace plat

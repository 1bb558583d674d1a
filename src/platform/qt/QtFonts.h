// The window fonts of the forms resolve to the metric-compatible Liberation
// faces: "Times New Roman" to Liberation Serif, "Arial" and "MS Sans Serif"
// to Liberation Sans.
#pragma once

namespace plat {

// Registers the substitutions (once; later calls do nothing).
void InstallFontSubstitutes();

} // namespace plat

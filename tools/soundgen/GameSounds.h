// The game's eleven sounds in catalogue order (id 0 to 10): each a wave file
// base name and the recipe that synthesizes it.
#pragma once
#include <vector>

#include "Signal.h"

struct GameSound {
    const char* name;
    Signal (*make)();
};

const std::vector<GameSound>& GameSounds();

// soundgen: writes the game's wave files.
//   soundgen OUTDIR    writes NAME.wav for every sound into OUTDIR
//   soundgen --list    prints the names in catalogue order
#include <cstdio>
#include <string>

#include "GameSounds.h"
#include "platform/Files.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: soundgen OUTDIR | --list\n");
        return 1;
    }
    const std::string arg = argv[1];
    if (arg == "--list") {
        for (const GameSound& sound : GameSounds())
            std::printf("%s\n", sound.name);
        return 0;
    }
    const std::string folder = plat::IncludeTrailingSeparator(arg);
    for (const GameSound& sound : GameSounds()) {
        const std::string path = folder + sound.name + ".wav";
        if (!plat::WriteFileAtomic(path, sound.make().WaveFile())) {
            std::fprintf(stderr, "soundgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

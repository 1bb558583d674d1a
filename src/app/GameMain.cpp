// The game's process entry point: runs the program and ends with its status.
#include <csignal>

#include "app/Main.h"

int main(int argc, char** argv) {
    // Past the limit on a file's size (ulimit -f) a write fails as "file too
    // large", which the game's writers report and clean up after, rather than
    // ending the game with a temporary file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    return GameMain(argc, argv);
}

// The game's process entry point: runs the program and ends with its status.
#include "app/Main.h"

int main(int argc, char** argv) {
    return GameMain(argc, argv);
}

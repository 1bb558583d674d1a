// The game's process entry point: runs the start-up sequence and ends.
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}

// main() of the Qt test programs: an offscreen QApplication around GoogleTest.
#include <QApplication>
#include <gtest/gtest.h>

#include "support/TestSupport.h"

int main(int argc, char** argv) {
    fbwtest::PrepareEnvironment();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// main() of the engine test programs.
#include <gtest/gtest.h>

#include "support/TestSupport.h"

int main(int argc, char** argv) {
    fbwtest::PrepareEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// main() of every window test program.
#include <gtest/gtest.h>

#include "tests/support/toolkit_test_environment.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    tessaly::testing::AddToolkitTestEnvironment(argc, argv);
    return RUN_ALL_TESTS();
}

// main() of every window test program under Windows.
#include <gtest/gtest.h>

#include "tests/support/win32_test_environment.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    tessaly::testing::AddWin32TestEnvironment();
    return RUN_ALL_TESTS();
}

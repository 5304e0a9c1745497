// main() of the programs that run against a mocked udev.
#include <gtest/gtest.h>

#include "tests/ports/mock_udev.h"

int main(int argc, char** argv) {
    tessaly::testing::RunUnderUmockdev(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

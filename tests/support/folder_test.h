// Tests that work in a private folder of their own, removed with everything in it
// when the test ends.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace tessaly::test {

class FolderTest : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return m_dir / name; }
    // So that a test can see that no temporary was left behind.
    std::size_t Entries() const { return EntriesIn(m_dir.Path()); }

    TempDir m_dir;
};

}  // namespace tessaly::test

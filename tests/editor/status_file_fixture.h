// A private folder per status file test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"

namespace tessaly {

class StatusFolder : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return m_dir / name; }
    // Files in the folder, so that a test can see that no temporary was left behind.
    std::size_t FileCount() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(m_dir.Path()),
                          std::filesystem::directory_iterator()));
    }

    test::TempDir m_dir;
};

using test::ReadRaw;
using test::WriteRaw;

}  // namespace tessaly

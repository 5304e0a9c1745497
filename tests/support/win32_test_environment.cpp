#include "tests/support/toolkit_test_environment.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include "ui/win32/win32_toolkit_session.h"

namespace tessaly::testing {

namespace {

class Win32TestEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        m_session = std::make_unique<ToolkitSession>();
        if (!m_session->Started()) {
            std::fprintf(stderr, "No desktop: window tests skipped\n");
            std::exit(kNoDisplayExitCode);
        }
    }

    void TearDown() override { m_session.reset(); }

private:
    std::unique_ptr<ToolkitSession> m_session;
};

}  // namespace

void AddToolkitTestEnvironment(int, char**) {
    ::testing::AddGlobalTestEnvironment(new Win32TestEnvironment);
}

}  // namespace tessaly::testing

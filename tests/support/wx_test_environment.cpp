#include "tests/support/toolkit_test_environment.h"

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

namespace tessaly::testing {

namespace {

// A failed toolkit assertion would open a modal box and hang the run; make it
// a test failure instead.
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_string().c_str(), line)
        << "wx assertion in " << func.utf8_string() << ": " << cond.utf8_string() << " "
        << msg.utf8_string();
}

class WxTestEnvironment final : public ::testing::Environment {
public:
    WxTestEnvironment(int argc, char** argv) : m_argc(argc), m_argv(argv) {}

    void SetUp() override {
        wxSetAssertHandler(FailOnAssert);
        wxApp::SetInstance(new wxApp);
        if (!wxEntryStart(m_argc, m_argv)) {
            std::fprintf(stderr, "No display: window tests skipped\n");
            std::exit(kNoDisplayExitCode);
        }
        wxTheApp->CallOnInit();
    }

    void TearDown() override {
        wxTheApp->OnExit();
        wxEntryCleanup();
    }

private:
    int m_argc;
    char** m_argv;
};

}  // namespace

void AddToolkitTestEnvironment(int argc, char** argv) {
    ::testing::AddGlobalTestEnvironment(new WxTestEnvironment(argc, argv));
}

}  // namespace tessaly::testing

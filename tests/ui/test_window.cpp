#include "tests/ui/test_window.h"

namespace tessaly::testing {

// clang-format off
wxBEGIN_EVENT_TABLE(CTestDlg, CTemplateDialog)
    EVT_BUTTON(kFirstButton, CTestDlg::OnFirst)
    EVT_BUTTON(kDefaultButton, CTestDlg::OnDefault)
wxEND_EVENT_TABLE()
// clang-format on

}  // namespace tessaly::testing

// The bar must visibly move while a device transaction runs. The proof is the
// screen itself, read back from the X server mid-transaction.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <wx/gauge.h>
#include <wx/image.h>

#include "tests/support/recording_window_services.h"
#include "tests/support/window_driver.h"
#include "tests/ui/test_window.h"
#include "ui/wx/wx_template_window.h"

namespace tessaly::testing {
namespace {

bool Grab(const wxRect& area, const std::string& path) {
    const std::string command = "import -silent -window root -crop " + std::to_string(area.width) +
                                "x" + std::to_string(area.height) + "+" + std::to_string(area.x) +
                                "+" + std::to_string(area.y) + " +repage " + path;
    return std::system(command.c_str()) == 0;
}

// The rightmost column in which the two pictures differ, or -1.
int RightmostChange(const wxImage& a, const wxImage& b) {
    int rightmost = -1;
    for (int y = 0; y < a.GetHeight() && y < b.GetHeight(); ++y) {
        for (int x = 0; x < a.GetWidth() && x < b.GetWidth(); ++x) {
            const int d = std::abs(a.GetRed(x, y) - b.GetRed(x, y)) +
                          std::abs(a.GetGreen(x, y) - b.GetGreen(x, y)) +
                          std::abs(a.GetBlue(x, y) - b.GetBlue(x, y));
            if (d > 60) {
                rightmost = std::max(rightmost, x);
            }
        }
    }
    return rightmost;
}

TEST(ProgressRepaint, ABarSteppedByARunningTransactionShowsOnScreen) {
    if (std::system("command -v import >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ImageMagick's import is needed to read the screen back";
    }
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) {
        wxImage::AddHandler(new wxPNGHandler);
    }
    RecordingWindowServices services;
    CTestDlg window(kTestTemplate, services);
    const std::string before = "progress-before.png";
    const std::string during = "progress-during.png";
    std::atomic<bool> grabbed{false};
    std::atomic<bool> release{false};
    window.m_progress.SetRange(0, 100);
    window.m_progress.SetStep(30);
    window.onFirst = [&] {
        window.RunTransaction(&window.m_progress,
                              [&](BackgroundHost& host) {
                                  for (int i = 0; i < 3; ++i) {
                                      host.StepProgress();
                                  }
                                  // Still running while the screen is read back.
                                  for (int i = 0; i < 1000 && !release; ++i) {
                                      std::this_thread::sleep_for(std::chrono::milliseconds(10));
                                  }
                              },
                              {});
    };
    bool runningWhenGrabbed = false;
    const int result = RunModal(window, [&] {
        RunWindowThreadUntil([] { return false; }, 300);  // mapped and painted
        const wxRect area = WxControl(window, kGauge)->GetScreenRect();
        grabbed = Grab(area, before);
        ASSERT_TRUE(StartClick(window, kFirstButton));
        auto* gauge = dynamic_cast<wxGauge*>(WxControl(window, kGauge));
        RunWindowThreadUntil([&] { return gauge->GetValue() == 90; }, 5000);
        RunWindowThreadUntil([] { return false; }, 300);  // a few frames
        runningWhenGrabbed = window.TransactionRunning();
        grabbed = grabbed && Grab(area, during);
        release = true;
        FinishTransaction(window);
        window.SendCommand(IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_TRUE(grabbed);
    EXPECT_TRUE(runningWhenGrabbed);
    wxImage empty(before, wxBITMAP_TYPE_PNG);
    wxImage moved(during, wxBITMAP_TYPE_PNG);
    ASSERT_TRUE(empty.IsOk() && moved.IsOk());
    // The fill reaches 90 % of the bar, past the first steps.
    EXPECT_GT(RightmostChange(empty, moved), empty.GetWidth() * 8 / 10)
        << "see " << before << " and " << during << " in the test's directory";
}

}  // namespace
}  // namespace tessaly::testing

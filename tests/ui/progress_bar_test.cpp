#include "ui/progress_bar.h"

#include <gtest/gtest.h>
#include <wx/gauge.h>

#include "tests/support/recording_window_services.h"
#include "tests/support/window_driver.h"
#include "tests/ui/test_window.h"

namespace tessaly::testing {
namespace {

TEST(ProgressBar, StepsByTheStepAndStartsOverInsteadOfPassingTheEnd) {
    ProgressBar bar;
    bar.SetRange(0, 100);
    bar.SetStep(30);
    bar.SetPos(0);
    bar.StepIt();
    EXPECT_EQ(bar.Pos(), 30);
    bar.StepIt();
    bar.StepIt();
    EXPECT_EQ(bar.Pos(), 90);
    bar.StepIt();
    EXPECT_EQ(bar.Pos(), 0) << "120 would pass the maximum";

    bar.SetStep(20);
    bar.SetPos(80);
    bar.StepIt();
    EXPECT_EQ(bar.Pos(), 100) << "reaching the maximum exactly is no wrap";
    bar.StepIt();
    EXPECT_EQ(bar.Pos(), 0);
}

TEST(ProgressBar, WrapsToTheLowerEndOfAnOffsetRangeAndHoldsPositionsInside) {
    ProgressBar bar;
    bar.SetRange(10, 50);
    bar.SetStep(25);
    bar.SetPos(40);
    bar.StepIt();
    EXPECT_EQ(bar.Pos(), 10);
    bar.SetPos(500);
    EXPECT_EQ(bar.Pos(), 50);
    bar.SetPos(-3);
    EXPECT_EQ(bar.Pos(), 10);
}

TEST(ProgressBar, ShowsItsPositionOnTheBoundGauge) {
    RecordingWindowServices services;
    CTestDlg window(kTestTemplate, services);
    ShowForTest(window);
    ASSERT_TRUE(window.m_progress.IsAttached());
    auto* gauge = dynamic_cast<wxGauge*>(window.Control(kGauge));
    ASSERT_NE(gauge, nullptr);
    window.m_progress.SetRange(0, 100);
    window.m_progress.SetStep(20);
    window.m_progress.SetPos(40);
    window.m_progress.StepIt();
    EXPECT_EQ(gauge->GetValue(), 60);
    EXPECT_EQ(gauge->GetRange(), 100);
}

}  // namespace
}  // namespace tessaly::testing

#include "ui/progress_bar.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tessaly::testing

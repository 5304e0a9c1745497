// A transaction run by a window: off the window's thread, with the window alive
// but deaf to the operator until it ends, and ending the window only between
// two steps of the transaction.
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/gauge.h>
#include <wx/utils.h>

#include "tests/support/recording_window_services.h"
#include "tests/support/window_driver.h"
#include "tests/ui/real_pointer.h"
#include "tests/ui/test_window.h"
#include "ui/wx/input_hold.h"
#include "ui/wx/wx_template_window.h"

namespace tessaly::testing {
namespace {

// A transaction that steps the bar, then waits until the test lets it go on
// (or gives up after a bound, so a failing test never hangs).
class GatedWork {
public:
    void operator()(BackgroundHost& host) {
        workerThread = std::this_thread::get_id();
        host.SetProgress(0);
        host.StepProgress();
        host.StepProgress();
        for (int i = 0; i < 1000 && !m_open; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        stopSeenAtGate = host.StopRequested();
        host.StepProgress();
        finished = true;
    }
    void Open() { m_open = true; }

    std::atomic<bool> finished{false};
    std::atomic<bool> stopSeenAtGate{false};
    std::thread::id workerThread;

private:
    std::atomic<bool> m_open{false};
};

class BackgroundTransactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.m_progress.SetRange(0, 100);
        window.m_progress.SetStep(30);
        window.onFirst = [this] {
            window.RunTransaction(
                &window.m_progress, [this](BackgroundHost& host) { work(host); },
                [this] {
                    doneRan = true;
                    gaugeWhenDone = GaugeOf(window);
                });
        };
    }
    static int GaugeOf(CTemplateDialog& dialog) {
        return dynamic_cast<wxGauge*>(WxControl(dialog, kGauge))->GetValue();
    }

    RecordingWindowServices services;
    CTestDlg window{kTestTemplate, services};
    GatedWork work;
    bool doneRan = false;
    int gaugeWhenDone = -1;
};

TEST_F(BackgroundTransactionTest, RunsOffTheWindowThreadWhileTheBarFollowsAndInputIsHeldBack) {
    ShowForTest(window);
    ASSERT_TRUE(StartClick(window, kFirstButton));
    EXPECT_TRUE(window.TransactionRunning()) << "the click returns while the transaction runs";
    // The two steps reach the bar while the transaction still waits at its gate.
    EXPECT_TRUE(RunWindowThreadUntil([&] { return GaugeOf(window) == 60; }, 5000));
    EXPECT_FALSE(work.finished);
    EXPECT_TRUE(wxIsBusy()) << "busy cursor";
    EXPECT_TRUE(GtkInputHold::Active());

    // Buttons, lists and keys do nothing meanwhile.
    WxControl(window, kDefaultButton)->SetFocus();
    EXPECT_TRUE(StartClick(window, kDefaultButton));
    EXPECT_TRUE(Select(window, kList, 2));
    PressKey(window, Key::Escape);
    PressKey(window, Key::Enter);
    EXPECT_EQ(window.defaultClicks, 0);
    EXPECT_EQ(window.m_colour, 0) << "no selection event reached the window";
    EXPECT_TRUE(IsShownOnScreen(window));
    EXPECT_EQ(window.firstClicks, 1);

    work.Open();
    ASSERT_TRUE(FinishTransaction(window));
    EXPECT_TRUE(doneRan);
    EXPECT_EQ(gaugeWhenDone, 90) << "every step arrived before the end";
    EXPECT_NE(work.workerThread, std::this_thread::get_id());
    EXPECT_FALSE(wxIsBusy());
    EXPECT_FALSE(GtkInputHold::Active());
    // And the window listens again.
    EXPECT_TRUE(Click(window, kDefaultButton));
    EXPECT_EQ(window.defaultClicks, 1);
}

bool PopupShown(wxWindow& list) {
    gboolean shown = FALSE;
    g_object_get(G_OBJECT(list.GetHandle()), "popup-shown", &shown, nullptr);
    return shown != FALSE;
}

// A real click through the X server on a drop-down opens it in the toolkit
// itself, before any event of the window's own; only the held-back input keeps
// the list shut while a transaction runs.
TEST_F(BackgroundTransactionTest, ARealClickOnAListDoesNotOpenItWhileATransactionRuns) {
    ShowForTest(window);
    WxWindowOf(window).Raise();
    RunWindowThreadUntil([] { return false; }, 300);
    wxWindow& list = *WxControl(window, kList);
    const wxPoint centre = list.GetScreenRect().GetPosition() + list.GetSize() / 2;

    ASSERT_TRUE(StartClick(window, kFirstButton));
    RealClick(centre.x, centre.y);
    const bool openedWhileRunning = RunWindowThreadUntil([&] { return PopupShown(list); }, 500);
    work.Open();
    ASSERT_TRUE(FinishTransaction(window));
    EXPECT_FALSE(openedWhileRunning);

    // The same click once the transaction is over opens the list, so the click
    // above did reach the desktop.
    RealClick(centre.x, centre.y);
    if (!RunWindowThreadUntil([&] { return PopupShown(list); }, 2000)) {
        GTEST_SKIP() << "the X server does not take simulated clicks here";
    }
    gtk_combo_box_popdown(GTK_COMBO_BOX(list.GetHandle()));
}

TEST_F(BackgroundTransactionTest, TheCloseBoxEndsTheWindowOnlyOnceTheTransactionHasEnded) {
    bool endedBeforeTheWorkFinished = false;
    const int result = RunModal(window, [&] {
        ASSERT_TRUE(StartClick(window, kFirstButton));
        PressCloseBox(window);
        RunWindowThreadUntil([&] { return !window.Native().IsModal(); }, 300);
        endedBeforeTheWorkFinished = !window.Native().IsModal() && !work.finished;
        EXPECT_TRUE(window.EndRequested());
        work.Open();
        RunWindowThreadUntil([&] { return !window.Native().IsModal(); });
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(endedBeforeTheWorkFinished);
    EXPECT_TRUE(work.finished);
    EXPECT_TRUE(work.stopSeenAtGate) << "the transaction was asked to stop at its next step";
    EXPECT_TRUE(doneRan);
}

TEST_F(BackgroundTransactionTest, AnEndRequestedWithNothingRunningEndsAtOnce) {
    const int result = RunModal(window, [&] { window.RequestEnd(IDCANCEL); });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(BackgroundTransactionTest, AWindowDestroyedMidTransactionWaitsForItsWorker) {
    auto dialog = std::make_unique<CTestDlg>(kTestTemplate, services);
    std::atomic<bool> released{false};
    bool started =
        dialog->RunTransaction(nullptr,
                               [&](BackgroundHost& host) {
                                   host.OnWindowThread([] {});  // never runs: the window goes first
                                   released = true;
                               },
                               {});
    ASSERT_TRUE(started);
    dialog.reset();
    EXPECT_TRUE(released);
    EXPECT_FALSE(wxIsBusy());
    EXPECT_FALSE(GtkInputHold::Active());
}

// The work waits between two commands for as long as nobody asks it to stop.
TEST_F(BackgroundTransactionTest, AWindowDestroyedMidTransactionAsksItToStop) {
    auto dialog = std::make_unique<CTestDlg>(kTestTemplate, services);
    std::atomic<bool> stopSeen{false};
    ASSERT_TRUE(dialog->RunTransaction(nullptr,
                                       [&](BackgroundHost& host) {
                                           for (int i = 0; i < 1000 && !host.StopRequested(); ++i)
                                               std::this_thread::sleep_for(
                                                   std::chrono::milliseconds(10));
                                           stopSeen = host.StopRequested();
                                       },
                                       {}));
    dialog.reset();
    EXPECT_TRUE(stopSeen);
}

}  // namespace
}  // namespace tessaly::testing

// Drives a real window the way an operator does: clicks, list choices, typed
// text and keys. Every action is refused, as the desktop would refuse it, when
// the control is missing, disabled or of another kind. One implementation per
// toolkit (wx_window_driver.cpp, win32_window_driver.cpp), so that the same
// window tests run against both.
#pragma once

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "ui/template_dialog.h"

namespace tessaly::testing {

// Shows the window without a modal run and initialises it as a modal run would.
void ShowForTest(CTemplateDialog& window);

// Lets the toolkit handle what is pending (painting, queued calls).
void PumpEvents();

// Clicks and, when the click started a device transaction, lets the window's
// thread run until the transaction has ended and its end has been shown.
::testing::AssertionResult Click(CTemplateDialog& window, int buttonId);
// Clicks and returns while a transaction the click started still runs.
::testing::AssertionResult StartClick(CTemplateDialog& window, int buttonId);
// Lets the window's thread run (posted calls, painting; no input is held up)
// until the window's transaction has ended, for at most `boundMs`. False when
// it is still running then.
bool FinishTransaction(CTemplateDialog& window, int boundMs = 30000);
// Lets the window's thread run until `condition` holds, for at most `boundMs`.
bool RunWindowThreadUntil(const std::function<bool()>& condition, int boundMs = 30000);
// Selects item `index` of a drop-down and reports the change to the window.
::testing::AssertionResult Select(CTemplateDialog& window, int listId, int index);
// Replaces the text of an editable drop-down as typing would.
::testing::AssertionResult TypeText(CTemplateDialog& window, int boxId, const std::string& text);

// The close box of the window's frame, as the window manager reports it.
void PressCloseBox(CTemplateDialog& window);
// Whether the window is on the screen.
bool IsShownOnScreen(CTemplateDialog& window);

// Keys as the keyboard delivers them to the window first.
enum class Key { Escape, Enter };
void PressKey(CTemplateDialog& window, Key key);

// The id of the window's control that holds the keyboard focus; 0 for none.
int FocusedControl(CTemplateDialog& window);
// Moves the keyboard focus to a control, as the tab key or a click would.
void FocusOn(CTemplateDialog& window, int controlId);

// The value a progress bar shows (its position above its lower end); -1 when
// the window has no progress bar with this id.
int GaugeValue(CTemplateDialog& window, int gaugeId);
// The span between a progress bar's ends as it shows them; -1 as above.
int GaugeRange(CTemplateDialog& window, int gaugeId);
// A control's tooltip; "" when it has none.
std::string TooltipText(CTemplateDialog& window, int controlId);

// Runs the window modally, performs `steps` inside the modal run and returns the
// run's result. If the steps leave the window open, the run is ended with
// kLeftOpen, so a failing test never hangs.
inline constexpr int kLeftOpen = -77;
int RunModal(CTemplateDialog& window, const std::function<void()>& steps);

}  // namespace tessaly::testing

// What a toolkit does for one window built from a template. The windows and the
// framework in ui/ are written against this; ui/wx/ and ui/win32/ each implement
// it once, and a build links exactly one of them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "resources/dialog_template.h"

namespace tessaly {

// What reaches a window from its controls. Drop-downs report a changed selection
// only when the operator makes it; setting a selection from code reports nothing.
enum class Notification { Clicked, SelectionChanged };

// What the toolkit tells the window, always on the window's thread.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    // Once, when the window is about to be shown for the first time.
    virtual void OnInitialise() = 0;
    // A button was clicked or a list's selection changed. The cancel command,
    // Escape and the close box arrive as a click on IDCANCEL (see OnCloseBox);
    // Enter as a click on the focused button, else on the template's default
    // button when it is enabled, else on IDOK.
    virtual void OnCommand(int controlId, Notification notification) = 0;
    // The close box or the desktop asks the window to close.
    virtual void OnCloseBox() = 0;
};

// Shows a position between two ends; the progress bar control of a window.
class ProgressIndicator {
public:
    virtual ~ProgressIndicator() = default;
    virtual void Show(int lower, int upper, int position) = 0;
};

// While it lives, the operator's clicks, keys and scrolling are dropped (not
// queued) in every window of the program and the busy cursor shows; painting,
// moving and the close box still get through.
class InputHold {
public:
    virtual ~InputHold() = default;
    // Takes the hold again after something that dispatches the desktop's events
    // by itself (a nested message loop) may have put the toolkit's own back.
    virtual void Renew() = 0;
};

class NativeWindow {
public:
    virtual ~NativeWindow() = default;

    // Drop-down lists, editable or not. Unknown ids and indices are ignored:
    // ListIndex gives -1, ListText "", ListCount 0.
    virtual int ListIndex(int controlId) const = 0;           // -1: nothing selected
    virtual void SetListIndex(int controlId, int index) = 0;  // out of range: nothing selected
    virtual std::string ListText(int controlId, int index) const = 0;
    virtual int ListCount(int controlId) const = 0;
    // Keeps the first `keep` items and puts `items` after them; sends no notification.
    virtual void ReplaceListItems(int controlId, int keep,
                                  const std::vector<std::string>& items) = 0;

    virtual void EnableControl(int controlId, bool enable) = 0;
    virtual bool IsControlEnabled(int controlId) const = 0;
    virtual void FocusControl(int controlId) = 0;
    // The first enabled control, in template order, that takes the tab.
    virtual void FocusFirstTabStop() = 0;
    // A control's tooltip; "" removes it.
    virtual void SetTooltip(int controlId, const std::string& text) = 0;
    // A drop-down's tooltip: `note` when not empty, else the selected item's whole
    // text when the closed box cuts it, else none.
    virtual void ShowListNote(int controlId, const std::string& note) = 0;
    // The window's progress bar with this id, or null. Lives as long as the window.
    virtual ProgressIndicator* Progress(int controlId) = 0;

    // Shows the window, initialises it and runs until End. Returns End's result.
    virtual int RunModal() = 0;
    // Shows and initialises the window without a modal run (tests, tools).
    virtual void ShowModeless() = 0;
    // Ends the modal run with `result`; a window shown without one hides.
    virtual void End(int result) = 0;
    virtual bool IsModal() const = 0;
    // Places the window centred over `owner`'s window.
    virtual void CentreOver(const NativeWindow& owner) = 0;
    // Paints what is pending now, so the window is on the screen before slow work.
    virtual void PaintNow() = 0;
    // The program's icon as the window's large and small icon (and, minimised,
    // drawn centred in the window).
    virtual void UseProgramIcon() = 0;

    // Runs `call` on the window's thread soon. Callable from any thread; a call
    // still pending when the window goes is dropped.
    virtual void Post(std::function<void()> call) = 0;
    virtual std::unique_ptr<InputHold> HoldInput() = 0;
};

// The toolkit's window for `layout`, created hidden, its controls in their
// opening state; `events` outlives it.
std::unique_ptr<NativeWindow> CreateNativeWindow(const DialogTemplate& layout,
                                                 WindowEvents& events);

}  // namespace tessaly

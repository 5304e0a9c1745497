#include "tests/ui/real_pointer.h"

#include <X11/extensions/XTest.h>
#include <gdk/gdkx.h>

namespace tessaly::testing {

void RealClick(int x, int y) {
    Display* display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
}

}  // namespace tessaly::testing

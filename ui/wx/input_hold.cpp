#include "ui/wx/input_hold.h"

#include <gtk/gtk.h>

namespace tessaly {

namespace {

int g_holds = 0;

bool IsOperatorInput(GdkEventType type) {
    switch (type) {
        case GDK_BUTTON_PRESS:
        case GDK_2BUTTON_PRESS:
        case GDK_3BUTTON_PRESS:
        case GDK_BUTTON_RELEASE:
        case GDK_KEY_PRESS:
        case GDK_KEY_RELEASE:
        case GDK_SCROLL:
        case GDK_TOUCH_BEGIN:
        case GDK_TOUCH_UPDATE:
        case GDK_TOUCH_END:
        case GDK_TOUCH_CANCEL:
        case GDK_TOUCHPAD_SWIPE:
        case GDK_TOUCHPAD_PINCH:
            return true;
        default:
            return false;
    }
}

// Input is dropped rather than queued: a click meant for a window that was
// busy must not start something once the transaction is over.
void DispatchAllButInput(GdkEvent* event, gpointer) {
    if (!IsOperatorInput(event->type)) {
        gtk_main_do_event(event);
    }
}

// What the toolkit does when nothing holds input back.
void DispatchAll(GdkEvent* event, gpointer) {
    gtk_main_do_event(event);
}

void Install() {
    gdk_event_handler_set(DispatchAllButInput, nullptr, nullptr);
}

}  // namespace

GtkInputHold::GtkInputHold() {
    if (g_holds++ == 0) {
        Install();
    }
}

GtkInputHold::~GtkInputHold() {
    if (--g_holds == 0) {
        gdk_event_handler_set(DispatchAll, nullptr, nullptr);
    }
}

void GtkInputHold::Renew() {
    Install();
}

bool GtkInputHold::Active() {
    return g_holds > 0;
}

}  // namespace tessaly

#include "ui/wx/drop_down_style.h"

#include <gtk/gtk.h>

namespace tessaly {

namespace {

// Padding only: the text keeps the full height of its font.
constexpr const char* kSlimDropDowns =
    "combobox button, combobox entry {"
    " min-height: 0; padding-top: 2px; padding-bottom: 2px; }";

}  // namespace

void UseSlimDropDowns() {
    static bool done = false;
    GdkScreen* screen = gdk_screen_get_default();
    if (done || screen == nullptr) {
        return;
    }
    done = true;
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, kSlimDropDowns, -1, nullptr);
    gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

}  // namespace tessaly

#include "ui/wx/accessible_label.h"

#include <gtk/gtk.h>
#include <wx/window.h>

namespace tessaly {

void NameControlByLabel(wxWindow& label, wxWindow& control) {
    GtkWidget* labelWidget = label.GetHandle();
    GtkWidget* controlWidget = control.GetHandle();
    if (labelWidget == nullptr || controlWidget == nullptr || !GTK_IS_LABEL(labelWidget)) {
        return;
    }
    // The label-for / labelled-by pair that screen readers follow.
    gtk_label_set_mnemonic_widget(GTK_LABEL(labelWidget), controlWidget);
    AtkObject* named = gtk_widget_get_accessible(controlWidget);
    AtkObject* naming = gtk_widget_get_accessible(labelWidget);
    if (named == nullptr || naming == nullptr) {
        return;
    }
    // An editable drop-down does not take the pair from its mnemonic label.
    atk_object_add_relationship(named, ATK_RELATION_LABELLED_BY, naming);
    atk_object_add_relationship(naming, ATK_RELATION_LABEL_FOR, named);
    // A drop-down otherwise takes the text of its chosen item as its name.
    atk_object_set_name(named, label.GetLabel().utf8_str());
}

}  // namespace tessaly

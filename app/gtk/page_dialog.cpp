#include "app/gtk/page_dialog.h"

namespace autolabel::app::gtk {

bool PageShowsDialog(WebKitWebView* view) {
    if (!view) return false;
    bool found = false;
    // The dialog is an internal child of the view: only forall lists it.
    gtk_container_forall(
        GTK_CONTAINER(view),
        [](GtkWidget* child, gpointer result) {
            if (gtk_widget_get_visible(child)) *static_cast<bool*>(result) = true;
        },
        &found);
    return found;
}

}  // namespace autolabel::app::gtk

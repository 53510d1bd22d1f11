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

namespace {

// After the browser's own handler has put the dialog into the view.
gboolean FocusTheView(gpointer view) {
    if (PageShowsDialog(WEBKIT_WEB_VIEW(view))) gtk_widget_grab_focus(GTK_WIDGET(view));
    return G_SOURCE_REMOVE;
}

}  // namespace

void FocusPageDialogSoon(WebKitWebView* view) {
    if (view)
        g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, FocusTheView, g_object_ref(view), g_object_unref);
}

}  // namespace autolabel::app::gtk

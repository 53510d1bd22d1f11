#include "app/gtk/close_on_signal.h"

#include <glib-unix.h>

#include <csignal>

namespace autolabel::app::gtk {

// GLib takes the signals in its main loop, where closing a window is safe.
CloseOnSignal::CloseOnSignal(GtkWindow* window)
    : window_(window),
      interrupt_(g_unix_signal_add(SIGINT, OnSignal, this)),
      terminate_(g_unix_signal_add(SIGTERM, OnSignal, this)) {}

CloseOnSignal::~CloseOnSignal() = default;

gboolean CloseOnSignal::OnSignal(gpointer data) {
    auto* self = static_cast<CloseOnSignal*>(data);
    gtk_window_close(self->window_);
    return G_SOURCE_CONTINUE;  // a second signal while closing closes again
}

}  // namespace autolabel::app::gtk

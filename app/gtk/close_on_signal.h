// SIGINT (Ctrl+C in the terminal) and SIGTERM (the session ending) close the
// window as its close button does, so the message loop ends, `page` is
// destroyed and WebKit writes its data, instead of the process dying.
#pragma once

#include <gtk/gtk.h>

#include "support/glib/unique_source.h"

namespace autolabel::app::gtk {

class CloseOnSignal {
  public:
    explicit CloseOnSignal(GtkWindow* window);
    ~CloseOnSignal();
    CloseOnSignal(const CloseOnSignal&) = delete;
    CloseOnSignal& operator=(const CloseOnSignal&) = delete;

  private:
    static gboolean OnSignal(gpointer self);

    GtkWindow* window_;
    support::glib::UniqueSourceId interrupt_;
    support::glib::UniqueSourceId terminate_;
};

}  // namespace autolabel::app::gtk

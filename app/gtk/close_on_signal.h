// SIGINT (Ctrl+C in the terminal) and SIGTERM (the session ending) close the
// window as its close button does, so the message loop ends, `page` is
// destroyed and WebKit writes its data, instead of the process dying.
#pragma once

#include <gtk/gtk.h>

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
    guint interrupt_ = 0;
    guint terminate_ = 0;
};

}  // namespace autolabel::app::gtk

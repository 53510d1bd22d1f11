// The state line over the browser's bottom corner, as a browser shows a
// link's address: a small bubble of its own in the window's GtkFixed, above
// the browser and beside the ten defined controls, which it never moves or
// resizes. It shows what app::LabelingRun says, hides when that is nothing,
// and steps to the other corner when the pointer comes near.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "support/glib/signal_connection.h"
#include "support/glib/weak_pointer.h"

namespace autolabel::app::gtk {

class StateBubble {
  public:
    // Over `browser`, a child of `fixed` at the given place and size.
    StateBubble(GtkFixed* fixed, GtkWidget* browser, GdkRectangle browserArea);
    StateBubble(const StateBubble&) = delete;
    StateBubble& operator=(const StateBubble&) = delete;

    void Show(const std::string& text);
    // What it shows now; "" while hidden.
    std::string Text() const;
    GtkWidget* Widget() const { return box_.Get(); }

  private:
    void Place();
    void StepAside();
    void PointerAt(GtkWidget* browser, double viewX, double viewY);
    static gboolean OnPointerMoved(GtkWidget* browser, GdkEventMotion* event, gpointer self);
    static gboolean OnPointerCameIn(GtkWidget* browser, GdkEventCrossing* event, gpointer self);
    static gboolean OnPointerEntered(GtkWidget* box, GdkEventCrossing*, gpointer self);

    support::glib::WeakPointer<GtkFixed> fixed_;
    support::glib::WeakPointer<GtkWidget> box_;
    support::glib::WeakPointer<GtkWidget> label_;
    GdkRectangle area_;
    bool atRight_ = false;
    support::glib::SignalConnection pointerMoved_, pointerCameIn_, pointerEntered_;
};

}  // namespace autolabel::app::gtk

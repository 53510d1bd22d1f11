// The keys people expect of a browser, taken by the window before the page
// sees them: F5 and Ctrl+R reload, Alt+Left and Alt+Right go back and
// forward, Ctrl+plus, Ctrl+minus and Ctrl+0 zoom.
#pragma once

#include <gdk/gdk.h>

namespace autolabel::app::gtk {

enum class BrowserKey { None, Reload, Back, Forward, ZoomIn, ZoomOut, ZoomReset };

BrowserKey BrowserKeyOf(guint keyval, GdkModifierType state);

// The zoom level after one step in or out, kept within what is readable.
double ZoomedIn(double level);
double ZoomedOut(double level);

}  // namespace autolabel::app::gtk

// A key pressed in a GTK window, in the terms of the browser's key rules
// (app/browser_keys.h).
#pragma once

#include <gdk/gdk.h>

#include "app/browser_keys.h"

namespace autolabel::app::gtk {

// Caps Lock, Num Lock and the like do not change what a key means. WebKit
// never goes back on Backspace, so Backspace is passed on as any other key.
KeyPress KeyPressOf(guint keyval, GdkModifierType state);

}  // namespace autolabel::app::gtk

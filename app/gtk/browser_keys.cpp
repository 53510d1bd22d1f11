#include "app/gtk/browser_keys.h"

#include <gtk/gtk.h>

#include <algorithm>

namespace autolabel::app::gtk {

namespace {

constexpr double kZoomStep = 1.1;
constexpr double kMinimumZoom = 0.3;
constexpr double kMaximumZoom = 5.0;

}  // namespace

BrowserKey BrowserKeyOf(guint keyval, GdkModifierType state) {
    // Caps Lock, Num Lock and the like do not change what a key means.
    const auto modifiers = state & gtk_accelerator_get_default_mod_mask() & ~GDK_SHIFT_MASK;
    if (modifiers == 0 && keyval == GDK_KEY_F5) return BrowserKey::Reload;
    if (modifiers == GDK_MOD1_MASK) {
        if (keyval == GDK_KEY_Left || keyval == GDK_KEY_KP_Left) return BrowserKey::Back;
        if (keyval == GDK_KEY_Right || keyval == GDK_KEY_KP_Right) return BrowserKey::Forward;
    }
    if (modifiers == GDK_CONTROL_MASK) {
        switch (keyval) {
            case GDK_KEY_r:
            case GDK_KEY_R:
                return BrowserKey::Reload;
            // "+" is Shift+"=" on most layouts; both mean zoom in.
            case GDK_KEY_plus:
            case GDK_KEY_equal:
            case GDK_KEY_KP_Add:
                return BrowserKey::ZoomIn;
            case GDK_KEY_minus:
            case GDK_KEY_KP_Subtract:
                return BrowserKey::ZoomOut;
            case GDK_KEY_0:
            case GDK_KEY_KP_0:
                return BrowserKey::ZoomReset;
            default:
                break;
        }
    }
    return BrowserKey::None;
}

double ZoomedIn(double level) { return std::min(level * kZoomStep, kMaximumZoom); }

double ZoomedOut(double level) { return std::max(level / kZoomStep, kMinimumZoom); }

}  // namespace autolabel::app::gtk

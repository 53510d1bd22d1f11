#include "app/gtk/browser_keys.h"

#include <gtk/gtk.h>

namespace autolabel::app::gtk {

namespace {

Key KeyOf(guint keyval) {
    switch (keyval) {
        case GDK_KEY_F5:
            return Key::F5;
        case GDK_KEY_r:
        case GDK_KEY_R:
            return Key::R;
        case GDK_KEY_Left:
        case GDK_KEY_KP_Left:
            return Key::Left;
        case GDK_KEY_Right:
        case GDK_KEY_KP_Right:
            return Key::Right;
        // "+" is Shift+"=" on most layouts; both mean zoom in.
        case GDK_KEY_plus:
        case GDK_KEY_equal:
        case GDK_KEY_KP_Add:
            return Key::Plus;
        case GDK_KEY_minus:
        case GDK_KEY_KP_Subtract:
            return Key::Minus;
        case GDK_KEY_0:
        case GDK_KEY_KP_0:
            return Key::Zero;
        case GDK_KEY_Escape:
            return Key::Escape;
        default:
            return Key::Other;
    }
}

}  // namespace

KeyPress KeyPressOf(guint keyval, GdkModifierType state) {
    const auto modifiers = state & gtk_accelerator_get_default_mod_mask();
    KeyPress press;
    // With Super, Hyper or Meta held a key is the desktop's, not the browser's.
    const auto browserModifiers = GDK_CONTROL_MASK | GDK_MOD1_MASK | GDK_SHIFT_MASK;
    press.key = (modifiers & ~browserModifiers) ? Key::Other : KeyOf(keyval);
    press.control = (modifiers & GDK_CONTROL_MASK) != 0;
    press.alt = (modifiers & GDK_MOD1_MASK) != 0;
    return press;
}

}  // namespace autolabel::app::gtk

#include "app/win32/browser_keys.h"

namespace autolabel::app::win32 {

namespace {

bool Held(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

Key KeyOf(WPARAM key) {
    switch (key) {
        case VK_F5:
            return Key::F5;
        case 'R':
            return Key::R;
        case VK_LEFT:
            return Key::Left;
        case VK_RIGHT:
            return Key::Right;
        // "+" is Shift+"=" on most layouts; both mean zoom in.
        case VK_OEM_PLUS:
        case VK_ADD:
            return Key::Plus;
        case VK_OEM_MINUS:
        case VK_SUBTRACT:
            return Key::Minus;
        case '0':
        case VK_NUMPAD0:
            return Key::Zero;
        case VK_BACK:
            return Key::Backspace;
        default:
            return Key::Other;
    }
}

}  // namespace

bool IsKeyDown(const MSG& message) noexcept {
    return message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
}

KeyPress KeyPressOf(const MSG& message) {
    KeyPress press;
    press.key = KeyOf(message.wParam);
    press.control = Held(VK_CONTROL);
    // Alt comes with the message itself (its context code) as well.
    press.alt = Held(VK_MENU) || (message.message == WM_SYSKEYDOWN && (message.lParam >> 29) & 1);
    return press;
}

}  // namespace autolabel::app::win32

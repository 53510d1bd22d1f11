#include "app/win32/focus_keeper.h"

namespace autolabel::app::win32 {

bool FocusKeeper::OnActivate(HWND frame, WPARAM wParam, WebBrowser& browser) {
    const bool active = LOWORD(wParam) != WA_INACTIVE;
    browser.OnFrameActivate(active);
    if (!active) {
        HWND focus = ::GetFocus();
        saved_ = focus && ::IsChild(frame, focus) ? focus : nullptr;
        return false;
    }
    // Minimized, or nothing kept: the system's default.
    if (HIWORD(wParam) || !saved_ || !::IsWindow(saved_) || !::IsChild(frame, saved_)) return false;
    ::SetFocus(saved_);
    return true;
}

}  // namespace autolabel::app::win32

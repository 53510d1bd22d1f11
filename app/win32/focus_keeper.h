// What a frame window does on WM_ACTIVATE for the control in it: keeps the
// focus it had when it was left (the caret in the page's text field after
// Alt+Tab) and tells the control of its frame's activation.
#pragma once

#include <windows.h>

#include "app/win32/web_browser.h"

namespace autolabel::app::win32 {

class FocusKeeper {
  public:
    // True when the message is handled (the focus given back).
    bool OnActivate(HWND frame, WPARAM wParam, WebBrowser& browser);

  private:
    HWND saved_ = nullptr;
};

}  // namespace autolabel::app::win32

// The system's WebBrowser control, hosted in place in a window of ours.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include <string_view>

#include "app/win32/browser_site.h"
#include "page/browser_host/win32/com_ptr.h"

namespace autolabel::app::win32 {

using browser_host::win32::ComPtr;

class WebBrowser {
  public:
    WebBrowser() = default;
    WebBrowser(const WebBrowser&) = delete;
    WebBrowser& operator=(const WebBrowser&) = delete;
    ~WebBrowser() { Destroy(); }

    // Creates and activates the control in `host` at `bounds` (client
    // coordinates) and starts loading `address`. False when the control
    // cannot be created; the window then simply has no browser.
    bool Create(HWND host, const RECT& bounds, std::wstring_view address);
    // A plain reload of whatever page the control shows.
    void Reload();
    // The control's own window ("Shell Embedding"); null before Create.
    HWND Window() const noexcept { return window_; }
    // Lets the control see keys first (Tab, shortcuts); true when it used one.
    bool TranslateAccelerator(MSG& message);
    void Destroy();

  private:
    ComPtr<BrowserSite> site_;
    ComPtr<IOleObject> object_;
    ComPtr<IWebBrowser2> browser_;
    HWND window_ = nullptr;
};

}  // namespace autolabel::app::win32

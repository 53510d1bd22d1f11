// The system's WebBrowser control, hosted in place in a window of ours.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include <functional>
#include <string_view>

#include "app/navigation_watch.h"
#include "app/win32/browser_events.h"
#include "app/win32/browser_site.h"
#include "app/win32/page_reload.h"
#include "support/win32/com_ptr.h"

namespace autolabel::app::win32 {

using support::win32::ComPtr;

class WebBrowser final : private BrowserEventHandler, private ReloadTarget {
  public:
    // What the window does when the page asks for a window of its own.
    struct Callbacks {
        // The control of a new window of ours to show the page; empty: none.
        std::function<support::win32::ComPtr<IDispatch>()> openNewWindow;
        // The page closed its window; unset: the window stays open.
        std::function<void()> closeWindow;
        // The reload of F5, Ctrl+R and the page's menu; unset: Reload().
        std::function<void()> reload;
    };

    WebBrowser() = default;
    WebBrowser(const WebBrowser&) = delete;
    WebBrowser& operator=(const WebBrowser&) = delete;
    ~WebBrowser() { Destroy(); }

    // Creates and activates the control in `parent` at `bounds` (client
    // coordinates); it starts loading `address` unless that is empty (a
    // new window, whose page the opener sends). False when the control
    // cannot be created; the window then simply has no browser.
    bool Create(HWND parent, const RECT& bounds, std::wstring_view address, Callbacks callbacks);
    // Reloads whatever page the control shows, without posting a form again.
    void Reload();
    // Whether the page may be worked on: no top-level navigation on its way
    // (within NavigationWatch's bound) and no modal UI of the control.
    bool IsPageReady() const;
    NavigationWatch& Navigation() noexcept { return navigation_; }
    // The control's own window ("Shell Embedding"); null before Create.
    HWND Window() const noexcept { return window_; }
    // Whether `window` is the control's or one below it.
    bool Contains(HWND window) const noexcept;
    void SetBounds(const RECT& bounds);
    // Gives the control the key messages meant for it (focus in it); true
    // when it used one.
    bool TranslateAccelerator(MSG& message);
    // Gives the page the focus for `tab` (Tab or Shift+Tab) pressed outside
    // it: the control activated, its document window focused and the key
    // given to the control, which starts its own order there. False
    // without a control.
    bool TakeFocus(const MSG& tab);
    // Tells the control that its frame window was activated or deactivated.
    void OnFrameActivate(bool active);
    // The control as automation object, for a page's new window.
    support::win32::ComPtr<IDispatch> Application() const;
    void Destroy();

    // Seen from outside, for the tests.
    BrowserSite* Site() const noexcept { return site_.Get(); }
    IDispatch* EventSink() const noexcept { return events_.Get(); }
    const PageReload& Origin() const noexcept { return origin_; }

  private:
    void OnTopLevelNavigationStarting(bool carriesPostData) override;
    void OnTopLevelNavigationDone() override;
    void OnTopLevelNavigationEnded() override;
    support::win32::ComPtr<IDispatch> OnNewWindow() override;
    void OnWindowClosing() override;

    std::wstring LocationUrl() override;
    void NavigateTo(const std::wstring& address) override;
    void Refresh2(int level) override;

    void ConnectEvents();
    BrowserSite::PageCommands PageCommands();
    bool FocusIsEditable(HWND keyWindow) const;
    void DisconnectEvents();

    support::win32::ComPtr<BrowserSite> site_;
    support::win32::ComPtr<IOleObject> object_;
    support::win32::ComPtr<IWebBrowser2> browser_;
    support::win32::ComPtr<BrowserEvents> events_;
    support::win32::ComPtr<IConnectionPoint> eventSource_;
    DWORD eventCookie_ = 0;
    PageReload origin_;
    NavigationWatch navigation_;
    Callbacks callbacks_;
    HWND window_ = nullptr;
    HWND parent_ = nullptr;
};

}  // namespace autolabel::app::win32

// The system's WebBrowser control, hosted in place in a window of ours.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include <functional>
#include <string>
#include <string_view>

#include "app/browser_keys.h"
#include "app/navigation_watch.h"
#include "app/win32/browser_events.h"
#include "app/win32/browser_site.h"
#include "app/win32/main_frame_loads.h"
#include "app/win32/page_reload.h"
#include "support/win32/com_ptr.h"
#include "support/win32/thread_timer.h"
#include "support/win32/unique_connection.h"

namespace autolabel::app::win32 {

using support::win32::ComPtr;

// The control's side of a reload; a test's stand-in takes its place where
// Wine's control refreshes nothing.
class ReloadTarget {
  public:
    // The address of the page shown now; empty when there is none.
    virtual std::wstring LocationUrl() = 0;
    // A new top-level request for that address (a GET); false when the
    // control refused it.
    virtual bool NavigateTo(const std::wstring& address) = 0;
    // False when the control refused the refresh.
    virtual bool Refresh2(int level) = 0;

  protected:
    ~ReloadTarget() = default;
};

class WebBrowser final : private BrowserEventHandler,
                         private ReloadTarget,
                         private support::win32::TimerTick {
  public:
    // What a browser asks of the window that holds it.
    class Delegate {
      public:
        // The page asks for a window of its own: the control of a new
        // window of the owner's to show it in; empty refuses the window.
        virtual support::win32::ComPtr<IDispatch> OpenNewWindow(WebBrowser& opener) = 0;
        // The page closed its own window (window.close()).
        virtual void CloseWindow(WebBrowser& browser) = 0;
        // F5, Ctrl+R or the page's menu: the owner's reload (the main
        // window's is 刷新).
        virtual void ReloadRequested(WebBrowser& browser) = 0;
        // IsPageReady() turned to `ready`.
        virtual void ReadinessChanged(WebBrowser& browser, bool ready) = 0;

      protected:
        ~Delegate() = default;
    };

    WebBrowser();
    WebBrowser(const WebBrowser&) = delete;
    WebBrowser& operator=(const WebBrowser&) = delete;
    ~WebBrowser() { Destroy(); }

    // Creates and activates the control in `parent` at `bounds` (client
    // coordinates); it starts loading `address` unless that is empty (a
    // new window, whose page the opener sends). False when the control
    // cannot be created; the window then simply has no browser.
    bool Create(HWND parent, const RECT& bounds, std::wstring_view address, Delegate& delegate);
    // Reloads whatever page the control shows, without posting a form again.
    void Reload();
    // Whether the page may be worked on: no top-level load on its way
    // (MainFrameLoads says for how long) and no modal UI of the control.
    bool IsPageReady();
    NavigationWatch& Navigation() noexcept { return loads_.Watch(); }
    const MainFrameLoads& Loads() const noexcept { return loads_; }
    // The control's own window ("Shell Embedding"); null before Create.
    HWND Window() const noexcept { return window_; }
    // Whether `window` is the control's or one below it.
    bool Contains(HWND window) const noexcept;
    void SetBounds(const RECT& bounds);
    // Gives the control the key messages meant for it (focus in it); true
    // when it or the browser's own keys used one.
    bool TranslateAccelerator(MSG& message);
    // The page's zoom, 1 for 100 %.
    double ZoomLevel() const noexcept { return zoom_; }
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
    // Stands in for the control's side of a reload (null: the control):
    // Wine's control refreshes nothing.
    void SetReloadTarget(ReloadTarget* target) noexcept { reloadTarget_ = target; }

  private:
    void OnTopLevelNavigationStarting(bool carriesPostData) override;
    void OnTopLevelNavigationDone() override;
    void OnTopLevelDocumentComplete() override;
    void OnTopLevelNavigationFailed() override;
    void OnDownloadComplete() override;
    void OnFileDownload(bool activeDocument) override;
    support::win32::ComPtr<IDispatch> OnNewWindow() override;
    void OnWindowClosing() override;

    std::wstring LocationUrl() override;
    bool NavigateTo(const std::wstring& address) override;
    bool Refresh2(int level) override;
    // A browser's key (app/browser_keys.h): true when it was one and has run.
    bool TakeBrowserKey(const MSG& key);
    void Run(BrowserAction action);
    void SetZoom(double level);

    void ConnectEvents();
    // After whatever may change the readiness; see web_browser.cpp.
    void CheckReadiness();
    void OnTick() override { CheckReadiness(); }
    BrowserSite::PageCommands PageCommands();
    bool FocusIsEditable(HWND keyWindow) const;
    void DisconnectEvents();

    support::win32::ComPtr<BrowserSite> site_;
    support::win32::ComPtr<IOleObject> object_;
    support::win32::ComPtr<IWebBrowser2> browser_;
    support::win32::ComPtr<BrowserEvents> events_;
    support::win32::UniqueConnection connection_;  // events_ advised to the control
    PageReload origin_;
    MainFrameLoads loads_;
    ReloadTarget* reloadTarget_ = nullptr;
    bool reloading_ = false;  // inside the tool's reload call
    Delegate* delegate_ = nullptr;
    double zoom_ = 1.0;
    bool ready_ = true;                                   // as the delegate was last told
    support::win32::UniqueThreadTimer readinessRecheck_;  // while the page is not ready
    HWND window_ = nullptr;
    HWND parent_ = nullptr;
};

}  // namespace autolabel::app::win32

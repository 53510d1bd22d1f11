// The system's WebBrowser control, hosted in place in a window of ours: the
// engine's side of the browser both windows share (app/browser.h), and what
// only the control has (in-place activation, its keys' way through the
// active object, its window).
#pragma once

#include <windows.h>
#include <exdisp.h>

#include <string>
#include <string_view>

#include "app/browser.h"
#include "app/win32/browser_events.h"
#include "app/win32/browser_site.h"
#include "app/win32/main_frame_loads.h"
#include "app/win32/page_reload.h"
#include "support/win32/com_ptr.h"
#include "support/win32/thread_timer.h"
#include "support/win32/unique_connection.h"

namespace autolabel::app::win32 {

// The control's side of a reload, in its own calls' names; a test's
// stand-in takes its place where Wine's control refreshes nothing.
class ReloadTarget {
  public:
    // The address of the page shown now; empty when there is none.
    virtual std::wstring LocationUrl() = 0;
    // A new top-level request for that address (a GET); false when the
    // control refused it.
    virtual bool Navigate(const std::wstring& address) = 0;
    // False when the control refused the refresh.
    virtual bool Refresh2(int level) = 0;

  protected:
    ~ReloadTarget() = default;
};

class WebBrowser final : public app::Browser,
                         private BrowserEventHandler,
                         private BrowserSiteHandler,
                         private MainFrameLoads::Document,
                         private ReloadTarget,
                         private support::win32::TimerTick {
  public:
    explicit WebBrowser(app::Browser::Delegate& owner);
    ~WebBrowser() override { Destroy(); }

    // Creates and activates the control in `parent` at `bounds` (client
    // coordinates); it starts loading `address` unless that is empty (a
    // new window, whose page the opener sends). False when the control
    // cannot be created; the window then simply has no browser.
    bool Create(HWND parent, const RECT& bounds, std::wstring_view address);
    // The control's own window ("Shell Embedding"); null before Create.
    HWND Window() const noexcept { return window_; }
    // Whether `window` is the control's or one below it.
    bool Contains(HWND window) const noexcept;
    void SetBounds(const RECT& bounds);
    // Gives the control the key messages meant for it (focus in it); true
    // when it or the browser's own keys used one.
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
    // The page's zoom, 1 for 100 %.
    double ZoomLevel() override { return zoom_; }

    // Seen from outside, for the tests.
    BrowserSite* Site() const noexcept { return site_.Get(); }
    IDispatch* EventSink() const noexcept { return events_.Get(); }
    const PageReload& Origin() const noexcept { return origin_; }
    // Stands in for the control's side of a reload (null: the control):
    // Wine's control refreshes nothing.
    void SetReloadTarget(ReloadTarget* target) noexcept { reloadTarget_ = target; }

  private:
    // app::Browser: the engine's side.
    ShownPage PageShown() override;
    bool BeginReload() override { return browser_ || reloadTarget_; }
    bool ReloadFromServer() override;
    bool NavigateTo(const std::string& address) override;
    void ReloadStarted(ReloadDecision::Kind kind) override;
    void GoBack() override;
    void GoForward() override;
    void StopLoading() override;
    void SetZoomLevel(double level) override;
    bool ShowsDialog() override;
    bool IsLoading() override;
    void FollowLoads() override { loads_.FollowRefresh(); }
    void SetReadinessRecheck(bool on) override;

    // BrowserEventHandler: the control's events.
    void OnTopLevelNavigationStarting(bool carriesPostData) override;
    void OnTopLevelNavigationDone() override;
    void OnTopLevelDocumentComplete() override;
    void OnTopLevelNavigationFailed() override;
    void OnDownloadComplete() override;
    void OnFileDownload(bool activeDocument) override;
    support::win32::ComPtr<IDispatch> OnNewWindow() override;
    void OnWindowClosing() override;
    void OnTitleChange(const std::wstring& title) override;
    void OnWindowSetWidth(int width) override;
    void OnWindowSetHeight(int height) override;

    // ReloadTarget: the control itself.
    std::wstring LocationUrl() override;
    bool Navigate(const std::wstring& address) override;
    bool Refresh2(int level) override;
    ReloadTarget& Target() noexcept { return reloadTarget_ ? *reloadTarget_ : *this; }

    // BrowserSiteHandler: the page's keys and menu, the control's modal UI.
    bool OnBrowserKey(const MSG& key) override;
    void OnMenuCommand(BrowserAction action) override { Run(action); }
    void OnModalUiChanged() override { CheckReadiness(); }

    DocumentState ReadState() override { return ReadDocumentState(window_); }
    void Refreshed() override { DocumentCommitted(false); }
    void OnTick() override { CheckReadiness(); }
    bool FocusIsEditable(HWND keyWindow) const;
    void ConnectEvents();
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
    // The navigation on its way goes through history (the tool's Back or
    // Forward): its document is the page as it was, not served afresh.
    bool historyNext_ = false;
    double zoom_ = 1.0;
    int requestedWidth_ = 0, requestedHeight_ = 0;        // by the page, for its window
    support::win32::UniqueThreadTimer readinessRecheck_;  // while the page is not ready
    HWND window_ = nullptr;
    HWND parent_ = nullptr;
};

}  // namespace autolabel::app::win32

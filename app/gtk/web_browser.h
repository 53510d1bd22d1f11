// The WebKit web view as the tool's browser (app/browser.h): the view
// inside a container (the control's window), the engine's side of the
// shared browser, and the windows its page opens. The view's signals come
// through one BrowserEvents and are handed on here in written order.
#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <optional>
#include <string>

#include "app/browser.h"
#include "app/gtk/browser_events.h"
#include "app/gtk/main_frame_loads.h"
#include "app/gtk/page_reload.h"
#include "page/browser_host/webkit/bridge.h"
#include "support/glib/unique_source.h"
#include "support/glib/weak_pointer.h"

namespace autolabel::app::gtk {

class WebBrowser final : public app::Browser, private BrowserEventHandler {
  public:
    // A browser in `context`, the tool's session; `bridge` reaches its
    // page's process.
    WebBrowser(Delegate& delegate, WebKitWebContext* context, browser_host::webkit::Bridge& bridge);
    // A browser for a page's new window, related to the opener's view.
    WebBrowser(Delegate& delegate, WebBrowser& opener);
    ~WebBrowser() override;

    void Load(const std::string& address);
    // A key pressed in the window that holds the browser: true when it was
    // a browser's key and has been acted on, unseen by the page.
    bool HandleKey(const GdkEventKey& event);
    // The tool is about to work on the page: a window its press of one of
    // the page's controls asks for (a form that posts into a new window)
    // opens as it would for the user's click. WebKit takes the tool's
    // scripted click for a page's script and opens nothing; a page's own
    // scripts still get no window without the user's gesture. Holds until
    // a window is asked for or the main frame starts a load.
    void ExpectToolPress() { toolPress_ = true; }
    bool ShowsDialog() override;

    // The control's window: the container whose child is the view.
    GtkWidget* Widget() const { return container_.Get(); }
    // Null once the view is gone.
    WebKitWebView* View() const { return view_.Get(); }
    const PageReload& Reloads() const { return reload_; }

  private:
    WebBrowser(Delegate& delegate, WebKitWebView* view, browser_host::webkit::Bridge& bridge);

    // The engine's side of app::Browser.
    ShownPage PageShown() override;
    bool BeginReload() override;
    bool ReloadFromServer() override;
    bool NavigateTo(const std::string& address) override;
    void ReloadStarted(ReloadDecision::Kind kind) override;
    void GoBack() override;
    void GoForward() override;
    void StopLoading() override;
    double ZoomLevel() override;
    void SetZoomLevel(double level) override;
    bool IsLoading() override;
    void SetReadinessRecheck(bool on) override;

    // The view's events, in the order each is handled.
    void OnNavigationDecided(WebKitNavigationAction* action) override;
    void OnLoadChanged(WebKitLoadEvent event) override;
    void OnLoadFailed() override;
    void OnProcessTerminated(WebKitWebProcessTerminationReason reason) override;
    GtkWidget* OnCreate(WebKitNavigationAction* action) override;
    void OnClose() override;
    void OnDialog() override;
    void OnReadyToShow() override;
    void OnTitleChanged() override;

    // Checked from the main loop, after the view's own handlers (a dialog
    // is put in the view by its default handler).
    void CheckReadinessSoon();
    static gboolean OnReadinessCheck(gpointer self);

    support::glib::WeakPointer<WebKitWebView> view_;   // owned by the container
    support::glib::WeakPointer<GtkWidget> container_;  // owned by its parent
    browser_host::webkit::Bridge& bridge_;
    PageReload reload_;
    MainFrameLoads loads_{Navigation()};
    std::optional<BrowserEvents> events_;
    bool toolPress_ = false;
    // The navigation on its way goes through history (Back, Forward): its
    // document is the page as it was, not served afresh.
    bool historyNext_ = false;
    support::glib::UniqueSource readinessCheck_;    // soon, after an event
    support::glib::UniqueSource readinessRecheck_;  // every 250 ms while not ready
};

}  // namespace autolabel::app::gtk

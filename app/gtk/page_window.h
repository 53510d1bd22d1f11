// A window of the tool's own for a page that opens a new window (a link
// with a target of a new window, window.open from a click): a plain
// top-level window with a WebBrowser related to the opener's (the same
// session and page process), titled with its page, which the user closes
// without touching the tool. It is never below the browser control, so
// binding never finds it, and the tool's commands work on the main page only.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>

#include "app/gtk/web_browser.h"

namespace autolabel::app::gtk {

class PageWindow final : private WebBrowser::Delegate {
  public:
    // `onClosed` runs once the window is gone; the owner may destroy the
    // PageWindow there.
    using ClosedHandler = std::function<void(PageWindow&)>;
    // `openNewWindow` serves the new windows this page asks for in turn.
    static std::unique_ptr<PageWindow> Create(
        WebBrowser& opener, std::function<WebBrowser*(WebBrowser& opener)> openNewWindow,
        ClosedHandler onClosed);
    PageWindow(const PageWindow&) = delete;
    PageWindow& operator=(const PageWindow&) = delete;
    ~PageWindow();

    // Null once the window is gone.
    GtkWindow* Handle() const noexcept { return window_; }
    WebBrowser& Browser() noexcept { return *browser_; }

  private:
    PageWindow() = default;
    WebBrowser* OpenNewWindow(WebBrowser& opener) override;
    void CloseWindow(WebBrowser& browser) override;
    void ReloadRequested(WebBrowser& browser) override;
    void ReadinessChanged(WebBrowser& browser, bool ready) override;
    static void OnReadyToShow(WebKitWebView* view, gpointer self);
    static void OnTitle(WebKitWebView* view, GParamSpec*, gpointer self);
    static gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self);
    static void OnDestroy(GtkWidget*, gpointer self);

    GtkWindow* window_ = nullptr;  // owned by GTK's list of toplevels until destroyed
    std::unique_ptr<WebBrowser> browser_;
    std::function<WebBrowser*(WebBrowser& opener)> openNewWindow_;
    ClosedHandler onClosed_;
};

}  // namespace autolabel::app::gtk

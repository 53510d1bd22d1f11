// The WebKit web view as a browser: the view inside a container (the
// control's window), with the reload that never sends a form again, the
// readiness of its page, its dialogs' focus, the browser's keys and the
// windows its page opens. The main window and every window the page opens
// use one, as on Windows; the owner hears from it through its Delegate.
#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <memory>
#include <string>

#include "app/gtk/main_frame_loads.h"
#include "app/gtk/page_reload.h"
#include "support/glib/unique_source.h"

namespace autolabel::app::gtk {

class WebBrowser {
  public:
    // What a browser asks of the window that holds it.
    class Delegate {
      public:
        // The page asks for a window of its own: a new browser, related to
        // `opener` (the same session and page process), in a window of the
        // owner's; null refuses the window.
        virtual WebBrowser* OpenNewWindow(WebBrowser& opener) = 0;
        // The page closed its own window (window.close()).
        virtual void CloseWindow(WebBrowser& browser) = 0;
        // F5 or Ctrl+R in the browser: the owner's reload (the main
        // window's is 刷新).
        virtual void ReloadRequested(WebBrowser& browser) = 0;
        // IsPageReady() turned to `ready`.
        virtual void ReadinessChanged(WebBrowser& browser, bool ready) = 0;

      protected:
        ~Delegate() = default;
    };

    // A browser in `context`, the tool's session.
    WebBrowser(Delegate& delegate, WebKitWebContext* context);
    // A browser for a page's new window, related to the opener's view.
    WebBrowser(Delegate& delegate, WebBrowser& opener);
    ~WebBrowser();
    WebBrowser(const WebBrowser&) = delete;
    WebBrowser& operator=(const WebBrowser&) = delete;

    void Load(const std::string& address);
    // Reloads the page shown, without sending a form again.
    void Reload();
    // No navigation of the main frame on its way (within its bound), no
    // dialog of the page.
    bool IsPageReady() const;
    bool ShowsDialog() const;
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

    // The control's window: the container whose child is the view.
    GtkWidget* Widget() const { return container_; }
    // Null once the view is gone.
    WebKitWebView* View() const { return view_; }
    const PageReload& Reloads() const { return *reload_; }
    const MainFrameLoads& Loads() const { return *loads_; }

  private:
    explicit WebBrowser(Delegate& delegate);
    void Serve(WebKitWebView* view);
    static GtkWidget* OnCreate(WebKitWebView* view, WebKitNavigationAction*, gpointer self);
    static void OnClose(WebKitWebView* view, gpointer self);
    static void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self);
    // After whatever may change the readiness; see web_browser.cpp.
    static gboolean CheckReadinessSoon(gpointer self);
    static gboolean OnReadinessCheck(gpointer self);
    void CheckReadiness();

    Delegate& delegate_;
    WebKitWebView* view_ = nullptr;       // a weak pointer, owned by the container
    GtkWidget* container_ = nullptr;      // a weak pointer, owned by its parent
    std::unique_ptr<PageReload> reload_;  // after the view: it watches the view
    std::unique_ptr<MainFrameLoads> loads_;
    bool toolPress_ = false;
    bool ready_ = true;  // as the delegate was last told
    support::glib::UniqueSource readinessCheck_;
};

}  // namespace autolabel::app::gtk
